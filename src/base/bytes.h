#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>

namespace quillmere {

// Bytes in a buffer of whoever made them (a transfer's reply, a file read into memory), passed
// on without copying: copies of a Bytes share the buffer, which goes with the last of them.
class Bytes {
public:
    Bytes() = default;
    explicit Bytes(std::string text);
    // The bytes `view` within a buffer that `owner` keeps alive.
    Bytes(std::shared_ptr<const void> owner, std::string_view view) : owner_(std::move(owner)), view_(view) {}

    std::string_view view() const { return view_; }
    const char* data() const { return view_.data(); }
    std::size_t size() const { return view_.size(); }
    bool empty() const { return view_.empty(); }

private:
    std::shared_ptr<const void> owner_;
    std::string_view view_;
};

inline Bytes::Bytes(std::string text)
{
    auto owned = std::make_shared<const std::string>(std::move(text));
    view_ = *owned;
    owner_ = std::move(owned);
}

} // namespace quillmere
