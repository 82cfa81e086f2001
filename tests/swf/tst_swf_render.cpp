// Movies made by our writer, one feature each, read, played and drawn offscreen, and checked at
// chosen pixels.

#include <QtTest>

#include <QBuffer>
#include <QImage>
#include <QPainter>

#include "support/strict_warnings.h"
#include "swf/movie_reader.h"
#include "swf/player.h"
#include "swf/qt/renderer.h"
#include "action_writer.h"
#include "swf_writer.h"

using namespace quillmere;
using namespace quillmere::swf;
using quillmere::testing::failOnUnexpectedWarnings;
using Writer = SwfWriter;

namespace {

constexpr int kSize = 100; // pixels each side; a twentieth of the twips below

QImage render(const std::string& file, int frames = 1)
{
    auto movie = std::make_shared<const Movie>(readMovie(file));
    Player player(movie, scriptPainter(movie));
    for (int i = 1; i < frames; ++i)
        player.tick();
    return Renderer(movie).renderStage(player).convertToFormat(QImage::Format_ARGB32);
}

bool near(QColor actual, QColor expected, int tolerance)
{
    return std::abs(actual.red() - expected.red()) <= tolerance
           && std::abs(actual.green() - expected.green()) <= tolerance
           && std::abs(actual.blue() - expected.blue()) <= tolerance
           && std::abs(actual.alpha() - expected.alpha()) <= tolerance;
}

struct Probe {
    QPoint at;
    QColor expected;
};

FillStyle solid(Rgba color)
{
    FillStyle fill;
    fill.color = color;
    return fill;
}

// A gradient across the whole stage: the gradient square mapped onto 0-2000 twips.
FillStyle gradient(FillStyle::Kind kind, std::vector<Gradient::Stop> stops, double focal = 0)
{
    FillStyle fill;
    fill.kind = kind;
    fill.gradient.stops = std::move(stops);
    fill.gradient.focalPoint = focal;
    fill.matrix.a = fill.matrix.d = 2000.0 / 32768;
    fill.matrix.tx = fill.matrix.ty = 1000;
    return fill;
}

FillStyle bitmapFill(std::uint16_t id, double pixelTwips, bool repeat = true)
{
    FillStyle fill;
    fill.kind = FillStyle::Kind::Bitmap;
    fill.bitmapId = id;
    fill.matrix.a = fill.matrix.d = pixelTwips;
    fill.repeat = repeat;
    fill.smooth = false;
    return fill;
}

// A glyph of a font of 1024 units to the em: a square of half an em on the baseline.
const std::vector<Writer::Step> kSquareGlyph{Writer::Styles{0, 1, 0},   Writer::MoveTo{0, -512},
                                             Writer::LineTo{512, -512}, Writer::LineTo{512, 0},
                                             Writer::LineTo{0, 0},      Writer::LineTo{0, -512}};

const Rect kStage{0, 2000, 0, 2000};
const Rect kMiddle{500, 1500, 500, 1500};
const Rgba kRed{255, 0, 0, 255}, kBlue{0, 0, 255, 255}, kWhite{255, 255, 255, 255};

std::string encoded(const QImage& image, const char* format, int quality = 95)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, format, quality);
    return bytes.toStdString();
}

QImage halves(QColor left, QColor right)
{
    QImage image(16, 16, QImage::Format_RGB32);
    QPainter p(&image);
    p.fillRect(0, 0, 8, 16, left);
    p.fillRect(8, 0, 8, 16, right);
    return image;
}

// One shape placed at depth 1 and one frame: most fixtures need no more.
std::string still(const std::function<void(Writer&)>& define, Writer::Compression compression = {})
{
    Writer w(kSize, kSize);
    define(w);
    w.place({.depth = 1, .characterId = 1});
    w.showFrame();
    return w.finish(compression);
}

// object.member = value, in a script.
void setMember(ActionWriter& code, const std::string& object, const std::string& member, const avm1::Value& value)
{
    code.push(object).op(avm1::op::GetVariable).push({member, value}).op(avm1::op::SetMember);
}

// this.createTextField(name, depth, x, 0, width, height), in a script.
void createTextField(ActionWriter& code, const char* name, double depth, double x, double width, double height)
{
    using avm1::Value;
    code.push({Value(height), Value(width), Value(0.0), Value(x), Value(depth), Value(name), Value(6.0)});
    code.push("this").op(avm1::op::GetVariable).push("createTextField").op(avm1::op::CallMethod).op(avm1::op::Pop);
}

// Sprite 2: a red square of `side` twips (shape 1) at its depth 1.
void defineSquareSprite(Writer& w, std::int32_t side)
{
    w.defineRectangle(1, {0, side, 0, side}, solid(kRed));
    w.beginSprite(2);
    w.place({.depth = 1, .characterId = 1});
    w.showFrame();
    w.endSprite();
}

Matrix moved(double x, double y)
{
    Matrix m;
    m.tx = x;
    m.ty = y;
    return m;
}

} // namespace

class SwfRenderTest : public QObject {
    Q_OBJECT

private slots:
    void init() { failOnUnexpectedWarnings(); }

