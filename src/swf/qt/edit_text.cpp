#include "swf/qt/edit_text.h"

#include <algorithm>
#include <map>
#include <memory>
#include <tuple>
#include <unordered_map>

#include <QFont>
#include <QFontMetricsF>
#include <QString>

#include "swf/limits.h"
#include "swf/qt/outlines.h"
#include "toolkit/fonts.h"

namespace quillmere::swf::qt {

namespace {

constexpr double kGutter = 40; // twips between a field's bounds and its text

bool sameName(std::u16string_view a, std::u16string_view b)
{
    const auto lower = [](char16_t c) { return c >= u'A' && c <= u'Z' ? char16_t(c + 32) : c; };
    return a.size() == b.size()
           && std::equal(a.begin(), a.end(), b.begin(), [&](char16_t x, char16_t y) { return lower(x) == lower(y); });
}

// The desktop's face for a device font: the metric twin of the serif or typewriter face the
// movie names, or of the sans-serif one for any other.
QFont deviceFace(std::u16string_view name, int pixelSize, bool bold)
{
    QFont face = toolkit::sansSerif(pixelSize, bold);
    const auto named = [name](std::initializer_list<std::u16string_view> names) {
        return std::any_of(names.begin(), names.end(), [name](std::u16string_view n) { return sameName(n, name); });
    };
    if (named({u"_serif", u"serif", u"Times New Roman", u"Times", u"Georgia"})) {
        face.setFamilies({QStringLiteral("Liberation Serif"), QStringLiteral("serif")});
        face.setStyleHint(QFont::Serif);
    } else if (named({u"_typewriter", u"monospace", u"Courier New", u"Courier", u"Lucida Console"})) {
        face.setFamilies({QStringLiteral("Liberation Mono"), QStringLiteral("monospace")});
        face.setStyleHint(QFont::Monospace);
    }
    return face;
}

// How the characters of one style are measured and drawn: an embedded font's glyphs, or a
// desktop face.
class StyleFont {
public:
    StyleFont(const EditText::Span& style, std::u16string_view faceName, const Font* embedded,
              const std::vector<QPainterPath>* outlines, bool shown)
        : height_(style.height), kerning_(style.kerning), shown_(shown), font_(embedded), outlines_(outlines)
    {
        if (font_) {
            for (std::size_t i = 0; i < font_->glyphs.size(); ++i)
                index_.emplace(font_->glyphs[i].code, i);
            return;
        }
        face_ = deviceFace(faceName, std::clamp(int(style.height), 1, kMaxTextFieldPixelSize), style.bold); // twips
        face_.setItalic(style.italic);
        metrics_ = std::make_unique<QFontMetricsF>(face_);
    }

