#pragma once

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

} // namespace quillmere::platform