    void features_data()
    {
        QTest::addColumn<std::string>("movie");
        QTest::addColumn<int>("frames");
        QTest::addColumn<QList<Probe>>("probes");
        QTest::addColumn<int>("tolerance");
        const QList<Probe> redSquare{{{50, 50}, Qt::red}, {{10, 10}, Qt::white}, {{90, 90}, Qt::white}};
        for (const auto& [name, compression] : {std::pair{"solid, plain", Writer::Compression::None},
                                                {"solid, zlib", Writer::Compression::Zlib},
                                                {"solid, LZMA", Writer::Compression::Lzma}})
            QTest::newRow(name) << still([](Writer& w) { w.defineRectangle(1, kMiddle, solid(kRed)); }, compression)
                                << 1 << redSquare << 0;
        {
            Writer w(kSize, kSize);
            w.defineRectangle(1, kMiddle, solid(kRed));
            w.place({.depth = 1, .characterId = 1, .visible = false});
            w.showFrame();
            QTest::newRow("placed hidden") << w.finish() << 1 << QList<Probe>{{{50, 50}, Qt::white}} << 0;
        }

        // Blue over red in each mode: the overlap at (50, 50), red alone at (30, 30), blue
        // alone at (70, 70), over white.
        const auto blended = [](BlendMode mode) {
            Writer w(kSize, kSize);
            w.defineRectangle(1, {0, 1200, 0, 1200}, solid(kRed));
            w.defineRectangle(2, {800, 2000, 800, 2000}, solid(kBlue));
            w.place({.depth = 1, .characterId = 1});
            w.place({.depth = 2, .characterId = 2, .blendMode = mode});
            w.showFrame();
            return w.finish();
        };
        const QColor magenta(255, 0, 255), white(Qt::white);
        for (const auto& [mode, name, overlap, blueAlone] :
             {std::tuple{BlendMode::Layer, "layer", QColor(Qt::blue), QColor(Qt::blue)},
              {BlendMode::Multiply, "multiply", QColor(Qt::black), QColor(Qt::blue)},
              {BlendMode::Screen, "screen", magenta, white},
              {BlendMode::Lighten, "lighten", magenta, white},
              {BlendMode::Darken, "darken", QColor(Qt::black), QColor(Qt::blue)},
              {BlendMode::Difference, "difference", magenta, QColor(Qt::yellow)},
              {BlendMode::Add, "add", magenta, white},
              {BlendMode::Subtract, "subtract", QColor(Qt::red), QColor(Qt::yellow)},
              {BlendMode::Invert, "invert", QColor(Qt::cyan), QColor(Qt::black)},
              {BlendMode::Overlay, "overlay", QColor(Qt::red), white},
              {BlendMode::Hardlight, "hardlight", QColor(Qt::blue), QColor(Qt::blue)},
              {BlendMode::Erase, "erase, with no layer to erase", QColor(Qt::red), white}})
            QTest::newRow(qPrintable(QStringLiteral("blend mode: ") + name))
                << blended(mode) << 1 << QList<Probe>{{{50, 50}, overlap}, {{30, 30}, Qt::red}, {{70, 70}, blueAlone}}
                << 1;
        // Filters on a red square over white, from 25 to 75: a blur softens its edge both ways;
        // a shadow 10 pixels to the right, unblurred, shows beside it, and alone when knocked
        // out; a colour matrix swaps red for blue.
        const auto filtered = [](const Filter& filter) {
            Writer w(kSize, kSize);
            w.defineRectangle(1, kMiddle, solid(kRed));
            w.place({.depth = 1, .characterId = 1, .filters = {{filter}}});
            w.showFrame();
            return w.finish();
        };
        Filter blur;
        blur.blurX = blur.blurY = 8; // a box of 2 x 4 + 1 pixels
        QTest::newRow("filter: blur") << filtered(blur) << 1
                                      << QList<Probe>{{{50, 50}, Qt::red},
                                                      {{25, 50}, QColor(255, 113, 113)}, // 5 of 9 red
                                                      {{22, 50}, QColor(255, 198, 198)}, // 2 of 9
                                                      {{19, 50}, Qt::white}}
                                      << 2;
        Filter shadow;
        shadow.kind = Filter::Kind::DropShadow;
        shadow.colors = {{0, 0, 0, 255}};
        shadow.distance = 10;
        shadow.passes = 0;
        QTest::newRow("filter: drop shadow")
            << filtered(shadow) << 1
            << QList<Probe>{{{50, 50}, Qt::red}, {{80, 50}, Qt::black}, {{80, 20}, Qt::white}, {{30, 80}, Qt::white}}
            << 0;
        shadow.knockout = true;
        QTest::newRow("filter: drop shadow, knocked out")
            << filtered(shadow) << 1 << QList<Probe>{{{50, 50}, Qt::white}, {{80, 50}, Qt::black}} << 0;
        Filter glow;
        glow.kind = Filter::Kind::Glow;
        glow.colors = {kBlue};
        glow.blurX = glow.blurY = 8;
        QTest::newRow("filter: glow") << filtered(glow) << 1
                                      << QList<Probe>{{{50, 50}, Qt::red}, {{22, 50}, QColor(198, 198, 255)}} << 2;
        // A bevel lit from the top left: white inside the top left edge, black inside the
        // bottom right one; the gradient bevel's ramp runs from its highlight to its shadow.
        Filter bevel;
        bevel.kind = Filter::Kind::Bevel;
        bevel.colors = {{0, 0, 0, 255}, {255, 255, 255, 255}};
        bevel.blurX = bevel.blurY = 4;
        bevel.angle = 0.785398; // 45 degrees: a shadow down and to the right
        bevel.distance = 4;
        bevel.strength = 4;
        bevel.inner = true;
        const QList<Probe> bevelled{
            {{27, 27}, Qt::white}, {{72, 72}, Qt::black}, {{50, 50}, Qt::red}, {{20, 20}, Qt::white}};
        QTest::newRow("filter: bevel") << filtered(bevel) << 1 << bevelled << 2;
        bevel.kind = Filter::Kind::GradientBevel;
        bevel.colors = {{255, 255, 255, 255}, {0, 0, 0, 0}, {0, 0, 0, 255}};
        bevel.ratios = {0, 128, 255};
        QTest::newRow("filter: gradient bevel") << filtered(bevel) << 1 << bevelled << 2;
        // A gradient glow takes its colour from its ramp by how strong it is: 8 of 17 pixels
        // of the box solid just outside the edge, 2 of 17 six pixels further.
        Filter gradientGlow;
        gradientGlow.kind = Filter::Kind::GradientGlow;
        gradientGlow.colors = {{0, 255, 0, 255}, {0, 0, 255, 255}};
        gradientGlow.ratios = {0, 255};
        gradientGlow.blurX = gradientGlow.blurY = 16;
        gradientGlow.knockout = true;
        QTest::newRow("filter: gradient glow")
            << filtered(gradientGlow) << 1
            << QList<Probe>{{{50, 50}, Qt::white}, {{24, 50}, QColor(0, 135, 120)}, {{18, 50}, QColor(0, 225, 30)}}
            << 3;
        // A convolution of one weight, -1, plus 255: each colour turned to its opposite.
        Filter opposite;
        opposite.kind = Filter::Kind::Convolution;
        opposite.columns = opposite.rows = 1;
        opposite.matrix = {-1};
        opposite.bias = 255;
        QTest::newRow("filter: convolution")
            << filtered(opposite) << 1 << QList<Probe>{{{50, 50}, Qt::cyan}, {{10, 10}, Qt::white}} << 0;
        Filter swap;
        swap.kind = Filter::Kind::ColorMatrix;
        swap.matrix = {0, 0, 1, 0, 0, 0, 1, 0, 0, 0, 1, 0, 0, 0, 0, 0, 0, 0, 1, 0};
        QTest::newRow("filter: colour matrix")
            << filtered(swap) << 1 << QList<Probe>{{{50, 50}, Qt::blue}, {{10, 10}, Qt::white}} << 0;

        // Alpha and Erase in a layer: a quarter of the green square's alpha kept, or taken.
        for (const auto& [mode, name, seen] : {std::tuple{BlendMode::Alpha, "alpha", QColor(191, 255, 191)},
                                               {BlendMode::Erase, "erase", QColor(64, 255, 64)}}) {
            Writer w(kSize, kSize);
            w.defineRectangle(1, kMiddle, solid({0, 255, 0, 255}));
            w.defineRectangle(2, kStage, solid({0, 0, 0, 64}));
            w.beginSprite(3);
            w.place({.depth = 1, .characterId = 1});
            w.place({.depth = 2, .characterId = 2, .blendMode = mode});
            w.showFrame();
            w.endSprite();
            w.place({.depth = 1, .characterId = 3, .blendMode = BlendMode::Layer});
            w.showFrame();
            QTest::newRow(qPrintable(QStringLiteral("blend mode: ") + name + " in a layer"))
                << w.finish() << 1 << QList<Probe>{{{50, 50}, seen}, {{10, 10}, white}} << 2;
        }

        // A cached picture lies on whole pixels: a square from 10.25 pixels fills pixel 10
        // wholly. Its opaque background fills its bounds: two squares, green between them.
        {
            Writer w(kSize, kSize);
            w.defineRectangle(1, {0, 400, 0, 400}, solid(kRed));
            w.beginSprite(2);
            w.place({.depth = 1, .characterId = 1});
            w.place({.depth = 2, .characterId = 1, .matrix = Matrix{.tx = 1200, .ty = 1200}});
            w.showFrame();
            w.endSprite();
            w.place({.depth = 1,
                     .characterId = 2,
                     .matrix = Matrix{.tx = 205, .ty = 205},
                     .cacheAsBitmap = true,
                     .opaqueBackground = Rgba{0, 255, 0, 255}});
            w.showFrame();
            QTest::newRow("cached as a bitmap, on an opaque background")
                << w.finish() << 1
                << QList<Probe>{{{10, 15}, Qt::red}, {{9, 15}, Qt::white}, {{50, 50}, Qt::green}, {{75, 75}, Qt::red}}
                << 0;
        }

        QTest::newRow("linear gradient, padded") << still([](Writer& w) {
            w.defineRectangle(1, kStage, gradient(FillStyle::Kind::LinearGradient, {{0, kRed}, {255, kBlue}}));
        }) << 1
                                                 << QList<Probe>{{{1, 50}, QColor(254, 0, 1)},
                                                                 {{50, 50}, QColor(128, 0, 127)},
                                                                 {{98, 50}, QColor(1, 0, 254)}}
                                                 << 4;
        QTest::newRow("radial gradient") << still([](Writer& w) {
            w.defineRectangle(1, kStage, gradient(FillStyle::Kind::RadialGradient, {{0, kWhite}, {255, kBlue}}));
        }) << 1 << QList<Probe>{{{50, 50}, Qt::white}, {{75, 50}, QColor(128, 128, 255)}, {{2, 2}, Qt::blue}}
                                         << 6;
        QTest::newRow("focal gradient: brightest off centre") << still([](Writer& w) {
            w.defineRectangle(1, kStage, gradient(FillStyle::Kind::FocalGradient, {{0, kWhite}, {255, kBlue}}, 0.5));
        }) << 1 << QList<Probe>{{{75, 50}, Qt::white}, {{50, 50}, QColor(170, 170, 255)}}
                                                              << 8;

        // A gradient over the left half, beyond it padded, reflected or repeated; and one
        // blended in linear light, brighter half way than sRGB's 128.
        const auto halfWay = [](Gradient::Spread spread, Gradient::Interpolation interpolation, Rgba from, Rgba to) {
            FillStyle fill = gradient(FillStyle::Kind::LinearGradient, {{0, from}, {255, to}});
            fill.matrix.a = fill.matrix.d = 1000.0 / 32768;
            fill.matrix.tx = fill.matrix.ty = 500;
            fill.gradient.spread = spread;
            fill.gradient.interpolation = interpolation;
            return still([fill](Writer& w) { w.defineRectangle(1, kStage, fill); });
        };
        const Rgba kBlack{0, 0, 0, 255};
        QTest::newRow("gradient, padded beyond")
            << halfWay(Gradient::Spread::Pad, Gradient::Interpolation::Rgb, kRed, kBlue) << 1
            << QList<Probe>{{{25, 50}, QColor(128, 0, 127)}, {{75, 50}, Qt::blue}} << 6;
        QTest::newRow("gradient, reflected beyond")
            << halfWay(Gradient::Spread::Reflect, Gradient::Interpolation::Rgb, kRed, kBlue) << 1
            << QList<Probe>{{{75, 50}, QColor(128, 0, 127)}, {{99, 50}, QColor(250, 0, 5)}} << 6;
        QTest::newRow("gradient, repeated beyond")
            << halfWay(Gradient::Spread::Repeat, Gradient::Interpolation::Rgb, kRed, kBlue) << 1
            << QList<Probe>{{{51, 50}, QColor(250, 0, 5)}, {{75, 50}, QColor(128, 0, 127)}} << 6;
        QTest::newRow("gradient in linear light")
            << halfWay(Gradient::Spread::Pad, Gradient::Interpolation::LinearRgb, kBlack, kWhite) << 1
            << QList<Probe>{{{25, 50}, QColor(188, 188, 188)}} << 4;

        // Strokes: 10 pixels wide, red, around a white square; a hairline is a pixel, never
        // less, however far the shape is scaled down.
        LineStyle thick;
        thick.width = 200;
        thick.fill.color = kRed;
        LineStyle hairline;
        hairline.fill.color = kBlue;
        QTest::newRow("stroke") << still([&](Writer& w) { w.defineRectangle(1, kMiddle, solid(kWhite), thick); }) << 1
                                << QList<Probe>{{{25, 50}, Qt::red}, {{29, 50}, Qt::red}, {{31, 50}, Qt::white}} << 0;
        Writer scaledDown(kSize, kSize);
        scaledDown.defineRectangle(1, {0, 20000, 0, 20000}, solid(kWhite), hairline);
        Matrix tenth;
        tenth.a = tenth.d = 0.1;
        tenth.tx = tenth.ty = 10; // its edges through the middle of the first row and column
        scaledDown.place({.depth = 1, .characterId = 1, .matrix = tenth});
        scaledDown.showFrame();
        QTest::newRow("hairline, scaled down")
            << scaledDown.finish() << 1 << QList<Probe>{{{0, 50}, Qt::blue}, {{50, 0}, Qt::blue}} << 60;
        // Stretched twice as wide: the stroke is as wide both ways, the mean of the two scales
        // (15 pixels about the edges at 25), not 20 pixels one way and 10 the other.
        Writer stretched(kSize, kSize);
        stretched.defineRectangle(1, {0, 500, 0, 1000}, solid(kWhite), thick);
        Matrix wide;
        wide.a = 2;
        wide.tx = wide.ty = 500;
        stretched.place({.depth = 1, .characterId = 1, .matrix = wide});
        stretched.showFrame();
        QTest::newRow("stroke, stretched one way")
            << stretched.finish() << 1
            << QList<Probe>{{{16, 50}, Qt::white}, {{19, 50}, Qt::red}, {{50, 19}, Qt::red}, {{50, 31}, Qt::red}} << 0;

        // Colour transforms of bitmaps: one that changes colours, and one that only fades.
        std::vector<std::uint32_t> grey(16, 0xFF808080);
        const auto tinted = [&](ColorTransform cx) {
            Writer w(kSize, kSize);
            w.defineLosslessBitmap(2, 4, 4, grey);
            w.defineRectangle(1, kStage, bitmapFill(2, 100));
            w.place({.depth = 1, .characterId = 1, .colorTransform = cx});
            w.showFrame();
            return w.finish();
        };
        QTest::newRow("bitmap, colours transformed") << tinted(ColorTransform{{1, 0, 0, 1}, {0, 0, 100, 0}}) << 1
                                                     << QList<Probe>{{{50, 50}, QColor(128, 0, 100)}} << 1;
        QTest::newRow("bitmap, faded") << tinted(ColorTransform{{1, 1, 1, 0.5}, {0, 0, 0, 0}}) << 1
                                       << QList<Probe>{{{50, 50}, QColor(192, 192, 192)}} << 2;

        // A mask inside a sprite clips the sprite's own depths only.
        Writer nested(kSize, kSize);
        nested.defineRectangle(1, {0, 1000, 0, 2000}, solid(kWhite));
        nested.defineRectangle(2, kStage, solid(kRed));
        nested.beginSprite(3);
        nested.place({.depth = 1, .characterId = 1, .clipDepth = 2});
        nested.place({.depth = 2, .characterId = 2});
        nested.showFrame();
        nested.endSprite();
        nested.place({.depth = 1, .characterId = 3});
        nested.place({.depth = 2, .characterId = 2, .matrix = moved(0, 1500)});
        nested.showFrame();
        QTest::newRow("mask in a sprite")
            << nested.finish() << 1 << QList<Probe>{{{25, 25}, Qt::red}, {{75, 25}, Qt::white}, {{75, 90}, Qt::red}}
            << 0;

        // A sprite with a nine-slice grid, a red band either side of a blue middle (10, 20 and
        // 10 pixels): stretched to the stage's width, the bands keep their width; shrunk to a
        // quarter, below the bands' width, they shrink together and leave no middle.
        const auto sliced = [](double scale) {
            Writer w(kSize, kSize);
            w.defineRectangle(1, {0, 200, 0, 400}, solid(kRed));
            w.defineRectangle(2, {200, 600, 0, 400}, solid(kBlue));
            w.defineRectangle(3, {600, 800, 0, 400}, solid(kRed));
            w.beginSprite(4);
            for (std::uint16_t id = 1; id <= 3; ++id)
                w.place({.depth = id, .characterId = id});
            w.showFrame();
            w.endSprite();
            w.defineScalingGrid(4, {200, 600, 0, 400});
            w.place({.depth = 1, .characterId = 4, .matrix = Matrix{scale, 0, 0, 1, 0, 0}});
            w.showFrame();
            return w.finish();
        };
        QTest::newRow("nine-slice grid, stretched")
            << sliced(2.5) << 1
            << QList<Probe>{{{5, 10}, Qt::red}, {{15, 10}, Qt::blue}, {{85, 10}, Qt::blue}, {{95, 10}, Qt::red}} << 0;
        QTest::newRow("nine-slice grid, shrunk")
            << sliced(0.25) << 1 << QList<Probe>{{{4, 10}, Qt::red}, {{6, 10}, Qt::red}, {{12, 10}, Qt::white}} << 0;

        // A mask is not anti-aliased: a pixel is inside it when its centre is. The mask ends at
        // 50.75 pixels: pixel 50 shows all of what it reveals, pixel 51 none.
        Writer hard(kSize, kSize);
        hard.defineRectangle(1, {0, 1015, 0, 2000}, solid(kWhite));
        hard.defineRectangle(2, kStage, solid(kRed));
        hard.place({.depth = 1, .characterId = 1, .clipDepth = 2});
        hard.place({.depth = 2, .characterId = 2});
        hard.showFrame();
        QTest::newRow("a mask's edge is whole pixels")
            << hard.finish() << 1 << QList<Probe>{{{50, 50}, Qt::red}, {{51, 50}, Qt::white}} << 0;
        // A clip depth at the object's own depth clips nothing: the object is drawn as it is.
        Writer useless(kSize, kSize);
        useless.defineRectangle(1, kMiddle, solid(kRed));
        useless.place({.depth = 2, .characterId = 1, .clipDepth = 2});
        useless.showFrame();
        QTest::newRow("a mask that clips nothing is drawn") << useless.finish() << 1 << redSquare << 0;

        // 16 x 16 bitmaps, red on the left half, each of their pixels 25 twips: a tile every 20
        // pixels.
        QImage lossless(16, 16, QImage::Format_ARGB32_Premultiplied);
        lossless.fill(Qt::transparent);
        QPainter(&lossless).fillRect(0, 0, 8, 16, Qt::red);
        std::vector<std::uint32_t> argb;
        for (int y = 0; y < 16; ++y)
            for (int x = 0; x < 16; ++x)
                argb.push_back(lossless.pixel(x, y));
        const QList<Probe> tiles{{{2, 50}, Qt::red}, {{15, 50}, Qt::white}, {{22, 50}, Qt::red}, {{35, 50}, Qt::white}};
        QTest::newRow("lossless ARGB bitmap, repeated") << still([&](Writer& w) {
            w.defineLosslessBitmap(2, 16, 16, argb);
            w.defineRectangle(1, kStage, bitmapFill(2, 25));
        }) << 1 << tiles << 0;
        // Half-transparent red, premultiplied as the movie stores it, over a blue background.
        QTest::newRow("lossless bitmap, half transparent") << still([](Writer& w) {
            w.setBackground(kBlue);
            w.defineLosslessBitmap(2, 2, 2, std::vector<std::uint32_t>(4, 0x80800000));
            w.defineRectangle(1, kStage, bitmapFill(2, 1000));
        }) << 1 << QList<Probe>{{{50, 50}, QColor(128, 0, 127)}}
                                                           << 2;
        std::vector<std::uint8_t> indices;
        for (int y = 0; y < 16; ++y)
            for (int x = 0; x < 16; ++x)
                indices.push_back(x < 8 ? 0 : 1);
        // Clipped, in a shape twice its size: past its edge, its edge pixels are carried on.
        QTest::newRow("colour-mapped bitmap, clipped") << still([&](Writer& w) {
            w.defineColorMappedBitmap(2, 16, 16, {kRed, kBlue}, indices);
            w.defineRectangle(1, {0, 800, 0, 800}, bitmapFill(2, 25, false));
        }) << 1
                                                       << QList<Probe>{{{2, 10}, Qt::red},
                                                                       {{18, 10}, Qt::blue},
                                                                       {{2, 35}, Qt::red},
                                                                       {{35, 35}, Qt::blue},
                                                                       {{50, 50}, Qt::white}}
                                                       << 0;
        const std::string jpeg = encoded(halves(Qt::red, Qt::blue), "JPEG");
        const QList<Probe> halvesAt{{{2, 10}, Qt::red}, {{18, 10}, Qt::blue}};
        QTest::newRow("JPEG") << still([&](Writer& w) {
            w.defineJpeg(2, jpeg);
            w.defineRectangle(1, {0, 400, 0, 400}, bitmapFill(2, 25, false));
        }) << 1 << halvesAt << 40;
        QTest::newRow("JPEG with shared tables") << still([&](Writer& w) {
            w.defineJpegWithSharedTables(2, jpeg);
            w.defineRectangle(1, {0, 400, 0, 400}, bitmapFill(2, 25, false));
        }) << 1 << halvesAt << 40;
        QTest::newRow("JPEG with alpha") << still([&](Writer& w) {
            w.defineJpeg(2, jpeg, std::string(256, char(128)));
            w.defineRectangle(1, {0, 400, 0, 400}, bitmapFill(2, 25, false));
        }) << 1 << QList<Probe>{{{2, 10}, QColor(255, 127, 127)}}
                                         << 40;
        QTest::newRow("PNG") << still([&](Writer& w) {
            w.defineJpeg(2, encoded(halves(Qt::red, Qt::blue), "PNG"));
            w.defineRectangle(1, {0, 400, 0, 400}, bitmapFill(2, 25, false));
        }) << 1 << halvesAt << 0;

        // A font of one glyph, a square of 512 units, drawn 1000 twips high at (400, 1400):
        // 500 twips each side above the baseline.
        QTest::newRow("text in an embedded font")
            << still([](Writer& w) {
                   w.defineFont(2, {kSquareGlyph});
                   w.defineText(1, kStage, 2, 1000, kBlue, 400, 1400, {{0, 600}, {0, 600}});
               })
            << 1
            << QList<Probe>{{{32, 58}, Qt::blue}, {{62, 58}, Qt::blue}, {{47, 58}, Qt::white}, {{32, 40}, Qt::white}}
            << 0;

        Writer masked(kSize, kSize);
        masked.defineRectangle(1, {0, 1000, 0, 2000}, solid(kWhite));
        masked.defineRectangle(2, kStage, solid(kRed));
        masked.place({.depth = 1, .characterId = 1, .clipDepth = 2});
        masked.place({.depth = 2, .characterId = 2});
        masked.place({.depth = 3,
                      .characterId = 2,
                      .matrix = moved(1000, 0),
                      .colorTransform = ColorTransform{{0, 0, 0, 1}, {0, 0, 255, 0}}});
        masked.showFrame();
        QTest::newRow("mask, and a colour transform above it")
            << masked.finish() << 1 << QList<Probe>{{{25, 50}, Qt::red}, {{75, 50}, Qt::blue}} << 0;

        // The square moves right in frame 2, then the movie loops.
        Writer animation(kSize, kSize);
        animation.defineRectangle(1, {0, 1000, 0, 1000}, solid(kRed));
        animation.place({.depth = 1, .characterId = 1});
        animation.showFrame();
        animation.place({.depth = 1, .move = true, .matrix = moved(1000, 0)});
        animation.showFrame();
        const std::string twoFrames = animation.finish();
        const QList<Probe> left{{{25, 25}, Qt::red}, {{75, 25}, Qt::white}};
        const QList<Probe> right{{{25, 25}, Qt::white}, {{75, 25}, Qt::red}};
        QTest::newRow("animation, frame 1") << twoFrames << 1 << left << 0;
        QTest::newRow("animation, frame 2") << twoFrames << 2 << right << 0;
        QTest::newRow("animation, looped") << twoFrames << 3 << left << 0;

        // The same square moving in a sprite of its own, in a movie of one frame.
        Writer sprite(kSize, kSize);
        sprite.defineRectangle(1, {0, 1000, 0, 1000}, solid(kRed));
        sprite.beginSprite(2);
        sprite.place({.depth = 1, .characterId = 1});
        sprite.showFrame();
        sprite.place({.depth = 1, .move = true, .matrix = moved(1000, 0)});
        sprite.showFrame();
        sprite.endSprite();
        sprite.place({.depth = 1, .characterId = 2});
        sprite.showFrame();
        const std::string ownTimeline = sprite.finish();
        QTest::newRow("sprite timeline, frame 2") << ownTimeline << 2 << right << 0;
        QTest::newRow("sprite timeline, looped") << ownTimeline << 3 << left << 0;

        // An intro of three frames that stops on its last: frame 2 jumps to the label "end",
        // which stops; a frame that jumps to itself would cost a frame a tick.
        Writer intro(kSize, kSize);
        intro.defineRectangle(1, {0, 1000, 0, 1000}, solid(kRed));
        intro.place({.depth = 1, .characterId = 1});
        intro.showFrame();
        intro.doAction(Writer::Actions::gotoLabel("end") + Writer::Actions::play());
        intro.showFrame();
        intro.place({.depth = 1, .move = true, .matrix = moved(0, 1000)});
        intro.showFrame();
        intro.frameLabel("end");
        intro.place({.depth = 1, .move = true, .matrix = moved(1000, 0)});
        intro.doAction(Writer::Actions::stop());
        intro.showFrame();
        intro.doAction(Writer::Actions::gotoFrame(4));
        intro.showFrame();
        QTest::newRow("actions: goto a label, stop there") << intro.finish() << 50 << right << 0;

        // A square morphing into the whole stage, from red to blue, placed half way.
        Writer morph(kSize, kSize);
        morph.defineMorphShape(1, solid(kRed), solid(kBlue),
                               {Writer::Styles{0, 1, 0}, Writer::MoveTo{0, 0}, Writer::LineTo{1000, 0},
                                Writer::LineTo{1000, 1000}, Writer::LineTo{0, 1000}, Writer::LineTo{0, 0}},
                               {Writer::MoveTo{0, 0}, Writer::LineTo{2000, 0}, Writer::LineTo{2000, 2000},
                                Writer::LineTo{0, 2000}, Writer::LineTo{0, 0}});
        morph.place({.depth = 1, .characterId = 1, .ratio = 32768});
        morph.showFrame();
        QTest::newRow("morph shape half way")
            << morph.finish() << 1 << QList<Probe>{{{70, 70}, QColor(127, 0, 127)}, {{80, 80}, Qt::white}} << 1;

        // A gradient morphs its colours and its ratios: half way from red|blue to green|blue with
        // the blue moving from ratio 255 to 127, over a stage-wide square that stays.
        Writer gradients(kSize, kSize);
        const std::vector<Writer::Step> square{Writer::Styles{0, 1, 0}, Writer::MoveTo{0, 0},
                                               Writer::LineTo{2000, 0}, Writer::LineTo{2000, 2000},
                                               Writer::LineTo{0, 2000}, Writer::LineTo{0, 0}};
        gradients.defineMorphShape(1, gradient(FillStyle::Kind::LinearGradient, {{0, kRed}, {255, kBlue}}),
                                   gradient(FillStyle::Kind::LinearGradient, {{0, Rgba{0, 255, 0, 255}}, {127, kBlue}}),
                                   square, {square.begin() + 1, square.end()});
        gradients.place({.depth = 1, .characterId = 1, .ratio = 32768});
        gradients.showFrame();
        // Half way: red|green -> (127, 127, 0) at ratio 0, blue at ratio 191, which lies three
        // quarters of the way across.
        QTest::newRow("gradient morph half way")
            << gradients.finish() << 1
            << QList<Probe>{{{0, 50}, QColor(127, 127, 0)}, {{37, 50}, QColor(64, 64, 127)}, {{80, 50}, Qt::blue}} << 6;

        // A button shows its up state; its hit area alone is invisible.
        Writer button(kSize, kSize);
        button.defineRectangle(1, {0, 1000, 0, 1000}, solid(kRed));
        button.defineRectangle(2, kStage, solid(kBlue));
        button.defineButton(3, {{1 << Button::Up, 1, 1}, {1 << Button::HitTest, 2, 2}}, Writer::Actions::stop());
        button.place({.depth = 1, .characterId = 3});
        button.showFrame();
        QTest::newRow("button, up state")
            << button.finish() << 1 << QList<Probe>{{{25, 25}, Qt::red}, {{75, 75}, Qt::white}} << 0;
        // A sprite in a button's state, its square black made blue by the add terms it is placed with.
        Writer inButton(kSize, kSize);
        inButton.defineRectangle(1, {0, 1000, 0, 1000}, solid({0, 0, 0, 255}));
        inButton.beginSprite(2);
        inButton.place({.depth = 1, .characterId = 1, .colorTransform = ColorTransform{{1, 1, 1, 1}, {0, 0, 255, 0}}});
        inButton.showFrame();
        inButton.endSprite();
        inButton.defineButton(3, {{1 << Button::Up | 1 << Button::HitTest, 2, 1}}, Writer::Actions::stop());
        inButton.place({.depth = 1, .characterId = 3});
        inButton.showFrame();
        QTest::newRow("button, a sprite tinted in its state")
            << inButton.finish() << 1 << QList<Probe>{{{25, 25}, Qt::blue}, {{75, 75}, Qt::white}} << 0;

        // A text field, centred, in an embedded font: one glyph, a square, for "x"; and one whose
        // words wrap: five squares fit a line.
        Writer fields(kSize, kSize);
        fields.defineFont(1, {kSquareGlyph}, u"x");
        fields.defineEditText(2, {.bounds = {0, 2000, 0, 1000},
                                  .height = 1000,
                                  .color = kBlue,
                                  .align = EditText::Align::Center,
                                  .text = "x"});
        fields.place({.depth = 1, .characterId = 2});
        fields.showFrame();
        QTest::newRow("text field") << fields.finish() << 1 << QList<Probe>{{{50, 35}, Qt::blue}, {{30, 35}, Qt::white}}
                                    << 0;
        // A field with a border: white inside a black frame a pixel wide, over a red stage.
        Writer bordered(kSize, kSize);
        bordered.defineRectangle(1, kStage, solid(kRed));
        bordered.defineEditText(2, {.bounds = {400, 1600, 400, 1600}, .text = "", .border = true});
        bordered.place({.depth = 1, .characterId = 1});
        bordered.place({.depth = 2, .characterId = 2});
        bordered.showFrame();
        QTest::newRow("text field with a border")
            << bordered.finish() << 1
            << QList<Probe>{{{50, 50}, Qt::white}, {{20, 50}, Qt::black}, {{79, 50}, Qt::black}, {{19, 50}, Qt::red}}
            << 0;
        // Fitted to its "x": the frame closes round it, not at the stage's edges.
        Writer fitted(kSize, kSize);
        fitted.defineRectangle(1, kStage, solid(kRed));
        fitted.defineFont(2, {kSquareGlyph}, u"x");
        fitted.defineEditText(3, {.bounds = kStage,
                                  .fontId = 2,
                                  .height = 600,
                                  .color = kBlue,
                                  .text = "x",
                                  .border = true,
                                  .autoSize = true});
        fitted.place({.depth = 1, .characterId = 1});
        fitted.place({.depth = 2, .characterId = 3});
        fitted.showFrame();
        QTest::newRow("text field fitted to its text")
            << fitted.finish() << 1
            << QList<Probe>{{{0, 20}, Qt::black}, {{99, 20}, Qt::red}, {{20, 99}, Qt::red}, {{60, 60}, Qt::red}} << 0;
        // title.autoSize = "center"; title.text = "xx"; title._x = 100 - title._width: the field
        // the movie placed measures as drawn, and grows round its centre with its left edge at its
        // origin, so it moves to the right edge whole.
        ActionWriter toTheRight;
        toTheRight.push("title").op(avm1::op::GetVariable).push("autoSize").push("center").op(avm1::op::SetMember);
        toTheRight.push("title").op(avm1::op::GetVariable).push("text").push("xx").op(avm1::op::SetMember);
        toTheRight.push("title").op(avm1::op::GetVariable).push("_x").push(100.0);
        toTheRight.push("title").op(avm1::op::GetVariable).push("_width").op(avm1::op::GetMember);
        toTheRight.op(avm1::op::Subtract).op(avm1::op::SetMember);
        Writer moved(kSize, kSize);
        moved.defineRectangle(1, kStage, solid(kRed));
        moved.defineFont(2, {kSquareGlyph}, u"x");
        moved.defineEditText(
            3, {.bounds = kStage, .fontId = 2, .height = 600, .color = kBlue, .text = "x", .autoSize = true});
        moved.place({.depth = 1, .characterId = 1});
        moved.place({.depth = 2, .characterId = 3, .name = "title"});
        moved.doAction(toTheRight.actions());
        moved.showFrame();
        QTest::newRow("fitted text field moved by its width")
            << moved.finish() << 1 << QList<Probe>{{{20, 20}, Qt::red}, {{70, 20}, Qt::blue}, {{92, 20}, Qt::blue}}
            << 0;
        Writer wrapped(kSize, kSize);
        wrapped.defineFont(1, {kSquareGlyph}, u"x");
        wrapped.defineEditText(
            2, {.bounds = kStage, .height = 600, .color = kBlue, .text = "x x x x x x x x", .wordWrap = true});
        wrapped.place({.depth = 1, .characterId = 2});
        wrapped.showFrame();
        QTest::newRow("text field, words wrapped")
            << wrapped.finish() << 1
            << QList<Probe>{{{80, 18}, Qt::blue}, {{96, 18}, Qt::white}, {{45, 48}, Qt::blue}, {{62, 48}, Qt::white}}
            << 0;
    }

