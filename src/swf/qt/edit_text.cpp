#include "swf/qt/edit_text.h"

#include <algorithm>
#include <vector>

#include <QFont>
#include <QFontMetricsF>
#include <QPainterPath>

#include "swf/limits.h"
#include "swf/qt/outlines.h"
#include "toolkit/fonts.h"

namespace quillmere::swf::qt {

namespace {

constexpr double kGutter = 40; // twips between a field's bounds and its text

// How a line of text is measured and drawn: an embedded font's glyphs, or a sans-serif face.
class LineFont {
public:
    LineFont(const EditText& field, const Font* embedded) : field_(field), font_(embedded)
    {
        face_ = toolkit::sansSerif(std::clamp(int(field.height), 1, kMaxTextFieldPixelSize)); // twips: drawn in twips
    }

    double scale() const { return field_.height / font_->unitsPerEm; }
    double ascent() const
    {
        if (!font_)
            return QFontMetricsF(face_).ascent();
        return font_->hasLayout ? font_->ascent * scale() : field_.height * 0.8;
    }
    double lineHeight() const
    {
        if (!font_)
            return QFontMetricsF(face_).height() + field_.leading;
        return (font_->hasLayout ? (font_->ascent + font_->descent) * scale() : field_.height) + field_.leading;
    }
    double width(const std::u16string& line) const
    {
        if (!font_)
            return QFontMetricsF(face_).horizontalAdvance(QString::fromStdU16String(line));
        double total = 0;
        for (const char16_t c : line)
            if (const Glyph* glyph = find(c))
                total += advance(*glyph);
        return total;
    }
    QPainterPath path(const std::u16string& line, const std::vector<QPainterPath>& outlines) const
    {
        QPainterPath path;
        if (!font_) {
            path.addText(0, 0, face_, QString::fromStdU16String(line));
            return path;
        }
        double x = 0;
        for (const char16_t c : line) {
            const Glyph* glyph = find(c);
            if (!glyph)
                continue;
            const auto index = std::size_t(glyph - font_->glyphs.data());
            if (index < outlines.size())
                path.addPath(
                    (QTransform::fromScale(scale(), scale()) * QTransform::fromTranslate(x, 0)).map(outlines[index]));
            x += advance(*glyph);
        }
        return path;
    }

private:
    const Glyph* find(char16_t c) const
    {
        const auto found
            = std::find_if(font_->glyphs.begin(), font_->glyphs.end(), [c](const Glyph& g) { return g.code == c; });
        return found == font_->glyphs.end() ? nullptr : &*found;
    }
    double advance(const Glyph& glyph) const
    {
        // Without a layout, a glyph takes the width of its outline and a little room.
        if (font_->hasLayout)
            return glyph.advance * scale();
        double right = 0;
        for (const Contour& contour : glyph.outline)
            for (const Segment& s : contour.segments)
                right = std::max(right, double(s.to.x));
        return (right + font_->unitsPerEm / 10) * scale();
    }

    const EditText& field_;
    const Font* font_;
    QFont face_;
};

// The field's lines, wrapped at spaces to `width` when the field wraps words.
std::vector<std::u16string> linesOf(const EditText& field, const LineFont& font, double width)
{
    std::vector<std::u16string> lines;
    std::u16string paragraph;
    const auto flush = [&] {
        if (!field.wordWrap) {
            lines.push_back(paragraph);
            return;
        }
        std::u16string line;
        std::size_t at = 0;
        while (at <= paragraph.size()) {
            std::size_t space = paragraph.find(u' ', at);
            if (space == std::u16string::npos)
                space = paragraph.size();
            std::u16string candidate
                = line.empty() ? paragraph.substr(at, space - at) : line + u' ' + paragraph.substr(at, space - at);
            if (!line.empty() && font.width(candidate) > width) {
                lines.push_back(line);
                line = paragraph.substr(at, space - at);
            } else {
                line = std::move(candidate);
            }
            at = space + 1;
        }
        lines.push_back(line);
    };
    for (const char16_t c : field.text) {
        if (c == u'\n' || c == u'\r') {
            flush();
            paragraph.clear();
        } else {
            paragraph += c;
        }
    }
    flush();
    return lines;
}

} // namespace

EditTextLayout layOut(const EditText& field, const ColorTransform& colors, Outlines& outlines)
{
    const Font* embedded = field.fontId ? outlines.movie().find<Font>(*field.fontId) : nullptr;
    if (embedded && (embedded->glyphs.empty() || !field.useOutlines))
        embedded = nullptr; // a device font: drawn in a face of the desktop's
    const LineFont font(field, embedded);
    const std::vector<QPainterPath> noOutlines;
    const std::vector<QPainterPath>& glyphs = embedded ? outlines.glyphs(*embedded) : noOutlines;
    const Rect& b = field.bounds;
    const double left = b.xMin + kGutter + field.leftMargin;
    const double width = b.width() - 2 * kGutter - field.leftMargin - field.rightMargin;

    EditTextLayout laidOut{{}, colors.apply(field.color), QRectF(b.xMin, b.yMin, b.width(), b.height())};
    double baseline = b.yMin + kGutter + font.ascent();
    bool first = true;
    for (const std::u16string& line : linesOf(field, font, width)) {
        const double indent = first ? field.indent : 0;
        const double spare = width - indent - font.width(line);
        double x = left + indent;
        if (field.align == EditText::Align::Right)
            x += spare;
        else if (field.align == EditText::Align::Center)
            x += spare / 2;
        laidOut.glyphs.addPath(QTransform::fromTranslate(x, baseline).map(font.path(line, glyphs)));
        baseline += font.lineHeight();
        first = false;
    }
    return laidOut;
}

} // namespace quillmere::swf::qt
