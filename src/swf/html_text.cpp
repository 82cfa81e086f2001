#include "swf/html_text.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <optional>
#include <string>
#include <tuple>
#include <utility>

#include "swf/limits.h"

namespace quillmere::swf {

namespace {

using Span = EditText::Span;
using Paragraph = EditText::Paragraph;

char16_t lower(char16_t c)
{
    return c >= u'A' && c <= u'Z' ? char16_t(c + 32) : c;
}

bool sameText(std::u16string_view a, std::u16string_view b) // ASCII letters in either case
{
    return a.size() == b.size()
           && std::equal(a.begin(), a.end(), b.begin(), [](char16_t x, char16_t y) { return lower(x) == lower(y); });
}

bool isSpace(char16_t c)
{
    return c == u' ' || c == u'\t' || c == u'\n' || c == u'\r';
}

// A tag's text, from after `<` to before `>`: its name, lower case, and what follows it.
struct Tag {
    std::u16string name;
    std::u16string_view attributes;
    bool closing = false;

    explicit Tag(std::u16string_view text)
    {
        if (!text.empty() && text.front() == u'/') {
            closing = true;
            text.remove_prefix(1);
        }
        std::size_t end = 0;
        while (end < text.size() && !isSpace(text[end]) && text[end] != u'/')
            name += lower(text[end++]);
        attributes = text.substr(end);
    }

    // name="value", name='value' or name=value.
    std::optional<std::u16string_view> attribute(std::u16string_view wanted) const
    {
        std::u16string_view rest = attributes;
        while (!rest.empty()) {
            while (!rest.empty() && (isSpace(rest.front()) || rest.front() == u'/'))
                rest.remove_prefix(1);
            std::size_t end = 0;
            while (end < rest.size() && rest[end] != u'=' && !isSpace(rest[end]))
                ++end;
            const std::u16string_view name = rest.substr(0, end);
            rest.remove_prefix(end);
            if (rest.empty() || rest.front() != u'=') {
                if (name.empty() && !rest.empty())
                    rest.remove_prefix(1);
                continue;
            }
            rest.remove_prefix(1);
            std::u16string_view value;
            if (!rest.empty() && (rest.front() == u'"' || rest.front() == u'\'')) {
                const std::size_t close = rest.find(rest.front(), 1);
                value = rest.substr(1, close == std::u16string_view::npos ? std::u16string_view::npos : close - 1);
                rest.remove_prefix(close == std::u16string_view::npos ? rest.size() : close + 1);
            } else {
                std::size_t valueEnd = 0;
                while (valueEnd < rest.size() && !isSpace(rest[valueEnd]))
                    ++valueEnd;
                value = rest.substr(0, valueEnd);
                rest.remove_prefix(valueEnd);
            }
            if (sameText(name, wanted))
                return value;
        }
        return std::nullopt;
    }
};

std::optional<Rgba> colorOf(std::u16string_view text, std::uint8_t alpha)
{
    if (text.size() != 7 || text.front() != u'#')
        return std::nullopt;
    std::uint32_t rgb = 0;
    for (const char16_t c : text.substr(1)) {
        const char16_t l = lower(c);
        const int digit = l >= u'0' && l <= u'9' ? l - u'0' : l >= u'a' && l <= u'f' ? l - u'a' + 10 : -1;
        if (digit < 0)
            return std::nullopt;
        rgb = rgb << 4 | std::uint32_t(digit);
    }
    return Rgba{std::uint8_t(rgb >> 16), std::uint8_t(rgb >> 8), std::uint8_t(rgb), alpha};
}

// A size in pixels, or one more or less than `current` with a sign; in twips.
double sizeOf(std::u16string_view text, double current)
{
    const bool relative = !text.empty() && (text.front() == u'+' || text.front() == u'-');
    const bool less = relative && text.front() == u'-';
    double pixels = 0;
    for (const char16_t c : text.substr(relative ? 1 : 0)) {
        if (c < u'0' || c > u'9')
            break;
        pixels = std::min(pixels * 10 + (c - u'0'), 10000.0);
    }
    const double size = relative ? current + (less ? -pixels : pixels) * 20 : pixels * 20;
    return std::clamp(size, 20.0, 200000.0);
}

// Pixels, with a sign and a fraction, as twips; `otherwise` if none are given.
double twipsOf(std::u16string_view text, double otherwise)
{
    std::string ascii;
    for (const char16_t c : text.substr(0, 32))
        ascii += c < 128 ? char(c) : '?';
    char* end = nullptr;
    const double pixels = std::strtod(ascii.c_str(), &end);
    if (end == ascii.c_str() || !std::isfinite(pixels))
        return otherwise;
    return std::clamp(pixels, -10000.0, 10000.0) * 20;
}

EditText::Align alignOf(std::u16string_view text, EditText::Align otherwise)
{
    if (sameText(text, u"left"))
        return EditText::Align::Left;
    if (sameText(text, u"right"))
        return EditText::Align::Right;
    if (sameText(text, u"center"))
        return EditText::Align::Center;
    if (sameText(text, u"justify"))
        return EditText::Align::Justify;
    return otherwise;
}

bool sameStyle(const Span& a, const Span& b)
{
    return a.color == b.color && a.height == b.height && a.face == b.face && a.bold == b.bold && a.italic == b.italic
           && a.kerning == b.kerning && a.letterSpacing == b.letterSpacing;
}

// Paragraphs as text and tags arrive.
class Builder {
public:
    explicit Builder(const EditText& field) : fieldAlign_(field.align), align_(field.align)
    {
        Span base;
        base.color = field.color;
        base.height = field.height;
        styles_.push_back({u"", base, field.format});
        paragraphs_.push_back({align_, field.format, {}});
    }

