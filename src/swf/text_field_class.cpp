// TextField: fields a script makes with createTextField, and sets the text and looks of.

#include <algorithm>
#include <array>
#include <cmath>

#include "swf/avm1/natives.h"
#include "swf/avm1/strings.h"
#include "swf/html_text.h"
#include "swf/limits.h"
#include "swf/placed_properties.h"
#include "swf/script_clip.h"
#include "swf/script_painter.h"

namespace quillmere::swf {

namespace {

using namespace avm1; // the natives' helpers, and the values they take

class FieldObject : public PlacedObject {
public:
    using PlacedObject::PlacedObject;
    std::u16string text; // as a script last set it
    bool html = false;
    // The face and style text set from now on takes, as setNewTextFormat gave them; its colour,
    // size, alignment and margins are the field's own.
    std::optional<std::u16string> face;
    std::optional<bool> bold, italic;
    bool variableStarted = false; // the variable it shows took its text, or had a value of its own
    // Its layout as last measured, and the instance it was measured for: scripts that read a
    // measure again and again lay it out once.
    ScriptPainter::FieldLayout measured;
    std::uint64_t measuredInstance = 0;
};

// As much as a field keeps, which is no more than it shows, decoded a piece at a time: decoding
// all of a megabyte that a script sets, again and again, took a tenth of a second each time.
std::u16string utf16(const std::string& text)
{
    std::u16string out;
    for (std::string_view rest = text; !rest.empty() && out.size() < kMostFieldCharacters;) {
        std::size_t piece = std::min<std::size_t>(rest.size(), 4096);
        while (piece < rest.size() && (static_cast<unsigned char>(rest[piece]) & 0xC0) == 0x80)
            ++piece; // not within a character
        for (const char32_t code : avm1::codes(rest.substr(0, piece), true)) {
            if (code >= 0x10000) {
                out.push_back(char16_t(0xD800 + ((code - 0x10000) >> 10)));
                out.push_back(char16_t(0xDC00 + ((code - 0x10000) & 0x3FF)));
            } else {
                out.push_back(char16_t(code));
            }
        }
        rest.remove_prefix(piece);
    }
    out.resize(std::min(out.size(), kMostFieldCharacters));
    return out;
}

std::string utf8(const std::u16string& text)
{
    std::u32string codes;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char32_t unit = text[i];
        if (unit >= 0xD800 && unit < 0xDC00 && i + 1 < text.size() && text[i + 1] >= 0xDC00 && text[i + 1] < 0xE000)
            codes.push_back(0x10000 + ((unit - 0xD800) << 10) + (text[++i] - 0xDC00));
        else
            codes.push_back(unit);
    }
    return avm1::fromCodes(codes, true);
}

Rgba rgbOf(Machine& m, const Value& value)
{
    const auto rgb = std::uint32_t(avm1::Conversions::toInt32(m.toNumber(value)));
    return {std::uint8_t(rgb >> 16), std::uint8_t(rgb >> 8), std::uint8_t(rgb), 255};
}

double rgbNumber(Rgba color)
{
    return double(std::uint32_t(color.r) << 16 | std::uint32_t(color.g) << 8 | color.b);
}

std::pair<FieldObject*, DisplayObject*> fieldOf(const Value& self)
{
    return placementOf<FieldObject>(self);
}

// The painter, to lay `field` out: its characters count against the pixels a frame may paint,
// as laying out one takes about as long as painting 256, so that a script that lays out long
// text over and over stops as one painting would.
ScriptPainter* painterToLayOut(const FieldObject& object, const EditText& field)
{
    std::size_t characters = 0;
    for (const EditText::Paragraph& paragraph : field.paragraphs)
        for (const EditText::Span& span : paragraph.spans)
            characters += span.text.size();
    return object.owner.lock()->script()->painterFor(characters * 256);
}

// How the field's lines lie as it is drawn; as an empty field's when nothing draws.
ScriptPainter::FieldLayout laidOut(FieldObject& object, const EditText& field)
{
    if (object.measuredInstance != object.instance || !object.instance) {
        ScriptPainter* painter = painterToLayOut(object, field);
        object.measured = painter ? painter->layOut(field) : ScriptPainter::FieldLayout{};
        object.measuredInstance = object.instance;
    }
    return object.measured;
}

// The field as a change left it: a new character, drawn anew. A field that sizes itself takes
// the frame it is drawn in, so that scripts measure what they see; one that keeps its centre or
// right edge moves, so that its left edge stays at its origin, where scripts take it to be.
void replace(FieldObject& object, DisplayObject& placed, EditText field)
{
    if (ScriptPainter* painter
        = field.autoSize != EditText::AutoSize::None ? painterToLayOut(object, field) : nullptr) {
        const Rect fitted = painter->layOut(field).frame;
        const double moved = fitted.xMin - field.bounds.xMin;
        placed.matrix.tx = std::round(placed.matrix.tx + placed.matrix.a * moved);
        placed.matrix.ty = std::round(placed.matrix.ty + placed.matrix.b * moved);
        field.bounds = {field.bounds.xMin, field.bounds.xMin + fitted.width(), fitted.yMin, fitted.yMax};
    }
    placed.made = std::make_shared<const Character>(std::move(field));
    placed.character = placed.made.get();
    object.instance = object.owner.lock()->script()->fieldChanged(placed);
}

// How a setter's value is converted, before the field is read: a script's toString or valueOf
// may change the field, remove it or place it anew. Booleans and the names of autoSize convert
// without running one.
enum class Given { Text, Number, AsIs };

Value converted(Machine& m, Given given, const Value& value)
{
    switch (given) {
    case Given::Text: return m.toString(value);
    case Given::Number: return m.toNumber(value);
    case Given::AsIs: break;
    }
    return value;
}

// A property read from the field as it is, and written to a copy that replaces it.
void accessor(Machine& m, Object* prototype, const char* name, Value (*get)(Machine&, FieldObject&, const EditText&),
              Given given, void (*set)(Machine&, FieldObject&, EditText&, const Value&))
{
    avm1::Function* getter = m.makeNative([get](Machine& m, Value self, Arguments&) -> Value {
        auto [object, placed] = fieldOf(self);
        if (!placed)
            return Undefined{};
        return get(m, *object, std::get<EditText>(*placed->character));
    });
    avm1::Function* setter = m.makeNative([given, set](Machine& m, Value self, Arguments& a) -> Value {
        auto [object, placed] = fieldOf(self);
        if (!placed)
            return Undefined{};
        const Value value = converted(m, given, argument(a, 0));
        if (!(placed = findPlacement(*object)))
            return Undefined{};
        EditText field = std::get<EditText>(*placed->character);
        set(m, *object, field, value);
        const std::string variable = given == Given::Text ? field.variable : std::string();
        replace(*object, *placed, std::move(field));
        // A field that shows a variable sets it too, or the next frame would show the old value.
        if (!variable.empty())
            if (const std::shared_ptr<TimelinePlayer> owner = object->owner.lock(); owner && owner->script())
                m.setVariable(variable, value, owner->script()->object());
        return Undefined{};
    });
    prototype->putAccessor(m.key(name), getter, setter);
}

void setText(FieldObject& object, EditText& field)
{
    field.paragraphs = object.html ? htmlParagraphs(object.text, field) : plainParagraphs(object.text, field);
    for (EditText::Paragraph& paragraph : field.paragraphs)
        for (EditText::Span& span : paragraph.spans) {
            if (object.html) { // HTML text says its own faces and styles, where it names them
                if (span.face.empty())
                    span.face = object.face.value_or(span.face);
                continue;
            }
            span.face = object.face.value_or(span.face);
            span.bold = object.bold.value_or(span.bold);
            span.italic = object.italic.value_or(span.italic);
        }
}

// A TextFormat's fields that are set, read before the field is: their getters and conversions
// may run a script that changes the field, removes it or places it anew.
struct Format {
    std::optional<std::u16string> face;
    std::optional<bool> bold, italic;
    std::optional<Rgba> color;
    std::optional<double> size;
    std::optional<EditText::Align> align;
    std::array<std::optional<double>, 4> margins; // left, right, indent, leading
};

Format formatOf(Machine& m, const Value& format)
{
    const auto given = [&](const char* name) -> std::optional<Value> {
        Value v = m.member(format, name);
        if (std::holds_alternative<Undefined>(v) || std::holds_alternative<avm1::Null>(v))
            return std::nullopt;
        return v;
    };
    const auto twips = [&](const Value& v, double most) {
        const double points = m.toNumber(v);
        return std::isfinite(points) ? std::clamp(points, 0.0, most) * kTwipsPerPixel : 0.0;
    };
    Format read;
    if (auto v = given("font"))
        read.face = utf16(m.toString(*v)).substr(0, kLongestFaceName);
    if (auto v = given("bold"))
        read.bold = m.conversions().toBoolean(*v);
    if (auto v = given("italic"))
        read.italic = m.conversions().toBoolean(*v);
    if (auto v = given("color"))
        read.color = rgbOf(m, *v);
    if (auto v = given("size"))
        read.size = twips(*v, 127);
    if (auto v = given("align")) {
        const std::string align = m.toString(*v);
        read.align = align == "center"    ? EditText::Align::Center
                     : align == "right"   ? EditText::Align::Right
                     : align == "justify" ? EditText::Align::Justify
                                          : EditText::Align::Left;
    }
    static constexpr const char* kMargins[] = {"leftMargin", "rightMargin", "indent", "leading"};
    for (std::size_t i = 0; i < read.margins.size(); ++i)
        if (auto v = given(kMargins[i]))
            read.margins[i] = twips(*v, 720);
    return read;
}

void applyMargins(EditText::Format& to, const Format& format)
{
    double* const margins[] = {&to.leftMargin, &to.rightMargin, &to.indent, &to.leading};
    for (std::size_t i = 0; i < format.margins.size(); ++i)
        *margins[i] = format.margins[i].value_or(*margins[i]);
}

// The format that text set from now on takes; the text there is keeps its own.
void setNewFormat(FieldObject& object, EditText& field, const Format& format)
{
    if (format.face)
        object.face = format.face;
    if (format.bold)
        object.bold = format.bold;
    if (format.italic)
        object.italic = format.italic;
    field.color = format.color.value_or(field.color);
    field.height = format.size.value_or(field.height);
    field.align = format.align.value_or(field.align);
    applyMargins(field.format, format);
}

// The format over characters `begin` up to `end` of the text there is, and their paragraphs.
void setFormat(EditText& field, const Format& format, std::size_t begin, std::size_t end)
{
    restyle(
        field.paragraphs, begin, end,
        [&format](EditText::Span& span) {
            span.face = format.face.value_or(span.face);
            span.bold = format.bold.value_or(span.bold);
            span.italic = format.italic.value_or(span.italic);
            span.color = format.color.value_or(span.color);
            span.height = format.size.value_or(span.height);
        },
        [&format](EditText::Paragraph& paragraph) {
            paragraph.align = format.align.value_or(paragraph.align);
            applyMargins(paragraph.format, format);
        });
}

// The characters the first `given` arguments of a format method name: one, from one up to
// another, or with none all of them.
std::pair<std::size_t, std::size_t> rangeOf(Machine& m, const Arguments& a, std::size_t given)
{
    const auto index = [&m](const Value& v) {
        const double at = m.toNumber(v);
        return std::isfinite(at) ? std::size_t(std::clamp(at, 0.0, double(kMostFieldCharacters))) : 0;
    };
    if (given == 0)
        return {0, kMostFieldCharacters};
    const std::size_t begin = index(a[0]);
    return {begin, given == 1 ? begin + 1 : index(a[1])};
}

} // namespace

