#include "platform/connectivity_linux.h"

#include <fstream>
#include <sstream>
#include <string>

namespace quillmere::platform {

namespace {

constexpr unsigned long kRouteUp = 0x0001;     // RTF_UP
constexpr unsigned long kRouteReject = 0x0200; // RTF_REJECT: an "unreachable" route

bool usable(const std::string& interface, unsigned long flags)
{
    return interface != "lo" && (flags & kRouteUp) && !(flags & kRouteReject);
}

// Iface Destination Gateway Flags ... Mask ..., one route a line after a header, in hex.
bool hasIpv4Default(std::string_view table)
{
    std::istringstream lines{std::string(table)};
    std::string line;
    std::getline(lines, line);
    while (std::getline(lines, line)) {
        std::istringstream fields(line);
        std::string interface, destination, gateway, flags, refCount, use, metric, mask;
        if (!(fields >> interface >> destination >> gateway >> flags >> refCount >> use >> metric >> mask))
            continue;
        if (destination == "00000000" && mask == "00000000" && usable(interface, std::stoul(flags, nullptr, 16)))
            return true;
    }
    return false;
}

// Destination, prefix length, source, source length, next hop, metric, refs, use, flags,
// interface, one route a line, no header.
bool hasIpv6Default(std::string_view table)
{
    std::istringstream lines{std::string(table)};
    std::string line;
    while (std::getline(lines, line)) {
        std::istringstream fields(line);
        std::string destination, length, source, sourceLength, nextHop, metric, refCount, use, flags, interface;
        if (!(fields >> destination >> length >> source >> sourceLength >> nextHop >> metric >> refCount >> use >> flags
              >> interface))
            continue;
        if (destination == std::string(32, '0') && length == "00" && usable(interface, std::stoul(flags, nullptr, 16)))
            return true;
    }
    return false;
}

std::string readAll(const char* path)
{
    std::ifstream file(path);
    std::ostringstream text;
    text << file.rdbuf();
    return text.str();
}

} // namespace

std::uint32_t connectedStateFromRoutes(std::string_view ipv4Routes, std::string_view ipv6Routes)
{
    try {
        return hasIpv4Default(ipv4Routes) || hasIpv6Default(ipv6Routes) ? 1 : 0;
    } catch (const std::exception&) { // a flags field that is not hex
        return 0;
    }
}

std::uint32_t LinuxConnectivity::connectedState()
{
    return connectedStateFromRoutes(readAll("/proc/net/route"), readAll("/proc/net/ipv6_route"));
}

} // namespace quillmere::platform