    void features()
    {
        QFETCH(std::string, movie);
        QFETCH(int, frames);
        QFETCH(QList<Probe>, probes);
        QFETCH(int, tolerance);
        const QImage picture = render(movie, frames);
        QCOMPARE(picture.size(), QSize(kSize, kSize));
        for (const Probe& probe : probes) {
            const QColor actual = picture.pixelColor(probe.at);
            QVERIFY2(near(actual, probe.expected, tolerance),
                     qPrintable(QStringLiteral("at (%1, %2): %3, expected %4")
                                    .arg(probe.at.x())
                                    .arg(probe.at.y())
                                    .arg(actual.name(QColor::HexArgb), probe.expected.name(QColor::HexArgb))));
        }
    }

    // swf_render's contract: the Nth frame at the stage's size, or one line and a failure.
    void theRenderToolSavesTheFrameOrSaysWhyNot()
    {
        QTemporaryDir dir;
        const auto write = [&](const char* name, const std::string& bytes) {
            QFile file(dir.filePath(name));
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(bytes.data(), qint64(bytes.size()));
        };
        Writer animation(40, 30);
        animation.defineRectangle(1, {0, 400, 0, 600}, solid(kRed));
        animation.place({.depth = 1, .characterId = 1});
        animation.showFrame();
        animation.place({.depth = 1, .move = true, .matrix = moved(400, 0)});
        animation.showFrame();
        write("good.swf", animation.finish(Writer::Compression::Zlib));
        write("broken.swf", "CWS\x08 not a movie");
        QProcess tool;
        tool.start(QStringLiteral(SWF_RENDER),
                   {dir.filePath("good.swf"), dir.filePath("out.png"), "--frames", "1", "--quality", "fuzzy"});
        QVERIFY(tool.waitForFinished());
        QCOMPARE(tool.exitCode(), 2);
        tool.start(QStringLiteral(SWF_RENDER),
                   {dir.filePath("good.swf"), dir.filePath("out.png"), "--quality", "low", "--frames", "2"});
        QVERIFY(tool.waitForFinished());
        QCOMPARE(tool.exitCode(), 0);
        const QImage saved(dir.filePath("out.png"));
        QCOMPARE(saved.size(), QSize(40, 30));
        QCOMPARE(saved.pixelColor(30, 15), QColor(Qt::red));
        tool.start(QStringLiteral(SWF_RENDER), {dir.filePath("broken.swf"), dir.filePath("none.png")});
        QVERIFY(tool.waitForFinished());
        QVERIFY(tool.exitCode() != 0);
        QCOMPARE(tool.readAllStandardError().count('\n'), 1);
        QVERIFY(!QFile::exists(dir.filePath("none.png")));

        Writer empty(0, 0);
        empty.showFrame();
        write("empty.swf", empty.finish());
        tool.start(QStringLiteral(SWF_RENDER), {dir.filePath("empty.swf"), dir.filePath("none.png")});
        QVERIFY(tool.waitForFinished());
        QVERIFY(tool.exitCode() != 0);
        QVERIFY(tool.readAllStandardError().endsWith("the stage is empty, nothing to draw\n"));
    }

