#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "swf/shape.h"
#include "swf/avm1/code.h"
#include "swf/types.h"

namespace quillmere::swf {

// A bitmap as the movie stores it. Lossless bitmaps are decoded by the reader; JPEG, PNG and
// GIF data is kept encoded (with JPEG tables merged in) for the renderer's image decoder,
// together with a separate alpha plane where the movie gives one.
struct Bitmap {
    std::uint32_t width = 0;
    std::uint32_t height = 0;
    std::vector<std::uint32_t> argb; // decoded: premultiplied 0xAARRGGBB, row by row
    std::string encoded;             // else: a JPEG, PNG or GIF file
    std::string alpha;               // JPEG with alpha: one byte a pixel, row by row
    // A script's bitmap changes as it draws: each change gives it a new serial. 0 for the movie's.
    std::uint64_t serial = 0;
};

struct Glyph {
    Path outline; // in font units: 1024 to the em, 20480 for DefineFont3
    char16_t code = 0;
    double advance = 0; // font units; from the font's layout, when it has one
};

struct Font {
    std::vector<Glyph> glyphs;
    double unitsPerEm = 1024;
    double ascent = 0, descent = 0, leading = 0; // font units; 0 without a layout
    bool hasLayout = false;
    std::u16string name; // the face text fields ask for by name
    bool bold = false, italic = false;
    // Of the layout: the advance from `left` to `right` changes by `adjust` font units.
    struct Kerning {
        char16_t left, right;
        std::int16_t adjust;
    };
    std::vector<Kerning> kerning; // by left, then right
};

struct TextRun {
    std::uint16_t fontId = 0;
    Rgba color;
    double height = 0; // twips
    double x = 0, y = 0;
    struct Placed {
        std::uint32_t glyph;
        std::int32_t advance;
    };
    std::vector<Placed> glyphs;
};

struct Text {
    Rect bounds;
    Matrix matrix;
    std::vector<TextRun> runs;
};

// DefineEditText, drawn as static text: its initial text, in runs of one style, in its font or
// the movie's font of the face a run asks for (embedded glyphs, or a desktop face of the same
// height for a device font), in its bounds.
struct EditText {
    enum class Align { Left, Right, Center, Justify };
    struct Span {
        std::u16string text;
        Rgba color{0, 0, 0, 255};
        double height = 240; // twips
        std::u16string face; // empty: the field's own font
        bool bold = false, italic = false, kerning = false;
        double letterSpacing = 0; // twips after each character
    };
    // The field's margins, first line's indent and leading, or what HTML text sets for a paragraph.
    struct Format {
        double leftMargin = 0, rightMargin = 0, indent = 0, leading = 0; // twips
    };
    // A line break ends a paragraph too: the next goes on in the same alignment.
    struct Paragraph {
        Align align = Align::Left;
        Format format;
        std::vector<Span> spans;
    };
    Rect bounds;
    std::optional<std::uint16_t> fontId;
    double height = 240; // twips
    Rgba color{0, 0, 0, 255};
    Align align = Align::Left;
    Format format;
    bool useOutlines = false; // drawn with the embedded font's glyphs
    bool wordWrap = false;
    // Fitted to its text: the bounds grow or shrink to hold it, this side kept where it was;
    // a field that wraps keeps its width.
    enum class AutoSize { None, Left, Center, Right };
    AutoSize autoSize = AutoSize::None;
    bool html = false;       // its text, and the variable's, is HTML
    bool password = false;   // shows an asterisk for each character
    std::string variable;    // a variable of the timeline it lies in, whose value it shows
    bool border = false;     // a frame of borderColor, a pixel wide
    bool background = false; // filled with backgroundColor
    Rgba borderColor{0, 0, 0, 255};
    Rgba backgroundColor{255, 255, 255, 255};
    std::vector<Paragraph> paragraphs;
    std::uint32_t scroll = 1; // the line shown at the top, counted from 1
};

// A block of actions, decoded once: a frame's, or a button's for one of its events.
using ActionList = std::shared_ptr<const avm1::Code>;

// How an object's pixels combine with what lies under it (PlaceObject3, button records). Values
// the format has no mode for are normal, as 0 is.
enum class BlendMode : std::uint8_t {
    Normal = 1,
    Layer,
    Multiply,
    Screen,
    Lighten,
    Darken,
    Difference,
    Add,
    Subtract,
    Invert,
    Alpha,
    Erase,
    Overlay,
    Hardlight,
};

// A filter of an object's picture, as its record gives it. Blur sizes and distances are in
// pixels, the angle in radians.
struct Filter {
    enum class Kind : std::uint8_t {
        DropShadow,
        Blur,
        Glow,
        Bevel,
        GradientGlow,
        Convolution,
        ColorMatrix,
        GradientBevel,
    };
    Kind kind = Kind::Blur;
    double blurX = 0, blurY = 0;
    int passes = 1;
    double angle = 0, distance = 0;
    double strength = 1;
    bool inner = false, knockout = false, compositeSource = true, onTop = false;
    // DropShadow and Glow: one; Bevel: the shadow's, then the highlight's; the gradient
    // filters: their gradient's, with its ratios.
    std::vector<Rgba> colors;
    std::vector<std::uint8_t> ratios;
    // ColorMatrix: 20 values, a row of five for each of red, green, blue and alpha.
    // Convolution: columns x rows, row by row, divided by `divisor`, plus `bias`.
    std::vector<float> matrix;
    int columns = 0, rows = 0;
    float divisor = 1, bias = 0;
    Rgba defaultColor{0, 0, 0, 0};
    bool clamp = true, preserveAlpha = true;
    bool operator==(const Filter&) const = default;
};

// Scripts a placed sprite runs on events, as PlaceObject2 and PlaceObject3 give them.
struct ClipAction {
    enum Event : std::uint32_t {
        Load = 1 << 0,
        EnterFrame = 1 << 1,
        Unload = 1 << 2,
        MouseMove = 1 << 3,
        MouseDown = 1 << 4,
        MouseUp = 1 << 5,
        Initialize = 1 << 9,
        Press = 1 << 10,
        Release = 1 << 11,
        ReleaseOutside = 1 << 12,
        RollOver = 1 << 13,
        RollOut = 1 << 14,
        DragOver = 1 << 15,
        DragOut = 1 << 16,
        Construct = 1 << 18,
    };
    std::uint32_t events = 0;
    ActionList actions;
};

// PlaceObject, PlaceObject2 and PlaceObject3: what they give, the rest absent.
struct Place {
    std::uint16_t depth = 0;
    bool move = false; // modifies (or replaces the character of) what is at the depth
    std::optional<std::uint16_t> characterId;
    std::optional<Matrix> matrix;
    std::optional<ColorTransform> colorTransform;
    std::optional<std::uint16_t> ratio;
    std::optional<std::uint16_t> clipDepth;
    std::optional<std::vector<Filter>> filters;
    std::optional<BlendMode> blendMode;
    std::optional<bool> cacheAsBitmap;
    std::optional<bool> visible;
    std::optional<Rgba> opaqueBackground;
    std::optional<std::string> name; // by which scripts find the object
    std::vector<ClipAction> clipActions;
};

struct Remove {
    std::uint16_t depth = 0;
};

using DisplayCommand = std::variant<Place, Remove>;

struct Frame {
    std::vector<DisplayCommand> commands;
    std::vector<ActionList> actions; // DoAction tags, run after the commands
    // DoInitAction tags: each runs once in a showing of the movie, before the frame's actions.
    std::vector<ActionList> initActions;
};

struct Timeline {
    std::vector<Frame> frames; // at least one
    std::map<std::string, std::size_t> labels;
};

struct Sprite {
    Timeline timeline;
};

struct Button {
    enum State { Up, Over, Down, HitTest };
    struct Record {
        std::uint8_t states = 0; // bit 1 << State
        std::uint16_t characterId = 0;
        std::uint16_t depth = 0;
        Matrix matrix;
        ColorTransform colorTransform;
        std::vector<Filter> filters;
        BlendMode blendMode = BlendMode::Normal;
    };
    std::vector<Record> records;
    // Each list of actions with the pointer's events that run it, as ClipAction's events.
    struct Condition {
        std::uint32_t events = 0;
        ActionList actions;
    };
    std::vector<Condition> conditions;
};

// DefineMorphShape and DefineMorphShape2: a shape between a start and an end form, drawn at the
// ratio its placement gives (0 start, 65535 end).
struct MorphShape {
    struct Fill {
        FillStyle start, end;
    };
    struct Line {
        LineStyle start, end;
    };
    std::vector<Fill> fills;
    std::vector<Line> lines;
    std::vector<ShapeRecord> start; // with the styles of each edge
    std::vector<ShapeRecord> end;   // moves and edges only, one for each of the start's
};

// The morph's shape at `t`, from 0 (start) to 1 (end).
Shape morphShapeAt(const MorphShape& morph, double t);

using Character = std::variant<Shape, Bitmap, Font, Text, Sprite, Button, MorphShape, EditText>;

struct Movie {
    std::uint8_t version = 0;
    Rect stage; // twips
    double frameRate = 12;
    Rgba background{255, 255, 255, 255};
    std::map<std::uint16_t, std::shared_ptr<const Character>> dictionary;
    std::map<std::string, std::uint16_t> exports; // characters by the names scripts attach them by
    std::map<std::uint16_t, Rect> scalingGrids;   // sprites' nine-slice grids, by character
    std::map<std::uint16_t, double> soundSeconds; // how long each sound plays: they are never heard
    std::size_t bytes = 0;                        // of the file, as scripts ask for it
    Timeline timeline;
    std::vector<std::string> unreadable; // a line for each character left empty, and why

    const Character* character(std::uint16_t id) const;
    template <typename T>
    const T* find(std::uint16_t id) const
    {
        const Character* found = character(id);
        return found ? std::get_if<T>(found) : nullptr;
    }
};

} // namespace quillmere::swf
