#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <variant>
#include <vector>

#include "swf/movie.h"
#include "swf/shape.h"
#include "swf/types.h"

namespace quillmere::swf {

// Writes SWF movies tag by tag: the test fixtures and the demo banner are made with it, so that
// they say exactly what they mean to test. It writes what the reader reads, with the same style
// and transform types; it checks nothing.
class SwfWriter {
public:
    enum class Compression { None, Zlib, Lzma };

    SwfWriter(int widthPixels, int heightPixels, double frameRate = 12, std::uint8_t version = 8);

    void setBackground(Rgba color);

    // A shape drawn as the pen moves. Style steps pick the fills on either side of the edges
    // that follow (1-based, 0 for none) and their line.
    struct MoveTo {
        std::int32_t x, y;
    };
    struct LineTo {
        std::int32_t x, y;
    };
    struct CurveTo {
        std::int32_t controlX, controlY, x, y;
    };
    struct Styles {
        std::uint32_t fill0, fill1, line;
    };
    using Step = std::variant<MoveTo, LineTo, CurveTo, Styles>;
    struct Drawing {
        std::vector<FillStyle> fills;
        std::vector<LineStyle> lines;
        std::vector<Step> steps;
    };
    // `shapeVersion` 1 to 4 picks DefineShape, DefineShape2, 3 or 4.
    void defineShape(std::uint16_t id, int shapeVersion, const Rect& bounds, const Drawing& drawing);
    // A rectangle filled with `fill` (and outlined when `line` is given), as DefineShape3/4.
    void defineRectangle(std::uint16_t id, const Rect& rect, const FillStyle& fill,
                         std::optional<LineStyle> line = std::nullopt);

    // Premultiplied 0xAARRGGBB pixels, row by row: DefineBitsLossless2 (format 5).
    void defineLosslessBitmap(std::uint16_t id, int width, int height, const std::vector<std::uint32_t>& argb);
    // Colour-mapped DefineBitsLossless (format 3): indices into an RGB palette.
    void defineColorMappedBitmap(std::uint16_t id, int width, int height, const std::vector<Rgba>& palette,
                                 const std::vector<std::uint8_t>& indices);
    // DefineBitsJPEG2 with a whole JPEG (or PNG, or GIF) file; DefineBitsJPEG3 when `alpha`
    // gives one byte a pixel.
    void defineJpeg(std::uint16_t id, const std::string& file, const std::string& alpha = {});
    // JPEGTables and DefineBits: the file split into its tables and its image.
    void defineJpegWithSharedTables(std::uint16_t id, const std::string& file);

    // DefineFont2 (1024 units to the em) with one glyph a drawing of fill style 1. Glyph i is
    // for the character codes[i], or for the code i when no codes are given.
    void defineFont(std::uint16_t id, const std::vector<std::vector<Step>>& glyphs, const std::u16string& codes = {});
    struct Glyph {
        std::uint32_t index;
        std::int32_t advance;
    };
    // DefineText2: one run in one font, height and colour, from (x, y).
    void defineText(std::uint16_t id, const Rect& bounds, std::uint16_t fontId, std::uint16_t height, Rgba color,
                    std::int32_t x, std::int32_t y, const std::vector<Glyph>& glyphs);

    // DefineMorphShape: one fill, blended from the start drawing to the end drawing; the end's
    // steps are moves and edges only, one for each of the start's.
    void defineMorphShape(std::uint16_t id, const FillStyle& startFill, const FillStyle& endFill,
                          const std::vector<Step>& start, const std::vector<Step>& end);

    // DefineEditText with its initial text, drawn with the glyphs of font `fontId`, or with a
    // device font of that font's name unless `outlines`; lines wrap at spaces when `wordWrap`.
    struct TextField {
        Rect bounds;
        std::uint16_t fontId = 1;
        std::uint16_t height = 240; // twips
        Rgba color{0, 0, 0, 255};
        EditText::Align align = EditText::Align::Left;
        std::string text;
        std::string variable{}; // the timeline's variable it shows
        bool outlines = true, html = false, wordWrap = false, border = false, autoSize = false;
    };
    void defineEditText(std::uint16_t id, const TextField& field);

