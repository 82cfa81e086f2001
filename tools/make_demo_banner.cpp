// Makes the demo list server's banner, a real SWF movie written by our SWF writer:
//     QT_QPA_PLATFORM=offscreen make_demo_banner demo/prx/banner.swf
// A gradient strip, an embedded JPEG picture under slanting stripes laid over them in multiply mode,
// a drop-shadowed headline drawn from an embedded font (Liberation Sans Bold's outlines), and an
// intro of 24 frames in which the headline comes into focus from a blur, a light sweeps across
// and an underline grows from a dot (a morph) before the movie stops on its last frame. The
// picture glows; a sparkle on it loops on its own (a sprite), and an invisible button over the
// whole banner opens the product site's home page when clicked.
// Its scripts: the first frame is a preloader that waits until every frame has loaded; the last
// draws a star with the drawing API, in the top right corner, which an onEnterFrame handler
// turns and pulses for as long as the banner is shown.

#include <cmath>
#include <fstream>
#include <iostream>

#include <QBuffer>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QRadialGradient>

#include "action_writer.h"
#include "swf_writer.h"
#include "text_line.h"

using namespace quillmere::swf;
using Writer = SwfWriter;

namespace {

constexpr int kWidth = 449, kHeight = 65;
constexpr int kFrames = 24;

std::string jpegPicture()
{
    QImage picture(56, 56, QImage::Format_RGB32);
    picture.fill(QColor(20, 40, 90));
    QPainter p(&picture);
    p.setRenderHint(QPainter::Antialiasing);
    QRadialGradient dish(QPointF(24, 24), 26, QPointF(18, 16));
    dish.setColorAt(0, QColor(255, 236, 140));
    dish.setColorAt(1, QColor(200, 150, 20));
    p.setBrush(dish);
    p.setPen(Qt::NoPen);
    p.drawEllipse(QPointF(28, 28), 22, 22);
    p.setBrush(QColor(90, 60, 10));
    p.drawEllipse(QPointF(28, 28), 4, 4);
    p.end();
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    picture.save(&buffer, "JPEG", 90);
    return bytes.toStdString();
}

Matrix translate(double x, double y, double scale = 1)
{
    Matrix m;
    m.a = m.d = scale;
    m.tx = x;
    m.ty = y;
    return m;
}

FillStyle solid(Rgba color)
{
    FillStyle fill;
    fill.color = color;
    return fill;
}

// A four-pointed sparkle around the origin, `r` twips to a point.
std::vector<Writer::Step> sparkle(std::int32_t r)
{
    const std::int32_t w = r / 5;
    return {Writer::Styles{0, 1, 0},     Writer::MoveTo{0, -r},         Writer::CurveTo{w, -w, r, 0},
            Writer::CurveTo{w, w, 0, r}, Writer::CurveTo{-w, w, -r, 0}, Writer::CurveTo{-w, -w, 0, -r}};
}

constexpr double kQuarterTurn = 0.7853981633974483; // 45 degrees: down and to the right

Filter dropShadow()
{
    Filter f;
    f.kind = Filter::Kind::DropShadow;
    f.colors = {{0, 0, 0, 170}};
    f.blurX = f.blurY = 4;
    f.angle = kQuarterTurn;
    f.distance = 2;
    return f;
}

Filter blur(double size)
{
    Filter f;
    f.blurX = f.blurY = size;
    return f;
}

Filter glow()
{
    Filter f;
    f.kind = Filter::Kind::Glow;
    f.colors = {{255, 200, 60, 255}};
    f.blurX = f.blurY = 8;
    f.strength = 1.5;
    return f;
}

// The headline's filters in frame `frame` of the intro: blurred until it comes into focus.
std::vector<Filter> headlineFilters(int frame)
{
    constexpr int kFocused = 8;
    if (frame >= kFocused)
        return {dropShadow()};
    return {blur(2 * (kFocused - frame)), dropShadow()};
}

using namespace avm1;

// `target.method(arguments)`, its result dropped. Arguments are pushed last first, as compilers
// do, then their count, the object and the method's name.
void callMethod(ActionWriter& code, const std::string& target, const std::string& method,
                const std::vector<double>& arguments)
{
    for (auto argument = arguments.rbegin(); argument != arguments.rend(); ++argument)
        code.push(*argument);
    code.push(double(arguments.size())).push(target).op(op::GetVariable).push(method).op(op::CallMethod).op(op::Pop);
}

// if (_framesloaded < _totalframes) gotoAndPlay(1): a banner waits on its first frame until all
// of it has arrived.
std::string preloader()
{
    ActionWriter code;
    code.push("_framesloaded").op(op::GetVariable).push("_totalframes").op(op::GetVariable).op(op::Less2);
    code.op(op::Not).ifTrue("loaded").push(1.0).gotoFrame2(true).label("loaded");
    return code.bytes();
}

// The star: drawn in a new clip, then turned and pulsed on every frame by its onEnterFrame.
std::string drawnStar()
{
    ActionWriter code;
    code.push({Value(20.0), Value(std::string("star")), Value(2.0)}).push("this").op(op::GetVariable);
    code.push("createEmptyMovieClip").op(op::CallMethod).op(op::Pop);
    callMethod(code, "star", "lineStyle", {1, 0xFFE6A0, 90});
    callMethod(code, "star", "beginFill", {0xFFC83C, 70});
    constexpr double kOuter = 8, kInner = 3;
    for (int point = 0; point <= 10; ++point) {
        const double angle = point * 3.141592653589793 / 5 - 3.141592653589793 / 2;
        const double r = point % 2 ? kInner : kOuter;
        callMethod(code, "star", point == 0 ? "moveTo" : "lineTo",
                   {std::round(r * std::cos(angle) * 10) / 10, std::round(r * std::sin(angle) * 10) / 10});
    }
    callMethod(code, "star", "endFill", {});
    code.push("star").op(op::GetVariable).push("_x").push(double(kWidth - 12)).op(op::SetMember);
    code.push("star").op(op::GetVariable).push("_y").push(11.0).op(op::SetMember);
    // function () { this._rotation += 6; this._alpha = 65 + 35 * Math.sin(getTimer() / 250); }
    ActionWriter turn;
    turn.push("this").op(op::GetVariable).push("_rotation").push("this").op(op::GetVariable).push("_rotation");
    turn.op(op::GetMember).push(6.0).op(op::Add2).op(op::SetMember);
    turn.push("this").op(op::GetVariable).push("_alpha").push(65.0).push(35.0);
    turn.push(0.0).push("getTimer").op(op::CallFunction).push(250.0).op(op::Divide);
    turn.push(1.0).push("Math").op(op::GetVariable).push("sin").op(op::CallMethod);
    turn.op(op::Multiply).op(op::Add2).op(op::SetMember);
    code.push("star").op(op::GetVariable).push("onEnterFrame").function("", {}, turn).op(op::SetMember);
    return code.bytes();
}

} // namespace