    // Past the caps on a field's text: what comes after is not shown.
    bool full() const { return characters_ >= kMostFieldCharacters || runs_ >= kMostFieldRuns; }

    const Span& style() const { return styles_.back().span; }
    const EditText::Format& format() const { return styles_.back().format; }
    void open(std::u16string name, Span style, const EditText::Format& format)
    {
        if (styles_.size() >= kMostOpenTags)
            return; // its style is not taken, so that closing tags cost a bounded search
        styles_.push_back({std::move(name), std::move(style), format});
        if (paragraphs_.back().spans.empty() && !ended_)
            paragraphs_.back().format = format; // the paragraph begun takes the format opened before its text
    }
    void close(std::u16string_view name)
    {
        for (std::size_t i = styles_.size(); i-- > 1;)
            if (styles_[i].name == name) {
                styles_.resize(i);
                return;
            }
    }

    // A paragraph begins, in `align`, unless the one now holds nothing yet.
    void beginParagraph(EditText::Align align)
    {
        align_ = align;
        if (!paragraphs_.back().spans.empty() || ended_)
            newParagraph();
        else
            paragraphs_.back().align = align;
        ended_ = false;
    }
    // The paragraph ends: what comes next starts a new one, in the field's alignment.
    void endParagraph()
    {
        ended_ = true;
        align_ = fieldAlign_;
    }
    void lineBreak()
    {
        if (ended_)
            newParagraph();
        newParagraph();
        ended_ = false;
    }

    void add(char16_t c)
    {
        if (full())
            return;
        if (ended_) {
            newParagraph();
            ended_ = false;
        }
        std::vector<Span>& spans = paragraphs_.back().spans;
        if (spans.empty() || !sameStyle(spans.back(), style())) {
            spans.push_back(style());
            spans.back().text.clear();
            ++runs_;
        }
        spans.back().text += c;
        ++characters_;
    }

    std::vector<Paragraph> take() { return std::move(paragraphs_); }

private:
    static constexpr std::size_t kMostOpenTags = 64;
    struct Open { // a tag open, with the style and paragraph format within it
        std::u16string name;
        Span span;
        EditText::Format format;
    };
    std::vector<Open> styles_;
    void newParagraph()
    {
        if (!full()) {
            paragraphs_.push_back({align_, format(), {}});
            ++runs_;
        }
    }