    // Actions, each as its bytes, for doAction and defineButton.
    struct Actions {
        static std::string stop() { return "\x07"; }
        static std::string play() { return "\x06"; }
        static std::string gotoFrame(std::uint16_t frame);
        static std::string gotoLabel(const std::string& label);
        static std::string getUrl(const std::string& address, const std::string& target = "_blank");
        static std::string push(const std::string& text);
        static std::string getVariable() { return "\x1C"; }
        static std::string setVariable() { return "\x1D"; }
        static std::string getUrl2() { return std::string("\x9A\x01\x00\x00", 4); }
    };
    void doAction(const std::string& actions);
    void frameLabel(const std::string& name);
    // ExportAssets: one character, by the name scripts attach it by.
    void exportAssets(std::uint16_t id, const std::string& name);
    // DefineScalingGrid: a sprite's nine-slice grid, in its twips.
    void defineScalingGrid(std::uint16_t id, const Rect& grid);
    // DefineButton2: records of characters for the states (bits of 1 << Button::State), the
    // actions of a click released on it, and those of the press when given.
    struct ButtonPart {
        std::uint8_t states;
        std::uint16_t characterId;
        std::uint16_t depth;
        Matrix matrix{};
        std::vector<Filter> filters{};
        BlendMode blendMode = BlendMode::Normal;
    };
    void defineButton(std::uint16_t id, const std::vector<ButtonPart>& parts, const std::string& onRelease,
                      const std::string& onPress = {});
    // Any transitions: the first byte of each condition's flags, and its actions.
    struct ButtonCondition {
        std::uint8_t transitions;
        std::string actions;
    };
    void defineButton(std::uint16_t id, const std::vector<ButtonPart>& parts,
                      const std::vector<ButtonCondition>& conditions);

    struct Placement {
        std::uint16_t depth = 1;
        std::optional<std::uint16_t> characterId{};
        bool move = false;
        std::optional<Matrix> matrix{};
        std::optional<ColorTransform> colorTransform{};
        std::optional<std::uint16_t> ratio{};
        std::optional<std::string> name{}; // the instance name scripts find it by
        std::optional<std::uint16_t> clipDepth{};
        // Any of these makes it a PlaceObject3.
        std::optional<std::vector<Filter>> filters{};
        std::optional<BlendMode> blendMode{};
        std::optional<bool> cacheAsBitmap{};
        std::optional<bool> visible{};
        std::optional<Rgba> opaqueBackground{};
        // A placed sprite's scripts: each runs on the events of its bits (ClipAction::Event),
        // given as actions without their End, which the writer adds. A key press's key code is
        // not written: banners get no keys.
        struct ClipEvent {
            std::uint32_t events;
            std::string actions;
        };
        std::vector<ClipEvent> clipActions{};
    };
    void place(const Placement& placement); // PlaceObject2, or PlaceObject3
    void remove(std::uint16_t depth);       // RemoveObject2
    void showFrame();

    // Tags between these go into a DefineSprite of their own.
    void beginSprite(std::uint16_t id);
    void endSprite();

    // Any tag, as it stands: for tags this writer has no call for.
    void tag(std::uint16_t code, const std::string& body);

    std::string finish(Compression compression = Compression::None);

private:
    std::string& out() { return sprite_ ? spriteTags_ : tags_; }

    std::uint8_t version_;
    Rect stage_;
    double frameRate_;
    std::string tags_;
    std::optional<std::uint16_t> sprite_;
    std::string spriteTags_;
    std::uint16_t spriteFrames_ = 0;
    std::uint16_t frames_ = 0;
};

} // namespace quillmere::swf
