// The banner's costs: reading a movie, playing a frame (its scripts), and drawing one frame
// into the 449 x 65 banner area.
//     bench_banner MOVIE.swf   prints "read_us N tick_us N busiest_tick_us N draw_us N
//                              busiest_draw_us N frames N"
//     bench_banner --scene     the same for a 550 x 400 stage of overlapping gradients,
//                              strokes and text, one square moving, drawn at its own size
//     bench_banner --scripted  the same for a scripted 449 x 65 banner: a preloader, then twelve
//                              clips attached in a loop, each a drawn star that an onEnterFrame
//                              handler moves, turns and fades with Math.sin

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <memory>
#include <string_view>

#include <QGuiApplication>

#include "swf/movie_reader.h"
#include "swf/player.h"
#include "swf/qt/renderer.h"
#include "action_writer.h"
#include "swf_writer.h"
#include "text_line.h"

using namespace quillmere::swf;
using Clock = std::chrono::steady_clock;

namespace {

double microsecondsSince(Clock::time_point start)
{
    return std::chrono::duration<double, std::micro>(Clock::now() - start).count();
}

// 550 x 400: a gradient backdrop, twelve overlapping gradient and solid squares with strokes,
// one of them crossing the stage over 24 frames, and two lines of text over them.
std::string scene()
{
    SwfWriter w(550, 400, 24);
    FillStyle backdrop;
    backdrop.kind = FillStyle::Kind::LinearGradient;
    backdrop.gradient.stops = {{0, {20, 40, 90, 255}}, {255, {200, 220, 255, 255}}};
    backdrop.matrix.a = backdrop.matrix.d = 11000.0 / 32768;
    backdrop.matrix.tx = 5500;
    backdrop.matrix.ty = 4000;
    w.defineRectangle(1, {0, 11000, 0, 8000}, backdrop);
    LineStyle outline;
    outline.width = 60;
    outline.fill.color = {0, 0, 0, 255};
    for (std::uint16_t i = 0; i < 12; ++i) {
        FillStyle fill;
        fill.kind = i % 3 == 0   ? FillStyle::Kind::Solid
                    : i % 3 == 1 ? FillStyle::Kind::LinearGradient
                                 : FillStyle::Kind::RadialGradient;
        fill.color = {std::uint8_t(40 * i % 256), 120, std::uint8_t(255 - 20 * i), 200};
        fill.gradient.stops = {{0, {255, std::uint8_t(20 * i), 0, 255}}, {255, {0, 80, std::uint8_t(20 * i), 160}}};
        fill.matrix.a = fill.matrix.d = 2000.0 / 32768;
        fill.matrix.tx = fill.matrix.ty = 1000;
        w.defineRectangle(std::uint16_t(2 + i), {0, 2000, 0, 2000}, fill, outline);
    }
    QFont face(QStringLiteral("Liberation Sans"));
    for (std::uint16_t i = 0; i < 2; ++i)
        defineTextLine(w, {.fontId = std::uint16_t(20 + 2 * i),
                           .textId = std::uint16_t(21 + 2 * i),
                           .text = i == 0 ? QStringLiteral("Quillmere: every proxy in one list")
                                          : QStringLiteral("Copy a name, or open it in your browser, with one click."),
                           .face = face,
                           .height = (i == 0 ? 32 : 18) * 20,
                           .color = {255, 255, 255, 255},
                           .bounds = {0, 11000, 0, 8000},
                           .left = 0,
                           .right = 11000,
                           .baseline = 6800 + 700 * i});
    w.place({.depth = 1, .characterId = 1});
    w.place({.depth = 20, .characterId = 21});
    w.place({.depth = 21, .characterId = 23});
    for (int frame = 0; frame < 24; ++frame) {
        for (std::uint16_t i = 0; i < 12; ++i) {
            Matrix at;
            at.tx = 400 + (i % 4) * 2500 + (i == 0 ? frame * 300 : 0);
            at.ty = 400 + (i / 4) * 2500;
            w.place(
                {.depth = std::uint16_t(2 + i), .characterId = std::uint16_t(2 + i), .move = frame > 0, .matrix = at});
        }
        w.showFrame();
    }
    return w.finish();
}

// A banner written as banners' scripts are: the stage holds nothing until its first frame's
// script has checked that all is loaded and built everything with attachMovie, the drawing API
// and onEnterFrame.
std::string scripted()
{
    using namespace avm1;
    SwfWriter w(449, 65, 24);
    ActionWriter star; // this.beginFill(0xFFC83C, 80); a five-pointed star; this.endFill();
    const auto method = [](ActionWriter& code, const std::string& name, std::vector<double> arguments) {
        for (auto a = arguments.rbegin(); a != arguments.rend(); ++a)
            code.push(*a);
        code.push(double(arguments.size())).push("this").op(op::GetVariable).push(name).op(op::CallMethod).op(op::Pop);
    };
    method(star, "beginFill", {0xFFC83C, 80});
    for (int point = 0; point <= 10; ++point) {
        const double angle = point * 0.6283185307 - 1.5707963268, r = point % 2 ? 4 : 10;
        method(star, point == 0 ? "moveTo" : "lineTo", {r * std::cos(angle), r * std::sin(angle)});
    }
    method(star, "endFill", {});
    // this._x = (this._x + 3) % 449; this._rotation += 5; this._alpha = 60 + 40 * Math.sin(this._x / 20);
    ActionWriter step;
    step.push({Value(std::string("this"))}).op(op::GetVariable).push("_x");
    step.push("this").op(op::GetVariable).push("_x").op(op::GetMember).push(3.0).op(op::Add2).push(449.0);
    step.op(op::Modulo).op(op::SetMember);
    step.push("this").op(op::GetVariable).push("_rotation").push("this").op(op::GetVariable).push("_rotation");
    step.op(op::GetMember).push(5.0).op(op::Add2).op(op::SetMember);
    step.push("this").op(op::GetVariable).push("_alpha").push(60.0).push(40.0);
    step.push("this").op(op::GetVariable).push("_x").op(op::GetMember).push(20.0).op(op::Divide);
    step.push(1.0).push("Math").op(op::GetVariable).push("sin").op(op::CallMethod);
    step.op(op::Multiply).op(op::Add2).op(op::SetMember);
    // if (_framesloaded < _totalframes) stop here; for (i = 0; i < 12; ++i) { c = attachMovie(...);
    // c._x = i * 37; c._y = 32; c.onEnterFrame = step; }
    ActionWriter frame;
    frame.push("_framesloaded").op(op::GetVariable).push("_totalframes").op(op::GetVariable).op(op::Less2);
    frame.ifTrue("end");
    frame.push({Value(std::string("step"))}).function("", {}, step).op(op::SetVariable);
    frame.push({Value(std::string("i")), Value(0.0)}).op(op::SetVariable);
    frame.label("top").push("i").op(op::GetVariable).push(12.0).op(op::Less2).op(op::Not).ifTrue("end");
    frame.push({Value(std::string("c"))}).push("i").op(op::GetVariable);
    frame.push({Value(std::string("star")), Value(std::string("i"))}).op(op::GetVariable).op(op::Add2);
    frame.push({Value(std::string("star")), Value(3.0), Value(std::string("this"))}).op(op::GetVariable);
    frame.push("attachMovie").op(op::CallMethod).op(op::SetVariable);
    frame.push({Value(std::string("c"))}).op(op::GetVariable).push("_x").push("i").op(op::GetVariable);
    frame.push(37.0).op(op::Multiply).op(op::SetMember);
    frame.push({Value(std::string("c"))}).op(op::GetVariable).push({Value(std::string("_y")), Value(32.0)});
    frame.op(op::SetMember);
    frame.push({Value(std::string("c"))}).op(op::GetVariable).push("onEnterFrame").push("step").op(op::GetVariable);
    frame.op(op::SetMember);
    frame.push({Value(std::string("i")), Value(std::string("i"))}).op(op::GetVariable).op(op::Increment);
    frame.op(op::SetVariable).jump("top").label("end").op(op::Stop);

    w.beginSprite(1);
    w.doAction(star.bytes());
    w.showFrame();
    w.endSprite();
    w.exportAssets(1, "star");
    w.doAction(frame.bytes());
    w.showFrame();
    return w.finish();
}

} // namespace