    // A field in a device font: its text, markup dropped, in its colour and inside its bounds.
    void aDeviceFontFieldShowsItsText()
    {
        Writer w(kSize, kSize);
        w.defineFont(1, {});
        w.defineEditText(2, {.bounds = {0, 2000, 0, 1000},
                             .height = 600,
                             .color = kRed,
                             .text = "<p>W<b>W</b></p>",
                             .outlines = false,
                             .html = true});
        w.place({.depth = 1, .characterId = 2});
        w.showFrame();
        const QImage picture = render(w.finish());
        int red = 0, elsewhere = 0;
        for (int y = 0; y < kSize; ++y)
            for (int x = 0; x < kSize; ++x) {
                const QColor pixel = picture.pixelColor(x, y);
                if (y >= 50) // below the field
                    elsewhere += pixel != QColor(Qt::white);
                else
                    red += pixel.red() > 200 && pixel.green() < 80;
            }
        QVERIFY2(red > 40, qPrintable(QString::number(red)));
        QCOMPARE(elsewhere, 0);
    }

    // Two fields a script makes with embedFonts: one asks for the face the movie exports as "Dot",
    // a square for ".", and shows the square where a desktop face would draw a dot at the foot;
    // the other asks for a face the movie lacks, and shows nothing.
    void aScriptsFieldOfEmbeddedFontsDrawsOnlyTheMoviesGlyphs()
    {
        using namespace avm1;
        ActionWriter code;
        const auto set = [&code](const std::string& object, const std::string& member, const Value& value) {
            setMember(code, object, member, value);
        };
        code.push("f").push({Value(0.0), Value("TextFormat")}).op(op::NewObject).op(op::SetVariable);
        set("f", "size", 30.0);
        set("f", "color", double(0x0000FF));
        for (const auto& [field, x, face, text] : {std::tuple{"t", 0.0, "Dot", "."}, {"u", 50.0, "Nowhere", "WW"}}) {
            createTextField(code, field, x + 1, x, 50, 50);
            set("f", "font", std::string(face));
            code.push("f").op(op::GetVariable).push({Value(1.0), Value(field)}).op(op::GetVariable);
            code.push("setNewTextFormat").op(op::CallMethod).op(op::Pop);
            set(field, "embedFonts", true);
            set(field, "text", std::string(text));
        }
        Writer w(kSize, kSize);
        w.defineFont(1, {kSquareGlyph}, u".");
        w.exportAssets(1, "Dot");
        w.doAction(code.actions());
        w.showFrame();
        const QImage picture = render(w.finish());
        QCOMPARE(picture.pixelColor(9, 18), QColor(Qt::blue)); // the square: 15 pixels up from 26
        for (int y = 0; y < 50; ++y)
            for (int x = 50; x < kSize; ++x)
                QCOMPARE(picture.pixelColor(x, y), QColor(Qt::white));
    }

