// A line of the server notice file: any bytes give a number or nothing, never a crash.

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "startup/notice_line.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view line(reinterpret_cast<const char*>(data), size);
    const auto value = quillmere::startup::noticeValue(line);
    if (value && !std::isfinite(*value))
        std::abort();
    if (value && line.find_first_of("0123456789") == std::string_view::npos)
        std::abort(); // a number needs a digit
    return 0;
}