int main(int argc, char* argv[])
{
    QGuiApplication app(argc, argv);
    if (argc != 2)
        return 2;
    const bool isScene = std::string_view(argv[1]) == "--scene";
    const bool isScripted = std::string_view(argv[1]) == "--scripted";
    std::ifstream file(argv[1], std::ios::binary);
    const std::string bytes = isScene      ? scene()
                              : isScripted ? scripted()
                                           : std::string{std::istreambuf_iterator<char>(file), {}};
    const QSize area = isScene ? QSize(550, 400) : QSize(449, 65);

    constexpr int kReads = 200;
    auto start = Clock::now();
    for (int i = 0; i < kReads; ++i)
        readMovie(bytes);
    const double read = microsecondsSince(start) / kReads;

    auto movie = std::make_shared<const Movie>(readMovie(bytes));
    Player player(movie);
    Renderer renderer(movie);
    // As the banner draws a whole frame: into the image it keeps. Decoded bitmaps and paths are
    // kept after the first.
    QImage image = renderer.renderShowAll(player, area);
    // A scripted banner plays on after its last frame: it is measured for as long as the others.
    const std::size_t frames = std::max<std::size_t>(player.root().frameCount(), 24);
    double total = 0, busiest = 0, ticks = 0, busiestTick = 0;
    for (std::size_t frame = 0; frame < frames * 4; ++frame) {
        start = Clock::now();
        renderer.redrawShowAll(player, image, image.rect());
        const double took = microsecondsSince(start);
        total += took;
        busiest = std::max(busiest, took);
        start = Clock::now();
        player.tick();
        const double ticked = microsecondsSince(start);
        ticks += ticked;
        busiestTick = std::max(busiestTick, ticked);
    }
    const double count = double(frames * 4);
    std::printf("read_us %.1f tick_us %.1f busiest_tick_us %.1f draw_us %.1f busiest_draw_us %.1f frames %zu\n", read,
                ticks / count, busiestTick, total / count, busiest, frames);
    return 0;
}