int main(int argc, char* argv[])
{
    QGuiApplication app(argc, argv);
    if (argc != 2) {
        std::cerr << "usage: make_demo_banner OUT.swf\n";
        return 2;
    }
    Writer movie(kWidth, kHeight, 12);
    movie.setBackground({20, 40, 90, 255});

    // 1: the strip, a gradient from dark to lighter blue.
    FillStyle strip;
    strip.kind = FillStyle::Kind::LinearGradient;
    strip.gradient.stops = {{0, {16, 32, 80, 255}}, {255, {40, 70, 150, 255}}};
    strip.matrix.a = strip.matrix.d = kWidth * 20 / 32768.0;
    strip.matrix.tx = kWidth * 10;
    movie.defineRectangle(1, {0, kWidth * 20, 0, kHeight * 20}, strip);

    // 2: the sweeping light, a translucent radial gradient.
    FillStyle light;
    light.kind = FillStyle::Kind::RadialGradient;
    light.gradient.stops = {{0, {120, 160, 255, 170}}, {255, {120, 160, 255, 0}}};
    light.matrix.a = 40 * 20 / 16384.0;
    light.matrix.d = 60 * 20 / 16384.0;
    movie.defineRectangle(2, {-800, 800, -1200, 1200}, light);

    // 3, 4: the picture, and a shape that shows it.
    movie.defineJpeg(3, jpegPicture());
    FillStyle picture;
    picture.kind = FillStyle::Kind::Bitmap;
    picture.bitmapId = 3;
    picture.repeat = false;
    picture.matrix.a = picture.matrix.d = 20;
    movie.defineRectangle(4, {0, 56 * 20, 0, 56 * 20}, picture);

    // 5, 6: the text, in glyphs of its own font.
    QFont face(QStringLiteral("Liberation Sans"));
    face.setBold(true);
    const auto [left, width] = defineTextLine(movie, {.fontId = 5,
                                                      .textId = 6,
                                                      .text = QStringLiteral("Your banner here: Quillmere demo server"),
                                                      .face = face,
                                                      .height = 18 * 20,
                                                      .color = {255, 255, 255, 255},
                                                      .bounds = {0, kWidth * 20, 0, kHeight * 20},
                                                      .left = 76 * 20,
                                                      .right = kWidth * 20,
                                                      .baseline = kHeight * 10 + 18 * 20 * 35 / 100});

    // 7, 8: the sparkle, pulsing in a sprite of its own that loops.
    movie.defineShape(7, 3, {-200, 200, -200, 200}, {{solid({255, 255, 230, 230})}, {}, sparkle(200)});
    movie.beginSprite(8);
    constexpr double kPulse[] = {0.2, 0.5, 0.9, 1.0, 0.8, 0.5, 0.3, 0.1};
    for (std::size_t i = 0; i < std::size(kPulse); ++i) {
        if (i == 0)
            movie.place({.depth = 1, .characterId = 7, .matrix = translate(0, 0, kPulse[i])});
        else
            movie.place({.depth = 1, .move = true, .matrix = translate(0, 0, kPulse[i])});
        movie.showFrame();
    }
    movie.endSprite();

    // 9: the underline, a dot that becomes a bar under the text.
    const std::int32_t barLeft = left, barRight = std::int32_t(left + width), barY = kHeight * 10 + 300;
    const std::int32_t dotX = barLeft + 60;
    movie.defineMorphShape(9, solid({255, 200, 60, 255}), solid({255, 200, 60, 255}),
                           {Writer::Styles{0, 1, 0}, Writer::MoveTo{dotX - 30, barY - 30},
                            Writer::LineTo{dotX + 30, barY - 30}, Writer::LineTo{dotX + 30, barY + 30},
                            Writer::LineTo{dotX - 30, barY + 30}, Writer::LineTo{dotX - 30, barY - 30}},
                           {Writer::MoveTo{barLeft, barY - 20}, Writer::LineTo{barRight, barY - 20},
                            Writer::LineTo{barRight, barY + 20}, Writer::LineTo{barLeft, barY + 20},
                            Writer::LineTo{barLeft, barY - 20}});

    // 12: slanting stripes of pale blue, multiplied into what lies under them.
    std::vector<Writer::Step> stripes{Writer::Styles{0, 1, 0}};
    for (std::int32_t x = 0; x < (kWidth + 40) * 20; x += 24 * 20)
        for (const Writer::Step step :
             {Writer::Step{Writer::MoveTo{x, 0}}, Writer::Step{Writer::LineTo{x + 240, 0}},
              Writer::Step{Writer::LineTo{x + 240 - 600, kHeight * 20}},
              Writer::Step{Writer::LineTo{x - 600, kHeight * 20}}, Writer::Step{Writer::LineTo{x, 0}}})
            stripes.push_back(step);
    movie.defineShape(12, 1, {-600, (kWidth + 40) * 20, 0, kHeight * 20},
                      {{solid({170, 185, 255, 255})}, {}, std::move(stripes)});

    // 10, 11: the click-through, a button whose only state is its hit area: the whole banner.
    movie.defineRectangle(10, {0, kWidth * 20, 0, kHeight * 20}, solid({0, 0, 0, 255}));
    movie.defineButton(11, {{1 << Button::HitTest, 10, 1}},
                       Writer::Actions::getUrl("http://www.quillmere.example", "_blank"));

    movie.place({.depth = 1, .characterId = 1});
    movie.place({.depth = 2, .characterId = 2, .matrix = translate(-40 * 20, kHeight * 10)});
    movie.place({.depth = 3, .characterId = 4, .matrix = translate(10 * 20, 4.5 * 20), .filters = {{glow()}}});
    movie.place({.depth = 4, .characterId = 12, .blendMode = BlendMode::Multiply});
    movie.place({.depth = 5, .characterId = 6, .filters = headlineFilters(0)});
    movie.place({.depth = 6, .characterId = 9, .ratio = 0});
    movie.place({.depth = 7, .characterId = 8, .matrix = translate(52 * 20, 12 * 20)});
    movie.place({.depth = 10, .characterId = 11});
    movie.doAction(preloader());
    movie.showFrame();
    for (int frame = 1; frame < kFrames; ++frame) {
        const double x = -40 + (kWidth + 80) * frame / double(kFrames - 1);
        movie.place({.depth = 2, .move = true, .matrix = translate(x * 20, kHeight * 10)});
        if (headlineFilters(frame) != headlineFilters(frame - 1))
            movie.place({.depth = 5, .move = true, .filters = headlineFilters(frame)});
        movie.place({.depth = 6, .move = true, .ratio = std::uint16_t(65535 * frame / (kFrames - 1))});
        if (frame == kFrames - 1) {
            movie.remove(2); // the light has gone; the intro ends here
            movie.doAction(Writer::Actions::stop() + drawnStar());
        }
        movie.showFrame();
    }

    std::ofstream out(argv[1], std::ios::binary);
    out << movie.finish(Writer::Compression::Zlib);
    return out ? 0 : 1;
}