    double ascent() const
    {
        if (!font_)
            return metrics_->ascent();
        return font_->hasLayout ? font_->ascent * scale() : height_ * 0.8;
    }
    double descent() const
    {
        if (!font_)
            return metrics_->descent();
        return font_->hasLayout ? font_->descent * scale() : height_ * 0.2;
    }
    double advance(char16_t c) const
    {
        if (!font_)
            return metrics_->horizontalAdvance(QChar(c));
        const Glyph* glyph = find(c);
        if (!glyph)
            return 0;
        if (font_->hasLayout)
            return glyph->advance * scale();
        // Without a layout, a glyph takes the width of its outline and a little room.
        double right = 0;
        for (const Contour& contour : glyph->outline)
            for (const Segment& s : contour.segments)
                right = std::max(right, double(s.to.x));
        return (right + font_->unitsPerEm / 10) * scale();
    }
    // What the font's kerning adds between `left` and `right`, when the style asks for it.
    double kerning(char16_t left, char16_t right) const
    {
        if (!font_ || !kerning_)
            return 0;
        const auto& pairs = font_->kerning;
        const auto found = std::lower_bound(pairs.begin(), pairs.end(), std::pair(left, right),
                                            [](const Font::Kerning& k, std::pair<char16_t, char16_t> wanted) {
                                                return std::pair(k.left, k.right) < wanted;
                                            });
        return found != pairs.end() && found->left == left && found->right == right ? found->adjust * scale() : 0;
    }
    // `text` with its first character's origin at (x, baseline).
    void draw(QPainterPath& path, std::u16string_view text, double x, double baseline) const
    {
        if (!shown_)
            return;
        if (!font_) {
            path.addText(x, baseline, face_, QString::fromUtf16(text.data(), qsizetype(text.size())));
            return;
        }
        for (std::size_t i = 0; i < text.size(); ++i) {
            if (const Glyph* glyph = find(text[i])) {
                const auto index = std::size_t(glyph - font_->glyphs.data());
                if (index < outlines_->size())
                    path.addPath(QTransform(scale(), 0, 0, scale(), x, baseline).map((*outlines_)[index]));
            }
            x += advance(text[i]) + (i + 1 < text.size() ? kerning(text[i], text[i + 1]) : 0);
        }
    }

private:
    double scale() const { return height_ / font_->unitsPerEm; }
    const Glyph* find(char16_t c) const
    {
        const auto found = index_.find(c);
        return found == index_.end() ? nullptr : &font_->glyphs[found->second];
    }

    double height_;
    bool kerning_;
    bool shown_; // else laid out, but not drawn
    const Font* font_;
    const std::vector<QPainterPath>* outlines_;
    std::unordered_map<char16_t, std::size_t> index_;
    QFont face_;
    std::unique_ptr<QFontMetricsF> metrics_;
};

// The fonts of a field's styles, each made once.
class StyleFonts {
public:
    StyleFonts(const EditText& field, Outlines& outlines)
        : outlines_(outlines), embedded_(field.useOutlines), movieField_(field.fontId.has_value())
    {
        const Font* own = field.fontId ? outlines.movie().find<Font>(*field.fontId) : nullptr;
        if (own)
            fieldFace_ = own->name;
        if (embedded_ && own && !own->glyphs.empty())
            own_ = own; // else a device font: drawn in a face of the desktop's
    }

    const StyleFont& of(const EditText::Span& style)
    {
        auto key = std::tuple(style.height, style.face, style.bold, style.italic, style.kerning);
        auto found = made_.find(key);
        if (found == made_.end()) {
            const auto [font, shown] = embeddedFor(style);
            const std::u16string_view face = style.face.empty() ? fieldFace_ : style.face;
            found
                = made_
                      .emplace(std::move(key), std::make_unique<StyleFont>(
                                                   style, face, font, font ? &outlines_.glyphs(*font) : nullptr, shown))
                      .first;
        }
        return *found->second;
    }

private:
    struct Choice {
        const Font* font; // null: a desktop face
        bool shown;
    };

    // For a field of embedded fonts, the movie's font of the face asked for, by its name or the
    // name it is exported by, in the weight and slant asked for where it has them; else the
    // field's own. A field a script made, asking for a face the movie does not embed, shows
    // nothing, as it did where it was made.
    Choice embeddedFor(const EditText::Span& style) const
    {
        if (!embedded_ || (own_ && style.face.empty() && !style.bold && !style.italic))
            return {own_, true};
        const std::u16string_view face = style.face.empty() && own_ ? std::u16string_view(own_->name) : style.face;
        const Movie& movie = outlines_.movie();
        const auto exportedAs = [&](std::uint16_t id) {
            return std::any_of(movie.exports.begin(), movie.exports.end(), [&](const auto& exported) {
                return exported.second == id
                       && sameName(std::u16string(exported.first.begin(), exported.first.end()), face);
            });
        };
        const Font* best = nullptr;
        int bestScore = -1;
        for (const auto& [id, character] : movie.dictionary) {
            const auto* font = std::get_if<Font>(character.get());
            if (!font || font->glyphs.empty() || face.empty() || !(sameName(font->name, face) || exportedAs(id)))
                continue;
            const int score = (font->bold == style.bold) + (font->italic == style.italic);
            if (score > bestScore) {
                best = font;
                bestScore = score;
            }
        }
        if (best || own_)
            return {best ? best : own_, true};
        return {nullptr, movieField_}; // a placed field whose font has no outlines keeps a desktop face
    }

