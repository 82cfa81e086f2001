#pragma once

#include <cstdint>

namespace quillmere::platform {

// Asks the operating system whether the machine is connected. Returns the system call's raw
// 32-bit result: 1 means connected; 0 and any other value mean not. Never throws.
class Connectivity {
public:
    virtual ~Connectivity() = default;
    virtual std::uint32_t connectedState() = 0;
};

} // namespace quillmere::platform