    // Fields of six lines, "1" to "6", two of them shown: t scrolled to its third line shows what
    // u, which starts at "3", shows; v, scrolled past its end, stops at its last full view.
    void aScrolledFieldShowsItsLinesFromTheOneAtTheTop()
    {
        using namespace avm1;
        ActionWriter code;
        for (const auto& [name, x, text] :
             {std::tuple{"t", 0.0, "1\r2\r3\r4\r5\r6"}, {"u", 30.0, "3\r4\r5\r6"}, {"v", 60.0, "1\r2\r3\r4\r5\r6"}}) {
            createTextField(code, name, x + 1, x, 30, 40);
            setMember(code, name, "text", std::string(text));
        }
        setMember(code, "t", "scroll", 3.0);
        setMember(code, "v", "scroll", 99.0);
        Writer w(kSize, kSize);
        w.doAction(code.actions());
        w.showFrame();
        auto movie = std::make_shared<const Movie>(readMovie(w.finish()));
        Player player(movie, scriptPainter(movie));
        const QImage picture = Renderer(movie).renderStage(player);
        QCOMPARE(picture.copy(0, 0, 30, 40), picture.copy(30, 0, 30, 40));
        QVERIFY(picture.copy(0, 0, 30, 40) != picture.copy(60, 0, 30, 40));
        const auto number = [&](const char* name) { return std::get<double>(player.variable(name)); };
        QCOMPARE(number("t.scroll"), 3.0);
        QCOMPARE(number("t.bottomScroll"), 4.0);
        QCOMPARE(number("t.maxscroll"), 5.0);
        QCOMPARE(number("v.scroll"), 5.0);
    }