void installTextFieldClass(Machine& m)
{
    Object* prototype = m.makeObject(m.objectPrototype());
    m.defineClass(m.global(), "TextField", prototype, [](Machine&, Value, Arguments&) { return Value(Undefined{}); });
    accessor(
        m, prototype, "text", [](Machine&, FieldObject& o, const EditText&) { return Value(utf8(o.text)); },
        Given::Text,
        [](Machine& m, FieldObject& o, EditText& field, const Value& v) {
            o.text = utf16(m.toString(v));
            o.html = false;
            setText(o, field);
        });
    accessor(
        m, prototype, "htmlText", [](Machine&, FieldObject& o, const EditText&) { return Value(utf8(o.text)); },
        Given::Text,
        [](Machine& m, FieldObject& o, EditText& field, const Value& v) {
            o.text = utf16(m.toString(v));
            o.html = field.html; // a field that is not HTML shows the tags as they are
            setText(o, field);
        });
    accessor(
        m, prototype, "html", [](Machine&, FieldObject&, const EditText& f) { return Value(f.html); }, Given::AsIs,
        [](Machine& m, FieldObject&, EditText& field, const Value& v) { field.html = m.conversions().toBoolean(v); });
    accessor(
        m, prototype, "password", [](Machine&, FieldObject&, const EditText& f) { return Value(f.password); },
        Given::AsIs,
        [](Machine& m, FieldObject&, EditText& field, const Value& v) {
            field.password = m.conversions().toBoolean(v);
        });
    accessor(
        m, prototype, "embedFonts", [](Machine&, FieldObject&, const EditText& f) { return Value(f.useOutlines); },
        Given::AsIs,
        [](Machine& m, FieldObject&, EditText& field, const Value& v) {
            field.useOutlines = m.conversions().toBoolean(v);
        });
    accessor(
        m, prototype, "textColor", [](Machine&, FieldObject&, const EditText& f) { return Value(rgbNumber(f.color)); },
        Given::Number,
        [](Machine& m, FieldObject&, EditText& field, const Value& v) {
            field.color = rgbOf(m, v);
            for (EditText::Paragraph& paragraph : field.paragraphs)
                for (EditText::Span& span : paragraph.spans)
                    span.color = field.color;
        });
    accessor(
        m, prototype, "background", [](Machine&, FieldObject&, const EditText& f) { return Value(f.background); },
        Given::AsIs,
        [](Machine& m, FieldObject&, EditText& field, const Value& v) {
            field.background = m.conversions().toBoolean(v);
        });
    accessor(
        m, prototype, "backgroundColor",
        [](Machine&, FieldObject&, const EditText& f) { return Value(rgbNumber(f.backgroundColor)); }, Given::Number,
        [](Machine& m, FieldObject&, EditText& field, const Value& v) { field.backgroundColor = rgbOf(m, v); });
    accessor(
        m, prototype, "border", [](Machine&, FieldObject&, const EditText& f) { return Value(f.border); }, Given::AsIs,
        [](Machine& m, FieldObject&, EditText& field, const Value& v) { field.border = m.conversions().toBoolean(v); });
    accessor(
        m, prototype, "borderColor",
        [](Machine&, FieldObject&, const EditText& f) { return Value(rgbNumber(f.borderColor)); }, Given::Number,
        [](Machine& m, FieldObject&, EditText& field, const Value& v) { field.borderColor = rgbOf(m, v); });
    accessor(
        m, prototype, "wordWrap", [](Machine&, FieldObject&, const EditText& f) { return Value(f.wordWrap); },
        Given::AsIs,
        [](Machine& m, FieldObject&, EditText& field, const Value& v) {
            field.wordWrap = m.conversions().toBoolean(v);
        });

    // The line at its top, which a ticker moves on; the rest follows from its layout.
    accessor(
        m, prototype, "scroll",
        [](Machine&, FieldObject& o, const EditText& f) { return Value(double(laidOut(o, f).scroll)); }, Given::Number,
        [](Machine& m, FieldObject&, EditText& field, const Value& v) {
            const double line = m.toNumber(v);
            field.scroll = std::isfinite(line) ? std::uint32_t(std::clamp(line, 1.0, 1e9)) : 1;
        });

    // Where it is and how it looks, as a clip's; and how much room its text takes.
    installPlacedProperties(m, prototype);
    avm1::Function* readOnly = m.makeNative([](Machine&, Value, Arguments&) { return Value(Undefined{}); });
    using Measure = double (*)(const ScriptPainter::FieldLayout&);
    for (const auto& [name, measure] :
         {std::pair<const char*, Measure>{"textWidth",
                                          [](const auto& l) { return std::round(l.textWidth / kTwipsPerPixel); }},
          {"textHeight", [](const auto& l) { return std::round(l.textHeight / kTwipsPerPixel); }},
          {"maxscroll", [](const auto& l) { return double(l.maxScroll); }},
          {"bottomScroll", [](const auto& l) { return double(l.bottomScroll); }}}) {
        avm1::Function* getter = m.makeNative([measure = measure](Machine&, Value self, Arguments&) -> Value {
            auto [object, placed] = fieldOf(self);
            return placed ? measure(laidOut(*object, std::get<EditText>(*placed->character))) : 0.0;
        });
        prototype->putAccessor(m.key(name), getter, readOnly);
    }

    // TextFormat(font, size, color, bold, italic, underline, url, target, align, leftMargin,
    // rightMargin, indent, leading): what is not given stays null, and changes nothing.
    Object* format = m.makeObject(m.objectPrototype());
    m.defineClass(m.global(), "TextFormat", format, [](Machine& m, Value self, Arguments& a) {
        static constexpr const char* kFields[]
            = {"font",   "size",  "color",      "bold",        "italic", "underline", "url",
               "target", "align", "leftMargin", "rightMargin", "indent", "leading"};
        for (std::size_t i = 0; i < std::size(kFields); ++i)
            m.setMember(self, kFields[i], i < a.size() ? a[i] : Value(avm1::Null{}));
        return Value(Undefined{});
    });
    // setTextFormat([begin, [end,]] format) formats the text there is, or a part; setNewTextFormat
    // the text set from now on. Setting text starts it again in the new text's format.
    for (const bool newText : {false, true})
        m.defineMethod(prototype, newText ? "setNewTextFormat" : "setTextFormat",
                       [newText](Machine& m, Value self, Arguments& a) {
                           auto [object, placed] = fieldOf(self);
                           if (!placed || a.empty() || !objectIn(a.back()))
                               return Value(Undefined{});
                           const auto [begin, end] = rangeOf(m, a, a.size() - 1);
                           const Format format = formatOf(m, a.back());
                           if (!(placed = findPlacement(*object)))
                               return Value(Undefined{});
                           EditText field = std::get<EditText>(*placed->character);
                           if (newText)
                               setNewFormat(*object, field, format);
                           else
                               setFormat(field, format, begin, end);
                           replace(*object, *placed, std::move(field));
                           return Value(Undefined{});
                       });
    // getTextFormat([begin, [end]]): what the characters share, null where they differ;
    // getNewTextFormat(), and getTextFormat of no characters, the new text's.
    for (const bool newText : {false, true})
        m.defineMethod(
            prototype, newText ? "getNewTextFormat" : "getTextFormat",
            [format, newText](Machine& m, Value self, Arguments& a) {
                auto [object, placed] = fieldOf(self);
                if (!placed)
                    return Value(Undefined{});
                // Copies, read before the object is filled in: setters the script gave
                // TextFormat's prototype run then, and may change the field or remove it.
                const auto [begin, end] = rangeOf(m, a, std::min<std::size_t>(a.size(), 2));
                EditText field = std::get<EditText>(*placed->character);
                EditText::Span newSpan;
                newSpan.face = object->face.value_or(u"");
                newSpan.bold = object->bold.value_or(false);
                newSpan.italic = object->italic.value_or(false);
                newSpan.color = field.color;
                newSpan.height = field.height;
                std::vector<EditText::Span> spans;
                std::vector<EditText::Paragraph> paragraphs;
                if (!newText)
                    restyle(
                        field.paragraphs, begin, end, [&spans](EditText::Span& s) { spans.push_back(s); },
                        [&paragraphs](EditText::Paragraph& p) {
                            paragraphs.push_back({p.align, p.format, {}});
                        });
                if (spans.empty()) {
                    spans = {newSpan};
                    paragraphs = {{field.align, field.format, {}}};
                }
                // Each field's value where every character or paragraph has the same, else null.
                const auto shared = [&m](const auto& items, auto get, auto value) -> Value {
                    for (const auto& item : items)
                        if (get(item) != get(items.front()))
                            return avm1::Null{};
                    return value(m, get(items.front()));
                };
                const auto number = [](Machine&, double v) { return Value(v); };
                const auto twips = [](Machine&, double v) { return Value(v / kTwipsPerPixel); };
                const auto boolean = [](Machine&, bool v) { return Value(v); };
                Object* out = m.makeObject(format);
                m.setMember(out, "font",
                            shared(
                                spans, [](const auto& s) { return s.face; },
                                [](Machine&, const std::u16string& face) {
                                    return face.empty() ? Value(avm1::Null{}) : Value(utf8(face));
                                }));
                m.setMember(out, "size",
                            shared(
                                spans, [](const auto& s) { return s.height; }, twips));
                m.setMember(out, "color",
                            shared(
                                spans, [](const auto& s) { return rgbNumber(s.color); }, number));
                m.setMember(out, "bold",
                            shared(
                                spans, [](const auto& s) { return s.bold; }, boolean));
                m.setMember(out, "italic",
                            shared(
                                spans, [](const auto& s) { return s.italic; }, boolean));
                m.setMember(out, "underline", false);
                m.setMember(out, "url", std::string());
                m.setMember(out, "target", std::string());
                static constexpr const char* kAligns[] = {"left", "right", "center", "justify"};
                m.setMember(out, "align",
                            shared(
                                paragraphs, [](const auto& p) { return p.align; },
                                [](Machine&, EditText::Align align) {
                                    return Value(std::string(kAligns[std::size_t(align)]));
                                }));
                for (const auto& [name, margin] :
                     {std::pair<const char*, double EditText::Format::*>{"leftMargin", &EditText::Format::leftMargin},
                      {"rightMargin", &EditText::Format::rightMargin},
                      {"indent", &EditText::Format::indent},
                      {"leading", &EditText::Format::leading}})
                    m.setMember(out, name,
                                shared(
                                    paragraphs, [margin = margin](const auto& p) { return p.format.*margin; }, twips));
                return Value(out);
            });
    m.defineMethod(prototype, "removeTextField", [](Machine&, Value self, Arguments&) {
        if (auto [object, placed] = fieldOf(self); placed)
            object->owner.lock()->script()->removeScripted(object->instance);
        return Value(Undefined{});
    });
    // "left", "center", "right", or true for "left"; anything else is "none".
    static constexpr std::array<const char*, 4> kAutoSizes{"none", "left", "center", "right"};
    accessor(
        m, prototype, "autoSize",
        [](Machine&, FieldObject&, const EditText& f) {
            return Value(std::string(kAutoSizes[std::size_t(f.autoSize)]));
        },
        Given::AsIs,
        [](Machine& m, FieldObject&, EditText& field, const Value& v) {
            field.autoSize = EditText::AutoSize::None;
            if (const bool* on = std::get_if<bool>(&v); on && *on)
                field.autoSize = EditText::AutoSize::Left;
            else if (std::holds_alternative<std::string>(v))
                for (std::size_t i = 0; i < kAutoSizes.size(); ++i)
                    if (m.toString(v) == kAutoSizes[i])
                        field.autoSize = EditText::AutoSize(i);
        });

    // clip.createTextField(name, depth, x, y, width, height): a field with no text, in Times New
    // Roman at 12 points. A negative size reaches back from the corner.
    m.defineMethod(m.movieClipPrototype(), "createTextField", [](Machine& m, Value self, Arguments& a) {
        TimelinePlayer::ScriptClip* clip = clipOf(self);
        if (!clip)
            return Value(Undefined{});
        const auto twips = [&](std::size_t i) {
            const double pixels = m.toNumber(argument(a, i));
            return std::isfinite(pixels) ? std::round(std::clamp(pixels, -1e7, 1e7) * kTwipsPerPixel) : 0.0;
        };
        const double x = twips(2), y = twips(3), width = twips(4), height = twips(5);
        EditText field;
        field.bounds = {std::int32_t(std::min(0.0, width)), std::int32_t(std::max(0.0, width)),
                        std::int32_t(std::min(0.0, height)), std::int32_t(std::max(0.0, height))};
        Matrix at;
        at.tx = x;
        at.ty = y;
        const DisplayObject* placed
            = clip->placeField(m.toString(argument(a, 0)), m.toNumber(argument(a, 1)), at, field);
        Object* object = placed ? fieldObject(*clip, placed->instance) : nullptr;
        if (auto* made = dynamic_cast<FieldObject*>(object))
            made->face = u"Times New Roman"; // the face every new field's format names
        return object ? Value(object) : Value(Undefined{});
    });
}

