#pragma once

#include <string>

namespace quillmere::platform {

// Hands an address to the desktop, which opens it in the user's default browser. Never
// throws; an address the desktop cannot open is reported on standard error.
class AddressOpener {
public:
    virtual ~AddressOpener() = default;
    virtual void open(const std::string& address) = 0;
};

} // namespace quillmere::platform
