#pragma once

#include <string_view>

#include "platform/connectivity.h"

namespace quillmere::platform {

// Linux has no "connected" call: the machine counts as connected when the kernel has a usable
// default route, IPv4 or IPv6, through an interface other than loopback.
class LinuxConnectivity : public Connectivity {
public:
    std::uint32_t connectedState() override;
};

// The answer from the texts of /proc/net/route and /proc/net/ipv6_route: 1 or 0.
std::uint32_t connectedStateFromRoutes(std::string_view ipv4Routes, std::string_view ipv6Routes);

} // namespace quillmere::platform
