// The filter lists and blend modes of PlaceObject3 and of DefineButton2's records.

#include <bit>

#include "swf/format_error.h"
#include "swf/record_readers.h"

namespace quillmere::swf {

namespace {

double fixed(ByteReader& in) // 16.16
{
    return std::int32_t(in.u32()) / 65536.0;
}

double fixed8(ByteReader& in) // 8.8
{
    return std::int16_t(in.u16()) / 256.0;
}

float single(ByteReader& in)
{
    return std::bit_cast<float>(in.u32());
}

// The flags byte that ends the filters built on a blur: inner, knockout, composite source,
// then on top and four bits of passes, or five bits of passes.
void readBlurFlags(ByteReader& in, Filter& filter, bool hasOnTop)
{
    const std::uint8_t flags = in.u8();
    filter.inner = flags & 0x80;
    filter.knockout = flags & 0x40;
    filter.compositeSource = flags & 0x20;
    filter.onTop = hasOnTop && (flags & 0x10);
    filter.passes = flags & (hasOnTop ? 0x0F : 0x1F);
}

Filter readFilter(ByteReader& in)
{
    Filter filter;
    const std::uint8_t kind = in.u8();
    if (kind > std::uint8_t(Filter::Kind::GradientBevel))
        throw FormatError("a filter of unknown kind " + std::to_string(kind));
    filter.kind = Filter::Kind(kind);
    switch (filter.kind) {
    case Filter::Kind::DropShadow:
    case Filter::Kind::Glow:
        filter.colors = {readRgba(in)};
        filter.blurX = fixed(in);
        filter.blurY = fixed(in);
        if (filter.kind == Filter::Kind::DropShadow) {
            filter.angle = fixed(in);
            filter.distance = fixed(in);
        }
        filter.strength = fixed8(in);
        readBlurFlags(in, filter, false);
        break;
    case Filter::Kind::Blur:
        filter.blurX = fixed(in);
        filter.blurY = fixed(in);
        filter.passes = in.u8() >> 3;
        break;
    case Filter::Kind::Bevel:
    case Filter::Kind::GradientGlow:
    case Filter::Kind::GradientBevel:
        if (filter.kind == Filter::Kind::Bevel) {
            filter.colors = {readRgba(in), readRgba(in)};
        } else {
            const std::uint8_t count = in.u8();
            for (std::uint8_t i = 0; i < count; ++i)
                filter.colors.push_back(readRgba(in));
            for (std::uint8_t i = 0; i < count; ++i)
                filter.ratios.push_back(in.u8());
        }
        filter.blurX = fixed(in);
        filter.blurY = fixed(in);
        filter.angle = fixed(in);
        filter.distance = fixed(in);
        filter.strength = fixed8(in);
        readBlurFlags(in, filter, true);
        break;
    case Filter::Kind::Convolution: {
        filter.columns = in.u8();
        filter.rows = in.u8();
        filter.divisor = single(in);
        filter.bias = single(in);
        for (int i = 0; i < filter.columns * filter.rows; ++i)
            filter.matrix.push_back(single(in));
        filter.defaultColor = readRgba(in);
        const std::uint8_t flags = in.u8();
        filter.clamp = flags & 0x02;
        filter.preserveAlpha = flags & 0x01;
        break;
    }
    case Filter::Kind::ColorMatrix:
        for (int i = 0; i < 20; ++i)
            filter.matrix.push_back(single(in));
        break;
    }
    return filter;
}

} // namespace

std::vector<Filter> readFilters(ByteReader& in)
{
    std::vector<Filter> filters;
    const std::uint8_t count = in.u8();
    for (std::uint8_t i = 0; i < count; ++i)
        filters.push_back(readFilter(in));
    return filters;
}

BlendMode readBlendMode(ByteReader& in)
{
    const std::uint8_t mode = in.u8();
    return mode >= std::uint8_t(BlendMode::Normal) && mode <= std::uint8_t(BlendMode::Hardlight) ? BlendMode(mode)
                                                                                                 : BlendMode::Normal;
}

} // namespace quillmere::swf