    Outlines& outlines_;
    bool embedded_;
    bool movieField_;
    const Font* own_ = nullptr;
    std::u16string fieldFace_; // the face of the field's font, for spans that name none
    std::map<std::tuple<double, std::u16string, bool, bool, bool>, std::unique_ptr<StyleFont>> made_;
};

// One character of a paragraph, with the room it takes before the next.
struct Laid {
    char16_t c;
    std::uint32_t span;
    double advance;
};

struct Line {
    std::size_t from, to; // characters of the paragraph
    double width;         // without the spaces that end it
};

// The paragraph's lines: broken, when the field wraps, after the last space that lets a line
// fit `width`, or within a word longer than a line.
std::vector<Line> linesOf(const std::vector<Laid>& laid, bool wrap, double width)
{
    std::vector<Line> lines;
    std::size_t from = 0;
    do {
        double used = 0;
        std::size_t end = from, afterSpace = from;
        while (end < laid.size()) {
            if (wrap && end > from && used + laid[end].advance > width && laid[end].c != u' ') {
                if (afterSpace > from)
                    end = afterSpace;
                break;
            }
            used += laid[end].advance;
            if (laid[end].c == u' ')
                afterSpace = end + 1;
            ++end;
        }
        double shown = 0;
        std::size_t last = end;
        while (last > from && laid[last - 1].c == u' ')
            --last;
        for (std::size_t i = from; i < last; ++i)
            shown += laid[i].advance;
        lines.push_back({from, end, shown});
        from = end;
    } while (from < laid.size());
    return lines;
}

// Moves the lines up so that line `to` is at the top, or the last that lets the lines below it
// fill the field; `lines` gives each one's top and bottom.
void scroll(EditTextLayout& laidOut, const std::vector<std::pair<double, double>>& lines, std::uint32_t to)
{
    if (lines.empty())
        return;
    const double shown = laidOut.bounds.height() - 2 * kGutter;
    std::size_t most = lines.size() - 1; // as indices from 0
    while (most > 0 && lines.back().second - lines[most - 1].first <= shown)
        --most;
    const std::size_t top = std::min<std::size_t>(std::max<std::uint32_t>(to, 1) - 1, most);
    std::size_t bottom = top;
    while (bottom + 1 < lines.size() && lines[bottom + 1].second - lines[top].first <= shown)
        ++bottom;
    laidOut.maxScroll = std::uint32_t(most + 1);
    laidOut.scroll = std::uint32_t(top + 1);
    laidOut.bottomScroll = std::uint32_t(bottom + 1);
    for (EditTextLayout::Run& run : laidOut.runs)
        run.glyphs.translate(0, lines.front().first - lines[top].first);
}

} // namespace

EditTextLayout layOut(const EditText& field, Outlines& outlines)
{
    if (field.autoSize != EditText::AutoSize::None) {
        EditText fitted = field;
        fitted.autoSize = EditText::AutoSize::None;
        const QSizeF text = layOut(fitted, outlines).text;
        Rect& b = fitted.bounds;
        b.yMax = b.yMin + std::int32_t(std::ceil(text.height() + 2 * kGutter));
        if (!field.wordWrap) {
            const auto width = std::int32_t(std::ceil(text.width() + 2 * kGutter));
            if (field.autoSize == EditText::AutoSize::Right)
                b.xMin = b.xMax - width;
            else if (field.autoSize == EditText::AutoSize::Center)
                b.xMin += (b.width() - width) / 2;
            b.xMax = b.xMin + width;
        }
        return layOut(fitted, outlines);
    }
    const Rect& b = field.bounds;
    EditTextLayout laidOut{{}, QRectF(b.xMin, b.yMin, b.width(), b.height()), {}};
    const auto runFor = [&laidOut](Rgba color) -> QPainterPath& {
        for (EditTextLayout::Run& run : laidOut.runs)
            if (run.color == color)
                return run.glyphs;
        return laidOut.runs.emplace_back(EditTextLayout::Run{{}, color}).glyphs;
    };
    StyleFonts fonts(field, outlines);
    double top = b.yMin + kGutter;                // of the next line
    std::vector<std::pair<double, double>> lines; // each one's top and bottom
    std::size_t budget = kMaxTextFieldCharacters;
    EditText::Span fieldStyle;
    fieldStyle.height = field.height;

    for (const EditText::Paragraph& paragraph : field.paragraphs) {
        std::vector<const StyleFont*> spanFonts;
        std::vector<Laid> laid;
        for (std::uint32_t s = 0; s < paragraph.spans.size(); ++s) {
            const EditText::Span& span = paragraph.spans[s];
            const StyleFont& font = fonts.of(span);
            spanFonts.push_back(&font);
            const auto shown = [&](std::size_t i) { return field.password ? u'*' : span.text[i]; };
            for (std::size_t i = 0; i < span.text.size() && laid.size() < budget; ++i) {
                const char16_t c = shown(i);
                laid.push_back(
                    {c, s, font.advance(c) + (i + 1 < span.text.size() ? font.kerning(c, shown(i + 1)) : 0)});
            }
        }
        budget -= laid.size();
        const EditText::Format& format = paragraph.format;
        const double left = b.xMin + kGutter + format.leftMargin;
        const double width = b.width() - 2 * kGutter - format.leftMargin - format.rightMargin;
        bool first = true;
        for (const Line& line : linesOf(laid, field.wordWrap, width - format.indent)) {
            double ascent = 0, descent = 0;
            if (line.from == line.to) { // an empty line keeps the height of its style
                const StyleFont& font = fonts.of(paragraph.spans.empty() ? fieldStyle : paragraph.spans.front());
                ascent = font.ascent();
                descent = font.descent();
            }
            for (std::size_t i = line.from; i < line.to; ++i) {
                const StyleFont& font = *spanFonts[laid[i].span];
                ascent = std::max(ascent, font.ascent());
                descent = std::max(descent, font.descent());
            }
            const double baseline = top + ascent;
            const double indent = first ? format.indent : 0;
            const double spare = width - indent - line.width;
            double x = left + indent;
            if (paragraph.align == EditText::Align::Right)
                x += spare;
            else if (paragraph.align == EditText::Align::Center)
                x += spare / 2;
            // A run of one span at a time, drawn whole so that a desktop face shapes it.
            for (std::size_t i = line.from; i < line.to;) {
                std::size_t end = i;
                double runWidth = 0;
                while (end < line.to && laid[end].span == laid[i].span)
                    runWidth += laid[end++].advance;
                const EditText::Span& span = paragraph.spans[laid[i].span];
                std::u16string text;
                for (std::size_t k = i; k < end; ++k)
                    text += laid[k].c;
                spanFonts[laid[i].span]->draw(runFor(span.color), text, x, baseline);
                x += runWidth;
                i = end;
            }
            lines.emplace_back(top, baseline + descent);
            top = baseline + descent + format.leading;
            laidOut.text.setWidth(
                std::max(laidOut.text.width(), format.leftMargin + indent + line.width + format.rightMargin));
            laidOut.text.setHeight(baseline + descent - (b.yMin + kGutter));
            first = false;
        }
    }
    scroll(laidOut, lines, field.scroll);
    return laidOut;
}

} // namespace quillmere::swf::qt