    // p.password = true; p.text = "ab" shows what q.text = "**" does.
    void aPasswordFieldShowsAsterisks()
    {
        using namespace avm1;
        ActionWriter code;
        for (const auto& [name, x, text] : {std::tuple{"p", 0.0, "ab"}, {"q", 50.0, "**"}}) {
            createTextField(code, name, x + 1, x, 50, 20);
            setMember(code, name, "text", std::string(text));
        }
        setMember(code, "p", "password", true);
        Writer w(kSize, kSize);
        w.doAction(code.actions());
        w.showFrame();
        const QImage picture = render(w.finish());
        QCOMPARE(picture.copy(0, 0, 50, 20), picture.copy(50, 0, 50, 20));
        QVERIFY(picture.copy(0, 0, 50, 20) != picture.copy(0, 50, 50, 20)); // not blank
    }

    // _quality = "low"; q = _quality; h = _highquality, then toggleHighQuality() or not, over a
    // red square from 10.5 to 50.5 pixels: at low quality each pixel is all red or all white;
    // toggled back to high, the square's edge is smoothed again.
    void aMovieAtLowQualityIsDrawnWithoutSmoothing()
    {
        using namespace avm1;
        for (const bool toggled : {false, true}) {
            ActionWriter code;
            code.push({Value("_quality"), Value("low")}).op(op::SetVariable);
            code.push({Value("q"), Value("_quality")}).op(op::GetVariable).op(op::SetVariable);
            code.push({Value("h"), Value("_highquality")}).op(op::GetVariable).op(op::SetVariable);
            if (toggled)
                code.op(op::ToggleQuality);
            Writer w(kSize, kSize);
            w.defineRectangle(1, {210, 1010, 210, 1010}, solid(kRed));
            w.doAction(code.actions());
            w.place({.depth = 1, .characterId = 1});
            w.showFrame();
            auto movie = std::make_shared<const Movie>(readMovie(w.finish()));
            Player player(movie, scriptPainter(movie));
            QCOMPARE(player.variable("q"), Value("LOW"));
            QCOMPARE(player.variable("h"), Value(0.0));
            const QImage picture = Renderer(movie).renderStage(player).convertToFormat(QImage::Format_ARGB32);
            const QColor edge = picture.pixelColor(10, 30);
            QCOMPARE(edge == Qt::red || edge == Qt::white, !toggled);
        }
    }

    // Three clips each draw a line across at y = 20, 50 and 80 with lineStyle(width, 0, 100,
    // hinting); the hinted ones are moved down a fraction of a pixel. A one-pixel line without
    // hinting lies half in each of two rows; hinted, it fills one row, and a two-pixel one two.
    void pixelHintedLinesCoverWholePixels()
    {
        using namespace avm1;
        ActionWriter code;
        for (const auto& [name, depth, y, width, hinted] : {std::tuple{"plain", 1.0, 20.0, 1.0, false},
                                                            {"thin", 2.0, 50.0, 1.0, true},
                                                            {"wide", 3.0, 80.0, 2.0, true}}) {
            code.push({Value(depth), Value(name), Value(2.0)}).push("this").op(op::GetVariable);
            code.push("createEmptyMovieClip").op(op::CallMethod).op(op::Pop);
            code.push({Value(hinted), Value(100.0), Value(0.0), Value(width), Value(4.0)});
            code.push(name).op(op::GetVariable).push("lineStyle").op(op::CallMethod).op(op::Pop);
            for (const char* method : {"moveTo", "lineTo"}) {
                code.push({Value(y), Value(method[0] == 'm' ? 10.0 : 90.0), Value(2.0)});
                code.push(name).op(op::GetVariable).push(method).op(op::CallMethod).op(op::Pop);
            }
            if (hinted)
                setMember(code, name, "_y", 0.3);
        }
        Writer w(kSize, kSize);
        w.doAction(code.actions());
        w.showFrame();
        const QImage picture = render(w.finish());
        const auto gray = [&picture](int y) { return qGray(picture.pixel(50, y)); };
        QVERIFY(std::abs(gray(19) - 128) < 8 && std::abs(gray(20) - 128) < 8);
        QCOMPARE(gray(49), 255);
        QCOMPARE(gray(50), 0);
        QCOMPARE(gray(51), 255);
        QCOMPARE(gray(78), 255);
        QCOMPARE(gray(79), 0);
        QCOMPARE(gray(80), 0);
        QCOMPARE(gray(81), 255);
    }

    // createEmptyMovieClip("box", 0).startDrag(true) over a placed square, "target": dragged
    // over the square, the box would drop on "/target"; off it, on nothing.
    void aDraggedClipDropsOnTheClipUnderThePointer()
    {
        using namespace avm1;
        ActionWriter code;
        code.push({Value(0.0), Value("box"), Value(2.0)}).push("this").op(op::GetVariable);
        code.push("createEmptyMovieClip").op(op::CallMethod).op(op::Pop);
        code.push({Value(true), Value(1.0), Value("box")}).op(op::GetVariable);
        code.push("startDrag").op(op::CallMethod).op(op::Pop);
        Writer w(kSize, kSize);
        defineSquareSprite(w, 400);
        w.place({.depth = 1, .characterId = 2, .matrix = moved(500, 500), .name = "target"});
        w.doAction(code.actions());
        w.showFrame();
        auto movie = std::make_shared<const Movie>(readMovie(w.finish()));
        Player player(movie, scriptPainter(movie));
        const auto dropTarget = [&](std::int32_t x, std::int32_t y) {
            player.pointerAt({x * 20, y * 20});
            player.pointerMoved();
            return std::get<std::string>(player.variable("box._droptarget"));
        };
        QCOMPARE(dropTarget(30, 30), "/target");
        QCOMPARE(dropTarget(80, 80), "");
    }

    // btn.onRelease = function () {}; btn.hitArea = area; area._visible = false: the pointer
    // takes btn over the hidden area's square, and no longer over btn's own.
    void aClipsHitAreaTakesThePointerForIt()
    {
        using namespace avm1;
        ActionWriter code;
        code.push("btn").op(op::GetVariable).push("onRelease").function("", {}, ActionWriter()).op(op::SetMember);
        code.push("btn").op(op::GetVariable).push({Value("hitArea"), Value("area")}).op(op::GetVariable);
        code.op(op::SetMember);
        setMember(code, "area", "_visible", false);
        Writer w(kSize, kSize);
        defineSquareSprite(w, 200);
        w.place({.depth = 1, .characterId = 2, .name = "btn"});
        w.place({.depth = 2, .characterId = 2, .matrix = moved(1200, 1200), .name = "area"});
        w.doAction(code.actions());
        w.showFrame();
        auto movie = std::make_shared<const Movie>(readMovie(w.finish()));
        Player player(movie, scriptPainter(movie));
        Renderer renderer(movie);
        QCOMPARE(renderer.buttonAt(player, QSizeF(kSize, kSize), {65, 65}), player.root().displayList().at(1).instance);
        QCOMPARE(renderer.buttonAt(player, QSizeF(kSize, kSize), {5, 5}), 0u);
    }

    // while (true) { t.text = long; n = t.maxscroll; }: each new text is laid out to be measured,
    // which counts against what a frame may paint, and the frame's scripts stop; measuring the
    // same text again costs nothing.
    void measuringLongTextOverAndOverStops()
    {
        using namespace avm1;
        std::string text;
        while (text.size() < 16384)
            text += "word ";
        ActionWriter code;
        createTextField(code, "t", 1, 0, 30, 40);
        code.push({Value("measured"), Value(0.0)}).op(op::SetVariable);
        setMember(code.label("again"), "t", "text", text);
        for (int i = 0; i < 100; ++i)
            code.push({Value("n"), Value("t")})
                .op(op::GetVariable)
                .push("maxscroll")
                .op(op::GetMember)
                .op(op::SetVariable);
        code.push({Value("measured"), Value("measured")}).op(op::GetVariable).op(op::Increment).op(op::SetVariable);
        code.jump("again");
        Writer w(kSize, kSize);
        w.doAction(code.actions());
        w.showFrame();
        auto movie = std::make_shared<const Movie>(readMovie(w.finish()));
        Player player(movie, scriptPainter(movie));
        QVERIFY(player.scriptStopped());
        QCOMPARE(player.variable("measured"), avm1::Value(3.0)); // 16,400 characters are 4.2 M pixels
    }

