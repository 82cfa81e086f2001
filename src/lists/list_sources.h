#pragma once

#include <array>
#include <string_view>

namespace quillmere::lists {

// A file on the list server and the name of the staging file it passes through.
struct ListSource {
    std::string_view path;
    std::string_view stagingName;
};

inline constexpr ListSource kNotice{"/prx/info.bin", "info.bin"};
inline constexpr ListSource kTop20{"/prx/top20.bin", "top20.bin"};
inline constexpr ListSource kTop30{"/prx/top30.bin", "top30.bin"};
// The n-th other list is kOtherLists[n - 1].
inline constexpr std::array<ListSource, 5> kOtherLists{{
    {"/prx/list1.bin", "list1.bin"},
    {"/prx/list2.bin", "list2.bin"},
    {"/prx/list3.bin", "list3.bin"},
    {"/prx/list4.bin", "list4.bin"},
    {"/prx/list5.bin", "list5.bin"},
}};

// Every staging file, in the order a refresh deletes them.
inline constexpr std::array<ListSource, 8> kAllSources{
    kNotice, kTop20, kTop30, kOtherLists[0], kOtherLists[1], kOtherLists[2], kOtherLists[3], kOtherLists[4],
};

inline constexpr std::string_view kBannerPath = "/prx/banner.swf";

} // namespace quillmere::lists
