// A list file's bytes read the way the refresh reads them: the text stream's lines, indexed once,
// inserted at the top of a list box that already holds an entry. Checks the entries against a
// plain reading of the format.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "app/list_box.h"
#include "base/text_stream.h"

using namespace quillmere;

namespace {

std::vector<std::string_view> expectedLines(std::string_view bytes)
{
    std::vector<std::string_view> lines;
    while (!bytes.empty()) {
        const auto feed = bytes.find('\n');
        std::string_view line = bytes.substr(0, feed);
        if (feed != std::string_view::npos && !line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        lines.push_back(line);
        bytes.remove_prefix(feed == std::string_view::npos ? bytes.size() : feed + 1);
    }
    return lines;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    ViewLink link;
    ListBox list(ControlId::List1, {}, link);
    list.insert("kept", 0);
    TextStream stream{Bytes(std::string(bytes))};
    list.insertLinesAtTop(stream.readRemainingLines());
    if (!stream.atEndOfStream())
        std::abort();
    stream.close();

    const auto expected = expectedLines(bytes);
    if (list.count() != expected.size() + 1 || list.entry(list.count() - 1) != "kept")
        std::abort();
    for (std::size_t i = 0; i < expected.size(); ++i)
        if (list.entry(expected.size() - 1 - i) != expected[i])
            std::abort();
    return 0;
}