    // A banner redrawn only where it changed shows, frame after frame, what a whole redraw does.
    // Each row moves one thing, so that what another changes cannot cover for it; strokes,
    // glyphs and text fields reach past the bounds their movie gives them.
    void redrawingWhatChangedDrawsTheWholeFrame_data()
    {
        QTest::addColumn<std::string>("movie");
        const auto sliding = [](const std::function<void(Writer&)>& define) {
            Writer w(120, 40);
            define(w);
            for (int frame = 0; frame < 6; ++frame) {
                w.place({.depth = 1,
                         .characterId = frame == 0 ? std::optional<std::uint16_t>(1) : std::nullopt,
                         .move = frame > 0,
                         .matrix = moved(100 + frame * 250, 100)});
                w.showFrame();
            }
            return w.finish();
        };
        LineStyle thick;
        thick.width = 160;
        thick.fill.color = kBlue;
        QTest::newRow("stroke") << sliding([&](Writer& w) {
            w.defineRectangle(1, {0, 200, 0, 200}, solid(kWhite), thick);
        });
        QTest::newRow("glyphs") << sliding([&](Writer& w) {
            w.defineFont(2, {kSquareGlyph});
            w.defineText(1, {0, 100, 0, 100}, 2, 400, kBlue, 0, 300, {{0, 300}, {0, 300}});
        });
        QTest::newRow("text field") << sliding([&](Writer& w) {
            w.defineFont(2, {kSquareGlyph}, u"x");
            w.defineEditText(1, {.bounds = {0, 600, 0, 300}, .fontId = 2, .height = 300, .color = kRed, .text = "x"});
        });
        {
            // Two fills of one shape with the same edges, the second see-through over the first.
            Writer w(120, 40);
            Writer::Drawing twice{{solid(kRed), solid({0, 0, 255, 128})}, {}, {}};
            for (const std::uint32_t fill : {1u, 2u})
                for (const Writer::Step& step : std::vector<Writer::Step>{
                         Writer::Styles{0, fill, 0}, Writer::MoveTo{50, 50}, Writer::LineTo{590, 50},
                         Writer::LineTo{590, 590}, Writer::LineTo{50, 590}, Writer::LineTo{50, 50}})
                    twice.steps.push_back(step);
            w.defineShape(1, 3, {0, 600, 0, 600}, twice);
            w.place({.depth = 1, .characterId = 1});
            for (int frame = 0; frame < 3; ++frame)
                w.showFrame();
            QTest::newRow("two fills alike, standing still") << w.finish();
        }
        {
            // A glow reaches past the square: what it leaves behind is redrawn too.
            Writer w(120, 40);
            w.defineRectangle(1, {0, 200, 0, 200}, solid(kRed));
            Filter glow;
            glow.kind = Filter::Kind::Glow;
            glow.colors = {kBlue};
            glow.blurX = glow.blurY = 12;
            glow.passes = 2;
            glow.strength = 2;
            for (int frame = 0; frame < 6; ++frame) {
                w.place({.depth = 1,
                         .characterId = frame == 0 ? std::optional<std::uint16_t>(1) : std::nullopt,
                         .move = frame > 0,
                         .matrix = moved(100 + frame * 250, 100),
                         .filters = frame == 0 ? std::optional(std::vector{glow}) : std::nullopt});
                w.showFrame();
            }
            QTest::newRow("a glowing square that moves") << w.finish();

            // Its layer kept while it stands still, drawn anew when the square inside it turns
            // blue, where it stays.
            Writer inside(120, 40);
            inside.defineRectangle(1, {0, 200, 0, 200}, solid(kRed));
            inside.beginSprite(2);
            for (int frame = 0; frame < 4; ++frame) {
                inside.place(
                    {.depth = 1,
                     .characterId = 1,
                     .move = frame > 0,
                     .colorTransform = frame < 2 ? ColorTransform{} : ColorTransform{{0, 0, 0, 1}, {0, 0, 255, 0}}});
                inside.showFrame();
            }
            inside.endSprite();
            inside.place({.depth = 1, .characterId = 2, .matrix = moved(400, 100), .filters = std::vector{glow}});
            inside.showFrame();
            QTest::newRow("a glowing sprite whose square changes colour") << inside.finish();
        }
        Writer w(120, 40);
        w.defineRectangle(1, {0, 300, 0, 300}, solid(kRed));
        w.defineMorphShape(
            2, solid(kBlue), solid(kRed),
            {Writer::Styles{0, 1, 0}, Writer::MoveTo{0, 0}, Writer::LineTo{200, 0}, Writer::LineTo{200, 200},
             Writer::LineTo{0, 0}},
            {Writer::MoveTo{0, 0}, Writer::CurveTo{400, 0, 400, 400}, Writer::LineTo{0, 400}, Writer::LineTo{0, 0}});
        w.beginSprite(3);
        for (int frame = 0; frame < 3; ++frame) {
            w.place({.depth = 1, .characterId = 1, .move = frame > 0, .matrix = moved(frame * 200, 0)});
            w.showFrame();
        }
        w.endSprite();
        w.place({.depth = 1, .characterId = 3, .matrix = moved(1600, 200)});
        w.place({.depth = 2, .characterId = 2, .ratio = 0});
        w.place({.depth = 3, .characterId = 1, .matrix = moved(100, 400)});
        w.showFrame();
        for (int frame = 1; frame < 6; ++frame) {
            w.place({.depth = 2, .move = true, .ratio = std::uint16_t(frame * 13000)});
            w.place({.depth = 3, .move = true, .matrix = moved(100 + frame * 300, 400)});
            if (frame == 4)
                w.remove(3);
            w.showFrame();
        }
        QTest::newRow("sprite, morph, a shape that moves and goes") << w.finish();
    }

    void redrawingWhatChangedDrawsTheWholeFrame()
    {
        QFETCH(std::string, movie);
        const auto read = std::make_shared<const Movie>(readMovie(movie));
        Player player(read);
        Renderer incremental(read);
        const QSize size(180, 60); // not the stage's: scaled, with a border
        incremental.changedArea(player, size);
        QImage frame = incremental.renderShowAll(player, size);
        QImage whole = frame; // redrawn whole by the same renderer, with what it keeps between drawings
        for (int tick = 0; tick < 14; ++tick) {
            player.tick();
            const QImage fresh = Renderer(read).renderShowAll(player, size);
            incremental.redrawShowAll(player, frame, incremental.changedArea(player, size));
            QCOMPARE(frame, fresh);
            incremental.redrawShowAll(player, whole, whole.rect());
            QCOMPARE(whole, fresh);
        }
    }

    // Sixty-four blurs of fifteen passes each, whose reach makes a layer of nearly 4M pixels:
    // the work one drawing may spend on filters runs out, and the frame is drawn in a moment
    // rather than in minutes.
    void filtersPastTheirBudgetAreLeftUndone()
    {
        Filter many;
        many.blurX = many.blurY = 2;
        many.passes = 15;
        Writer w(kSize, kSize);
        w.defineRectangle(1, kMiddle, solid(kRed));
        w.place({.depth = 1, .characterId = 1, .filters = std::vector<Filter>(64, many)});
        w.showFrame();
        const QImage picture = render(w.finish());
        QVERIFY(picture.pixelColor(50, 50).red() > picture.pixelColor(50, 50).green());
    }

    // Matrices at the format's extremes, squeezed to nothing, turned, or reaching far past the
    // stage, with a stroke as wide as the format allows: drawn without fault.
    void extremeMatricesDraw()
    {
        Writer w(kSize, kSize);
        LineStyle widest;
        widest.width = 65535;
        widest.fill = gradient(FillStyle::Kind::FocalGradient, {{0, kRed}, {255, kBlue}}, 0.9);
        w.defineRectangle(1, kMiddle, gradient(FillStyle::Kind::RadialGradient, {{0, kRed}, {255, kBlue}}), widest);
        // 16383 the largest scale, and 2^30 the farthest move, that 31 bits hold.
        // The last, on top, has its middle in the stage's, and its stroke covers all of it.
        const Matrix extremes[] = {{16383, 0, 0, 16383, -1e9, 1e9},
                                   {0, 0, 0, 0, 1000, 1000},
                                   {-16383, 16383, 16383, -16383, 0, 0},
                                   {1e-4, 0, 0, 16383, 1000, -1000},
                                   {16383, 0, 0, 16383, 1000 - 16383000, 1000 - 16383000}};
        std::uint16_t depth = 1;
        for (const Matrix& matrix : extremes)
            w.place({.depth = depth++, .characterId = 1, .matrix = matrix});
        w.showFrame();
        const QImage image = render(w.finish());
        QCOMPARE(image.size(), QSize(kSize, kSize));
        QVERIFY(image.pixelColor(50, 50) != QColor(Qt::white)); // under the last one's stroke
        // What changes reaches far past what pixels can count: the stage is what changed.
        Writer far(kSize, kSize);
        far.defineRectangle(1, {-1000000000, 1000000000, -1000000000, 1000000000}, solid(kRed));
        far.place({.depth = 1, .characterId = 1, .matrix = Matrix{16383, 0, 0, 16383, 0, 0}});
        far.showFrame();
        const auto read = std::make_shared<const Movie>(readMovie(far.finish()));
        QVERIFY(Renderer(read).changedArea(Player(read), QSize(kSize, kSize)).contains(QRect(0, 0, kSize, kSize)));
    }

    // A stage taller than the rows drawn at a time: the same pixels in whatever pieces it is drawn.
    void aTallStageIsTheSameInAnyPieces()
    {
        Writer w(60, 1200);
        LineStyle edge;
        edge.width = 100;
        edge.fill.color = kRed;
        w.defineRectangle(1, {0, 1000, 0, 22000},
                          gradient(FillStyle::Kind::RadialGradient, {{0, kWhite}, {255, kBlue}}), edge);
        Matrix turned{0.99, 0.1, -0.1, 0.99, 200, 300};
        w.place({.depth = 1, .characterId = 1, .matrix = turned});
        w.showFrame();
        const auto read = std::make_shared<const Movie>(readMovie(w.finish()));
        const Player player(read);
        const QSize size(60, 1200);
        const QImage whole = Renderer(read).renderShowAll(player, size);
        QImage pieces(size, QImage::Format_ARGB32_Premultiplied);
        Renderer renderer(read);
        for (const auto& [top, bottom] : {std::pair{0, 333}, {333, 700}, {700, 1200}})
            renderer.redrawShowAll(player, pieces, QRect(0, top, 60, bottom - top));
        QCOMPARE(pieces, whole);
    }