avm1::Object* fieldObject(TimelinePlayer::ScriptClip& clip, std::uint64_t instance)
{
    const auto find = [&]() -> DisplayObject* {
        DisplayObject* placed = clip.findInstance(instance);
        return placed && placed->character && std::holds_alternative<EditText>(*placed->character) ? placed : nullptr;
    };
    if (DisplayObject* placed = find(); !placed || placed->scriptObject)
        return placed ? placed->scriptObject.get() : nullptr;
    Machine& m = clip.machine();
    // A getter on the way to the prototype may run a script, which may remove the field, place it
    // anew or ask for its object first: the field is found again after.
    Object* prototype = objectIn(m.member(m.member(Value(m.global()), "TextField"), "prototype"));
    DisplayObject* placed = find();
    if (!placed || placed->scriptObject)
        return placed ? placed->scriptObject.get() : nullptr;
    auto* object = m.make<FieldObject>(prototype);
    if (!object)
        return nullptr;
    object->owner = clip.timeline().weak_from_this();
    object->instance = instance;
    const EditText& field = std::get<EditText>(*placed->character);
    for (const EditText::Paragraph& paragraph : field.paragraphs) {
        if (&paragraph != &field.paragraphs.front())
            object->text += u'\r';
        for (const EditText::Span& span : paragraph.spans)
            object->text += span.text;
    }
    m.keep(object);
    placed->scriptObject = clip.kept(object);
    if (field.autoSize != EditText::AutoSize::None)
        replace(*object, *placed, field); // to its text's size
    return placed->scriptObject.get();
}

