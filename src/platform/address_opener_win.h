#pragma once

#include <string>

#include "platform/address_opener.h"

namespace quillmere::platform {

// The Windows shell's default handler for the address, owned by the window.
class WindowsAddressOpener : public AddressOpener {
public:
    void setOwner(void* windowHandle) { owner_ = windowHandle; }
    void open(const std::string& address) override;

private:
    void* owner_ = nullptr;
};

// UTF-8 as the UTF-16 that Windows' wide calls take.
std::wstring wideFromUtf8(const std::string& text);

} // namespace quillmere::platform
