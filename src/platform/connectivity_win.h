#pragma once

#include "platform/connectivity.h"

namespace quillmere::platform {

// InternetGetConnectedStateEx: its return value, 1 when connected.
class WindowsConnectivity : public Connectivity {
public:
    std::uint32_t connectedState() override;
};

} // namespace quillmere::platform
