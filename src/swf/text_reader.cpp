#include <algorithm>
#include <utility>

#include "base/utf8.h"
#include "swf/format_error.h"
#include "swf/html_text.h"
#include "swf/record_readers.h"

namespace quillmere::swf {

namespace {

// Glyph shapes start at offsets that count from the start of the offset table, and each ends
// with its own end record. Players read them so, whatever order the offsets come in; the next
// glyph's offset bounds a glyph only where it comes later.
std::vector<Glyph> readGlyphs(std::string_view table, const std::vector<std::uint32_t>& offsets, std::size_t end,
                              Budget& budget)
{
    std::vector<Glyph> glyphs(offsets.size());
    end = std::min(end, table.size());
    for (std::size_t i = 0; i < offsets.size(); ++i) {
        const std::size_t from = offsets[i];
        const std::size_t next = i + 1 < offsets.size() ? offsets[i + 1] : end;
        const std::size_t to = next > from && next <= end ? next : end;
        if (from >= to)
            continue; // no outline: a space, or an offset past the glyphs
        ByteReader glyph(table.substr(from, to - from));
        glyphs[i].outline = readGlyph(glyph, budget);
    }
    return glyphs;
}

// Movies of version 6 on store text as UTF-8; older ones, and text that is not UTF-8, in the
// Windows Western code page, read here as Latin-1.
std::u16string decoded(std::string_view bytes, std::uint8_t version)
{
    std::u16string text;
    for (std::size_t i = 0; i < bytes.size();) {
        const std::size_t length = version >= 6 ? utf8CharLength(bytes.substr(i)) : 0;
        if (length == 0) { // not a character: Latin-1
            text += char16_t(static_cast<std::uint8_t>(bytes[i]));
            ++i;
            continue;
        }
        char32_t c = utf8CodePoint(bytes.substr(i, length));
        i += length;
        if (c >= 0x10000) {
            c -= 0x10000;
            text += char16_t(0xD800 + (c >> 10));
            text += char16_t(0xDC00 + (c & 0x3FF));
        } else {
            text += char16_t(c);
        }
    }
    return text;
}

// The layout's kerning pairs, after each glyph's bounds: as many as the tag holds whole, since
// a font whose table is cut short still draws.
void readKerning(ByteReader& in, Font& font, bool wideCodes)
{
    try {
        for (std::size_t i = 0; i < font.glyphs.size(); ++i)
            readRect(in);
        const std::size_t count = in.u16();
        const std::size_t size = wideCodes ? 6 : 4;
        for (std::size_t i = 0; i < count && in.remaining() >= size; ++i) {
            const char16_t left = wideCodes ? in.u16() : in.u8();
            const char16_t right = wideCodes ? in.u16() : in.u8();
            font.kerning.push_back({left, right, in.s16()});
        }
    } catch (const FormatError&) {
    }
    std::sort(font.kerning.begin(), font.kerning.end(), [](const Font::Kerning& a, const Font::Kerning& b) {
        return std::pair(a.left, a.right) < std::pair(b.left, b.right);
    });
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

Font readFont2(ByteReader& in, bool font3, std::uint8_t version, Budget& budget)
{
    const std::uint8_t flags = in.u8();
    const bool hasLayout = flags & 0x80;
    const bool wideOffsets = flags & 0x08;
    const bool wideCodes = flags & 0x04;
    in.u8(); // language
    std::string_view name = in.bytes(in.u8());
    while (!name.empty() && name.back() == '\0')
        name.remove_suffix(1);
    const std::size_t count = in.u16();
    const std::string_view table = in.rest();
    ByteReader offsetsIn(table);
    std::vector<std::uint32_t> offsets(count);
    for (auto& offset : offsets)
        offset = wideOffsets ? offsetsIn.u32() : offsetsIn.u16();
    const std::uint32_t codeTable = count == 0 ? 0 : (wideOffsets ? offsetsIn.u32() : offsetsIn.u16());
    Font font;
    font.unitsPerEm = font3 ? 20480 : 1024;
    font.name = decoded(name, version);
    font.bold = flags & 0x01;
    font.italic = flags & 0x02;
    if (count == 0)
        return font;
    font.glyphs = readGlyphs(table, offsets, codeTable, budget);
    // After the glyphs: the character each one draws, then the layout.
    ByteReader after(table);
    after.skip(codeTable);
    for (Glyph& glyph : font.glyphs)
        glyph.code = wideCodes ? after.u16() : after.u8();
    if (hasLayout) {
        font.hasLayout = true;
        font.ascent = after.u16();
        font.descent = after.u16();
        font.leading = after.s16();
        for (Glyph& glyph : font.glyphs)
            glyph.advance = after.s16();
        readKerning(after, font, wideCodes);
    }
    return font;
}

EditText readEditText(ByteReader& in, std::uint8_t version)
{
    EditText field;
    field.bounds = readRect(in);
    const std::uint8_t flags1 = in.u8(), flags2 = in.u8();
    const bool hasText = flags1 & 0x80;
    field.wordWrap = flags1 & 0x40;
    field.password = flags1 & 0x10;
    const bool hasColor = flags1 & 0x04;
    const bool hasMaxLength = flags1 & 0x02;
    const bool hasFont = flags1 & 0x01;
    const bool hasFontClass = flags2 & 0x80;
    if (flags2 & 0x40)
        field.autoSize = EditText::AutoSize::Left;
    const bool hasLayout = flags2 & 0x20;
    field.border = field.background = flags2 & 0x08; // a white field in a black frame
    const bool html = flags2 & 0x02;
    field.useOutlines = flags2 & 0x01;
    if (hasFont)
        field.fontId = in.u16();
    if (hasFontClass)
        in.string();
    if (hasFont || hasFontClass)
        field.height = in.u16();
    if (hasColor)
        field.color = readRgba(in);
    if (hasMaxLength)
        in.u16();
    if (hasLayout) {
        const std::uint8_t align = in.u8();
        field.align = align == 1   ? EditText::Align::Right
                      : align == 2 ? EditText::Align::Center
                      : align == 3 ? EditText::Align::Justify
                                   : EditText::Align::Left;
        field.format.leftMargin = in.u16();
        field.format.rightMargin = in.u16();
        field.format.indent = in.s16();
        field.format.leading = in.s16();
    }
    field.html = html;
    field.variable = in.string();
    if (hasText) {
        const std::string initial = in.string();
        const std::u16string text = decoded(initial, version);
        field.paragraphs = html ? htmlParagraphs(text, field) : plainParagraphs(text, field);
    }
    return field;
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
