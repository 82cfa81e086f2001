// A block of actions from a movie: any bytes decode without reading past them, and run to an
// end within the frame's budget, whichever version's rules they follow (the first byte's).

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string_view>

#include "swf/avm1/machine.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size == 0)
        return 0;
    using namespace quillmere::swf::avm1;
    const auto code
        = std::make_shared<const Code>(decode(std::string_view(reinterpret_cast<const char*>(data) + 1, size - 1)));
    Machine machine(4 + data[0] % 7, 1);
    NoHost host;
    for (int frame = 0; frame < 3; ++frame) {
        machine.startFrame();
        machine.run(code, host);
        machine.run(code, host);
    }
    return 0;
}
