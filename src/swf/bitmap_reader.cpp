#include <algorithm>
#include <optional>
#include <utility>

#include "swf/file_kind.h"
#include "swf/format_error.h"
#include "swf/record_readers.h"

namespace quillmere::swf {

namespace {

std::uint32_t bigEndian16(std::string_view b, std::size_t at)
{
    return std::uint32_t(std::uint8_t(b[at])) << 8 | std::uint8_t(b[at + 1]);
}

std::uint32_t bigEndian32(std::string_view b, std::size_t at)
{
    return bigEndian16(b, at) << 16 | bigEndian16(b, at + 2);
}

bool isJpeg(std::string_view data)
{
    return fileKindOf(data) == FileKind::Jpeg;
}

bool isPng(std::string_view data)
{
    return fileKindOf(data) == FileKind::Png;
}

bool isGif(std::string_view data)
{
    return fileKindOf(data) == FileKind::Gif;
}

// Width and height from a JPEG's frame header, a PNG's IHDR or a GIF's screen descriptor.
std::optional<std::pair<std::uint32_t, std::uint32_t>> imageSize(std::string_view data)
{
    if (isPng(data) && data.size() >= 24 && data.substr(12, 4) == "IHDR")
        return std::pair{bigEndian32(data, 16), bigEndian32(data, 20)};
    if (isGif(data) && data.size() >= 10)
        return std::pair{std::uint32_t(std::uint8_t(data[6]) | std::uint8_t(data[7]) << 8),
                         std::uint32_t(std::uint8_t(data[8]) | std::uint8_t(data[9]) << 8)};
    if (!isJpeg(data))
        return std::nullopt;
    for (std::size_t at = 2; at + 4 <= data.size();) {
        if (std::uint8_t(data[at]) != 0xFF)
            return std::nullopt;
        const std::uint8_t marker = std::uint8_t(data[at + 1]);
        const bool frameHeader = marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC;
        if (frameHeader && at + 9 <= data.size())
            return std::pair{bigEndian16(data, at + 7), bigEndian16(data, at + 5)};
        at += 2 + bigEndian16(data, at + 2);
    }
    return std::nullopt;
}

} // namespace

std::string normalizedJpeg(std::string_view tables, std::string_view image)
{
    // Movies split a JPEG into tables and image, each with its own start and end markers, and
    // some encoders put a stray end-start pair before the image. Outside the entropy-coded
    // scan, markers can be walked one by one: keep one start marker and every segment up to
    // the scan, then the scan as it is.
    std::string joined;
    joined.reserve(tables.size() + image.size());
    joined.append(tables).append(image);
    std::string out("\xFF\xD8", 2);
    std::size_t at = 0;
    while (at + 2 <= joined.size()) {
        if (std::uint8_t(joined[at]) != 0xFF)
            throw FormatError("broken JPEG data");
        const std::uint8_t marker = std::uint8_t(joined[at + 1]);
        if (marker == 0xD8 || marker == 0xD9) { // start or end of an image
            at += 2;
            continue;
        }
        if (marker == 0xFF) { // fill byte
            ++at;
            continue;
        }
        if (at + 4 > joined.size())
            break;
        const std::size_t length = 2 + bigEndian16(joined, at + 2);
        if (marker == 0xDA) { // start of scan: the rest is image data
            out.append(joined, at);
            return out;
        }
        out.append(joined, at, length);
        at += length;
    }
    throw FormatError("JPEG data without an image");
}

Bitmap readEncodedBitmap(std::string encoded, std::string_view compressedAlpha, Budget& budget)
{
    const auto size = imageSize(encoded);
    if (!size)
        throw FormatError("a bitmap that is neither JPEG, PNG nor GIF");
    budget.spendPixels(size->first, size->second);
    Bitmap bitmap;
    bitmap.width = size->first;
    bitmap.height = size->second;
    if (isJpeg(encoded) && !compressedAlpha.empty())
        bitmap.alpha = inflateExactly(compressedAlpha, std::size_t(bitmap.width) * bitmap.height);
    bitmap.encoded = std::move(encoded);
    return bitmap;
}

Bitmap readLosslessBitmap(ByteReader& in, int tagVersion, Budget& budget)
{
    const std::uint8_t format = in.u8();
    Bitmap bitmap;
    bitmap.width = in.u16();
    bitmap.height = in.u16();
    budget.spendPixels(bitmap.width, bitmap.height);
    const bool alpha = tagVersion == 2;
    const std::size_t w = bitmap.width, h = bitmap.height;

    const auto premultiplied = [](std::uint32_t a, std::uint32_t r, std::uint32_t g, std::uint32_t b) {
        // Colour channels of premultiplied pixels cannot exceed alpha; a movie's may.
        return a << 24 | std::min(r, a) << 16 | std::min(g, a) << 8 | std::min(b, a);
    };
    switch (format) {
    case 3: { // colour-mapped, rows padded to 4 bytes
        const std::size_t colours = std::size_t(in.u8()) + 1;
        const std::size_t entry = alpha ? 4 : 3;
        const std::size_t stride = (w + 3) & ~std::size_t(3);
        const std::string data = inflateExactly(in.rest(), colours * entry + stride * h);
        bitmap.argb.resize(w * h);
        std::vector<std::uint32_t> palette(256, 0);
        for (std::size_t i = 0; i < colours; ++i) {
            const auto* c = reinterpret_cast<const std::uint8_t*>(data.data() + i * entry);
            palette[i] = alpha ? premultiplied(c[3], c[0], c[1], c[2]) : 0xFF000000u | c[0] << 16 | c[1] << 8 | c[2];
        }
        const auto* pixels = reinterpret_cast<const std::uint8_t*>(data.data() + colours * entry);
        for (std::size_t y = 0; y < h; ++y)
            for (std::size_t x = 0; x < w; ++x)
                bitmap.argb[y * w + x] = palette[pixels[y * stride + x]];
        break;
    }
    case 4: { // 15-bit colour, rows padded to 4 bytes
        if (alpha)
            throw FormatError("a 15-bit bitmap with alpha");
        const std::size_t stride = (w * 2 + 3) & ~std::size_t(3);
        const std::string data = inflateExactly(in.rest(), stride * h);
        bitmap.argb.resize(w * h);
        for (std::size_t y = 0; y < h; ++y)
            for (std::size_t x = 0; x < w; ++x) {
                const std::uint32_t p = bigEndian16(data, y * stride + x * 2);
                const auto five = [](std::uint32_t v) { return (v << 3) | (v >> 2); };
                bitmap.argb[y * w + x] = 0xFF000000u | five(p >> 10 & 31) << 16 | five(p >> 5 & 31) << 8 | five(p & 31);
            }
        break;
    }
    case 5: { // 32 bits a pixel: unused and RGB, or premultiplied ARGB
        const std::string data = inflateExactly(in.rest(), w * h * 4);
        bitmap.argb.resize(w * h);
        const auto* p = reinterpret_cast<const std::uint8_t*>(data.data());
        for (std::size_t i = 0; i < w * h; ++i, p += 4)
            bitmap.argb[i]
                = alpha ? premultiplied(p[0], p[1], p[2], p[3]) : 0xFF000000u | p[1] << 16 | p[2] << 8 | p[3];
        break;
    }
    default: throw FormatError("unknown lossless bitmap format " + std::to_string(format));
    }
    return bitmap;
}

} // namespace quillmere::swf