    // Edges that meet or overlap at fractions of a pixel: every pixel is the fill's colour.
    void shapesThatMeetLeaveNoSeam_data()
    {
        QTest::addColumn<std::string>("movie");
        const auto twoShapes = [](Rect first, Rect second) {
            Writer w(kSize, kSize);
            w.defineRectangle(1, first, solid(kBlue));
            w.defineRectangle(2, second, solid(kBlue));
            w.place({.depth = 1, .characterId = 1});
            w.place({.depth = 2, .characterId = 2});
            w.showFrame();
            return w.finish();
        };
        QTest::newRow("side by side") << twoShapes({0, 1010, 0, 2000}, {1010, 2000, 0, 2000});
        QTest::newRow("overlapping") << twoShapes({0, 2000, 0, 1013}, {0, 2000, 1007, 2000});
        // One shape, a fill each side of a diagonal drawn once for each.
        Writer w(kSize, kSize);
        Writer::Drawing halves{{solid(kBlue), solid(kBlue)}, {}, {}};
        halves.steps
            = {Writer::Styles{0, 1, 0},    Writer::MoveTo{0, 0},    Writer::LineTo{2000, 0}, Writer::LineTo{2000, 1990},
               Writer::LineTo{0, 0},       Writer::Styles{0, 2, 0}, Writer::MoveTo{0, 0},    Writer::LineTo{2000, 1990},
               Writer::LineTo{2000, 2000}, Writer::LineTo{0, 2000}, Writer::LineTo{0, 0}};
        w.defineShape(1, 3, kStage, halves);
        w.place({.depth = 1, .characterId = 1});
        w.showFrame();
        QTest::newRow("two fills of one shape") << w.finish();
    }

    void shapesThatMeetLeaveNoSeam()
    {
        QFETCH(std::string, movie);
        const QImage image = render(movie);
        QImage blue(image.size(), image.format());
        blue.fill(Qt::blue);
        QCOMPARE(image, blue);
    }

    // gap = pair.hitTest(15, 5, true); box = pair.hitTest(15, 5); square = pair.hitTest(25, 5, true);
    // pair holds two squares with a gap between: the shape flag asks for the fills.
    void hitTestByShapeFindsTheFills()
    {
        namespace op = avm1::op;
        using avm1::Value;
        ActionWriter code;
        for (const auto& [name, x, shape] :
             {std::tuple{"gap", 15.0, true}, {"box", 15.0, false}, {"square", 25.0, true}}) {
            code.push(name).push({Value(shape)}).push(5.0).push(x).push(3.0).push("pair").op(op::GetVariable);
            code.push("hitTest").op(op::CallMethod).op(op::SetVariable);
        }
        Writer w(kSize, kSize);
        w.defineRectangle(1, {0, 200, 0, 200}, solid(kRed));
        w.defineRectangle(2, {400, 600, 0, 200}, solid(kRed));
        w.beginSprite(3);
        w.place({.depth = 1, .characterId = 1});
        w.place({.depth = 2, .characterId = 2});
        w.showFrame();
        w.endSprite();
        w.place({.depth = 1, .characterId = 3, .name = "pair"});
        w.doAction(code.actions());
        w.showFrame();
        const auto movie = std::make_shared<const Movie>(readMovie(w.finish()));
        Player player(movie, scriptPainter(movie));
        QCOMPARE(player.variable("gap"), Value(false));
        QCOMPARE(player.variable("box"), Value(true));
        QCOMPARE(player.variable("square"), Value(true));
    }

    // bd = new BitmapData(50, 50, true, 0); bd.draw(sq, new Matrix(1, 0, 0, 1, 10, 10));
    // bd.draw(sq, new Matrix(1, 0, 0, 1, 10, 10), 0, "difference", new Rectangle(0, 0, 12, 50));
    // blurred = new BitmapData(50, 50, true, 0);
    // blurred.applyFilter(bd, new Rectangle(0, 0, 50, 50), new Point(0, 0), new BlurFilter(6, 6, 1));
    // this.attachBitmap(bd, 1); this.createEmptyMovieClip("h", 2).attachBitmap(blurred, 1); h._x = 50;
    // this.createEmptyMovieClip("f", 3).beginBitmapFill(bd, new Matrix(1, 0, 0, 1, 0, 50)), then
    // a square from (0, 50) to (50, 100); g = createEmptyMovieClip("g", 4), at (60, 60), shows
    // flash.display.BitmapData.loadBitmap("tile").
    // The square sq lies off the stage: a clip is drawn as it looks in itself.
    void scriptsPaintClipsAndFiltersIntoBitmaps()
    {
        namespace op = avm1::op;
        ActionWriter code;
        const auto construct = [&code](const char* package, const char* name, std::vector<double> arguments) {
            for (auto i = arguments.rbegin(); i != arguments.rend(); ++i)
                code.push(*i);
            code.push(double(arguments.size())).push("flash").op(op::GetVariable).push(package).op(op::GetMember);
            code.push(name).op(op::NewMethod);
        };
        const auto method = [&code](const char* target, const char* name, double count) {
            code.push(count).push(target).op(op::GetVariable).push(name).op(op::CallMethod).op(op::Pop);
        };
        for (const char* name : {"bd", "blurred"}) {
            code.push(name);
            construct("display", "BitmapData", {50, 50, 1, 0});
            code.op(op::SetVariable);
        }
        construct("geom", "Matrix", {1, 0, 0, 1, 10, 10});
        code.push("sq").op(op::GetVariable);
        method("bd", "draw", 2);
        // Again in "difference", which takes red from red, but only left of x = 12.
        construct("geom", "Rectangle", {0, 0, 12, 50});
        code.push("difference").push(0.0); // no colour transform
        construct("geom", "Matrix", {1, 0, 0, 1, 10, 10});
        code.push("sq").op(op::GetVariable);
        method("bd", "draw", 5);
        construct("filters", "BlurFilter", {6, 6, 1});
        construct("geom", "Point", {0, 0});
        construct("geom", "Rectangle", {0, 0, 50, 50});
        code.push("bd").op(op::GetVariable);
        method("blurred", "applyFilter", 4);
        code.push(1.0).push("bd").op(op::GetVariable);
        method("this", "attachBitmap", 2);
        code.push(2.0).push("h");
        method("this", "createEmptyMovieClip", 2);
        code.push(1.0).push("blurred").op(op::GetVariable);
        method("h", "attachBitmap", 2);
        code.push("h").op(op::GetVariable).push("_x").push(50.0).op(op::SetMember);
        code.push(3.0).push("f");
        method("this", "createEmptyMovieClip", 2);
        construct("geom", "Matrix", {1, 0, 0, 1, 0, 50});
        code.push("bd").op(op::GetVariable);
        method("f", "beginBitmapFill", 2);
        for (const auto& [x, y] : {std::pair{0.0, 50.0}, {50.0, 50.0}, {50.0, 100.0}, {0.0, 100.0}}) {
            code.push(y).push(x);
            method("f", x == 0 && y == 50 ? "moveTo" : "lineTo", 2);
        }
        code.push(4.0).push("g");
        method("this", "createEmptyMovieClip", 2);
        code.push(1.0).push("tile").push(1.0).push("flash").op(op::GetVariable).push("display").op(op::GetMember);
        code.push("BitmapData").op(op::GetMember).push("loadBitmap").op(op::CallMethod);
        method("g", "attachBitmap", 2);
        code.push("g").op(op::GetVariable).push("_x").push(60.0).op(op::SetMember);
        code.push("g").op(op::GetVariable).push("_y").push(60.0).op(op::SetMember);

        Writer w(kSize, kSize);
        w.defineRectangle(1, {0, 200, 0, 200}, solid(kRed));
        w.defineLosslessBitmap(3, 4, 4, std::vector<std::uint32_t>(16, 0xFF0000FF));
        w.exportAssets(3, "tile");
        w.beginSprite(2);
        w.place({.depth = 1, .characterId = 1});
        w.showFrame();
        w.endSprite();
        Matrix offStage;
        offStage.tx = -4000;
        w.place({.depth = 1, .characterId = 2, .matrix = offStage, .name = "sq"});
        w.doAction(code.actions());
        w.showFrame();
        const QImage image = render(w.finish());
        QCOMPARE(image.pixelColor(15, 15), QColor(Qt::red));
        QCOMPARE(image.pixelColor(11, 15), QColor(Qt::black));
        QCOMPARE(image.pixelColor(5, 15), QColor(Qt::white));
        QVERIFY(near(image.pixelColor(65, 15), Qt::red, 8));
        const QColor edge = image.pixelColor(59, 15); // beside the square, where the blur spreads it
        QVERIFY2(edge.green() > 40 && edge.green() < 215, qPrintable(edge.name()));
        QCOMPARE(image.pixelColor(53, 15), QColor(Qt::white));
        QCOMPARE(image.pixelColor(15, 65), QColor(Qt::red)); // bd again, as f's fill
        QCOMPARE(image.pixelColor(11, 65), QColor(Qt::black));
        QCOMPARE(image.pixelColor(62, 62), QColor(Qt::blue)); // the movie's bitmap, loaded by a script
    }
};

QTEST_MAIN(SwfRenderTest)
#include "tst_swf_render.moc"
