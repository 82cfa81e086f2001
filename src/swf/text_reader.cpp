#include "swf/format_error.h"
#include "swf/record_readers.h"

namespace quillmere::swf {

namespace {

// Glyph shapes sit between offsets that count from the start of the offset table.
std::vector<Glyph> readGlyphs(std::string_view table, const std::vector<std::uint32_t>& offsets, std::size_t end,
                              Budget& budget)
{
    std::vector<Glyph> glyphs(offsets.size());
    for (std::size_t i = 0; i < offsets.size(); ++i) {
        const std::size_t from = offsets[i];
        const std::size_t to = i + 1 < offsets.size() ? offsets[i + 1] : end;
        if (from > to || to > table.size())
            throw FormatError("glyph " + std::to_string(i) + " lies outside its font");
        ByteReader glyph(table.substr(from, to - from));
        if (!glyph.atEnd())
            glyphs[i].outline = readGlyph(glyph, budget);
    }
    return glyphs;
}

} // namespace

Font readFont1(ByteReader& in, Budget& budget)
{
    const std::string_view table = in.rest();
    ByteReader offsetsIn(table);
    const std::uint32_t first = offsetsIn.u16();
    std::vector<std::uint32_t> offsets{first};
    for (std::size_t i = 1; i < first / 2; ++i)
        offsets.push_back(offsetsIn.u16());
    Font font;
    font.glyphs = readGlyphs(table, offsets, table.size(), budget);
    return font;
}

Font readFont2(ByteReader& in, bool font3, Budget& budget)
{
    const std::uint8_t flags = in.u8();
    const bool wideOffsets = flags & 0x08;
    in.u8();          // language
    in.skip(in.u8()); // name
    const std::size_t count = in.u16();
    const std::string_view table = in.rest();
    ByteReader offsetsIn(table);
    std::vector<std::uint32_t> offsets(count);
    for (auto& offset : offsets)
        offset = wideOffsets ? offsetsIn.u32() : offsetsIn.u16();
    const std::uint32_t codeTable = count == 0 ? 0 : (wideOffsets ? offsetsIn.u32() : offsetsIn.u16());
    Font font;
    font.unitsPerEm = font3 ? 20480 : 1024;
    if (count > 0)
        font.glyphs = readGlyphs(table, offsets, codeTable, budget);
    return font;
}

Text readText(ByteReader& in, bool withAlpha, Budget& budget)
{
    Text text;
    text.bounds = readRect(in);
    text.matrix = readMatrix(in);
    const int glyphBits = in.u8();
    const int advanceBits = in.u8();
    TextRun style; // font, colour, height and position carry over from run to run
    while (true) {
        const std::uint8_t flags = in.u8();
        if (flags == 0)
            break;
        if (flags & 0x08)
            style.fontId = in.u16();
        if (flags & 0x04)
            style.color = withAlpha ? readRgba(in) : readRgb(in);
        if (flags & 0x01)
            style.x = in.s16();
        if (flags & 0x02)
            style.y = in.s16();
        if (flags & 0x08)
            style.height = in.u16();
        TextRun run = style;
        run.glyphs.resize(in.u8());
        budget.spendRecords(run.glyphs.size());
        for (auto& glyph : run.glyphs) {
            glyph.glyph = in.ub(glyphBits);
            glyph.advance = in.sb(advanceBits);
            style.x += glyph.advance;
        }
        in.align();
        text.runs.push_back(std::move(run));
    }
    return text;
}

} // namespace quillmere::swf
