#include "swf/file_kind.h"

namespace quillmere::swf {

FileKind fileKindOf(std::string_view bytes)
{
    const auto startsWith
        = [bytes](std::string_view signature) { return bytes.substr(0, signature.size()) == signature; };
    if (startsWith("FWS") || startsWith("CWS") || startsWith("ZWS"))
        return FileKind::Movie;
    if (startsWith(std::string_view("\x89PNG\r\n\x1a\n", 8)))
        return FileKind::Png;
    if (startsWith("\xFF\xD8"))
        return FileKind::Jpeg;
    if (startsWith("GIF87a") || startsWith("GIF89a"))
        return FileKind::Gif;
    return FileKind::Unknown;
}

} // namespace quillmere::swf