    std::vector<Paragraph> paragraphs_;
    EditText::Align fieldAlign_, align_;
    bool ended_ = false;
    std::size_t characters_ = 0, runs_ = 0;
};

void applyTag(Builder& builder, const Tag& tag, const EditText& field)
{
    if (tag.closing) {
        builder.close(tag.name);
        if (tag.name == u"p" || tag.name == u"li")
            builder.endParagraph();
        return;
    }
    Span style = builder.style();
    EditText::Format format = builder.format();
    if (tag.name == u"br") {
        builder.lineBreak();
        return;
    }
    if (tag.name == u"p" || tag.name == u"li") {
        const auto align = tag.attribute(u"align");
        builder.beginParagraph(align ? alignOf(*align, field.align) : field.align);
    } else if (tag.name == u"b") {
        style.bold = true;
    } else if (tag.name == u"i") {
        style.italic = true;
    } else if (tag.name == u"font") {
        if (const auto color = tag.attribute(u"color"))
            style.color = colorOf(*color, field.color.a).value_or(style.color);
        if (const auto size = tag.attribute(u"size"))
            style.height = sizeOf(*size, style.height);
        if (const auto face = tag.attribute(u"face"))
            style.face = face->substr(0, kLongestFaceName);
        if (const auto kerning = tag.attribute(u"kerning"))
            style.kerning = *kerning == u"1" || sameText(*kerning, u"true");
        if (const auto spacing = tag.attribute(u"letterspacing"))
            style.letterSpacing = twipsOf(*spacing, style.letterSpacing);
    } else if (tag.name == u"textformat") {
        for (auto [name, value] : {std::pair{u"leftmargin", &format.leftMargin},
                                   {u"rightmargin", &format.rightMargin},
                                   {u"indent", &format.indent},
                                   {u"leading", &format.leading}})
            if (const auto given = tag.attribute(name))
                *value = twipsOf(*given, *value);
    } else if (tag.name.empty()) {
        return;
    }
    if (!tag.attributes.empty() && tag.attributes.back() == u'/')
        return; // opens and closes at once
    builder.open(tag.name, std::move(style), format);
}

} // namespace

std::vector<Paragraph> htmlParagraphs(std::u16string_view html, const EditText& field)
{
    static constexpr std::pair<std::u16string_view, char16_t> entities[]
        = {{u"&lt;", u'<'},   {u"&gt;", u'>'},    {u"&amp;", u'&'},
           {u"&quot;", u'"'}, {u"&apos;", u'\''}, {u"&nbsp;", u'\u00A0'}};
    Builder builder(field);
    for (std::size_t i = 0; i < html.size() && !builder.full(); ++i) {
        const char16_t c = html[i];
        if (c == u'<') {
            const std::size_t close = html.find(u'>', i);
            if (close == std::u16string_view::npos)
                break; // an unclosed tag ends the text
            applyTag(builder, Tag(html.substr(i + 1, close - i - 1)), field);
            i = close;
        } else if (c == u'&') {
            const std::u16string_view rest = html.substr(i);
            const auto* entity = std::find_if(std::begin(entities), std::end(entities),
                                              [&](const auto& e) { return rest.starts_with(e.first); });
            if (entity == std::end(entities)) {
                builder.add(u'&');
                continue;
            }
            builder.add(entity->second);
            i += entity->first.size() - 1;
        } else if (c == u'\r' || c == u'\n') {
            if (c == u'\n' && i > 0 && html[i - 1] == u'\r')
                continue;
            builder.lineBreak();
        } else {
            builder.add(c);
        }
    }
    return builder.take();
}

bool restyle(std::vector<Paragraph>& paragraphs, std::size_t begin, std::size_t end,
             const std::function<void(Span&)>& span, const std::function<void(Paragraph&)>& paragraph)
{
    if (begin >= end)
        return true;
    std::vector<Paragraph> changed;
    changed.reserve(paragraphs.size());
    std::size_t at = 0, runs = 0; // `at`: the first character of the paragraph
    for (const Paragraph& given : paragraphs) {
        Paragraph& out = changed.emplace_back(Paragraph{given.align, given.format, {}});
        std::size_t length = 0;
        for (const Span& run : given.spans) {
            const std::size_t from = std::clamp(begin, at + length, at + length + run.text.size()) - at - length;
            const std::size_t to = std::clamp(end, at + length, at + length + run.text.size()) - at - length;
            length += run.text.size();
            for (const auto& [first, last, changes] :
                 {std::tuple{std::size_t(0), from, false}, {from, to, true}, {to, run.text.size(), false}}) {
                if (first >= last)
                    continue;
                Span piece = run;
                piece.text = run.text.substr(first, last - first);
                if (changes)
                    span(piece);
                if (!out.spans.empty() && sameStyle(out.spans.back(), piece))
                    out.spans.back().text += piece.text;
                else
                    out.spans.push_back(std::move(piece));
            }
        }
        if (begin <= at + length && end > at) // the range reaches this paragraph, or its break
            paragraph(out);
        at += length + 1;
        runs += 1 + out.spans.size();
    }
    if (runs > kMostFieldRuns)
        return false;
    paragraphs = std::move(changed);
    return true;
}

std::vector<Paragraph> plainParagraphs(std::u16string_view text, const EditText& field)
{
    Builder builder(field);
    for (std::size_t i = 0; i < text.size() && !builder.full(); ++i) {
        if (text[i] == u'\r' || text[i] == u'\n') {
            if (text[i] == u'\n' && i > 0 && text[i - 1] == u'\r')
                continue;
            builder.lineBreak();
        } else {
            builder.add(text[i]);
        }
    }
    return builder.take();
}

} // namespace quillmere::swf
