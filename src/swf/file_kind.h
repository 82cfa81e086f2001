#pragma once

#include <string_view>

namespace quillmere::swf {

// What a file is, told by its first bytes whatever its name: a SWF movie (plain or compressed)
// or a picture in one of the formats movies embed.
enum class FileKind { Unknown, Movie, Png, Jpeg, Gif };

FileKind fileKindOf(std::string_view bytes);

} // namespace quillmere::swf