void showVariables(TimelinePlayer::ScriptClip& clip)
{
    std::vector<std::uint64_t> bound;
    for (const auto& [depth, object] : clip.contents())
        if (const auto* field = object.character ? std::get_if<EditText>(object.character) : nullptr)
            if (!field->variable.empty())
                bound.push_back(object.instance);
    Machine& m = clip.machine();
    for (const std::uint64_t instance : bound) {
        // Reading the variable, or making the field's object, may run a script that removes the
        // field: it is found again each time.
        DisplayObject* placed = clip.findInstance(instance);
        if (!placed)
            continue;
        const std::string name = std::get<EditText>(*placed->character).variable;
        const Value value = m.variable(name, clip.object());
        auto* object = dynamic_cast<FieldObject*>(fieldObject(clip, instance));
        placed = clip.findInstance(object ? object->instance : instance);
        if (!object || !placed)
            continue;
        if (std::holds_alternative<Undefined>(value)) {
            // A variable not set yet starts as the field's text, as players start it.
            if (!std::exchange(object->variableStarted, true))
                m.setVariable(name, utf8(object->text), clip.object());
            continue;
        }
        object->variableStarted = true;
        const std::u16string text = utf16(m.toString(value));
        placed = clip.findInstance(object->instance);
        if (!placed || text == object->text)
            continue;
        EditText field = std::get<EditText>(*placed->character);
        object->text = text;
        object->html = field.html;
        setText(*object, field);
        replace(*object, *placed, std::move(field));
    }
}

} // namespace quillmere::swf
