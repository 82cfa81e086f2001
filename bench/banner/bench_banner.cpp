// The banner's costs: reading a movie, and drawing one frame into the 449 x 65 banner area.
//     bench_banner MOVIE.swf   prints "read_us N draw_us N busiest_draw_us N frames N"
//     bench_banner --scene     the same for a 550 x 400 stage of overlapping gradients,
//                              strokes and text, one square moving, drawn at its own size

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <memory>
#include <string_view>

#include <QGuiApplication>

#include "swf/movie_reader.h"
#include "swf/player.h"
#include "swf/qt/renderer.h"
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

} // namespace

int main(int argc, char* argv[])
{
    QGuiApplication app(argc, argv);
    if (argc != 2)
        return 2;
    const bool isScene = std::string_view(argv[1]) == "--scene";
    std::ifstream file(argv[1], std::ios::binary);
    const std::string bytes = isScene ? scene() : std::string{std::istreambuf_iterator<char>(file), {}};
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
    const std::size_t frames = player.root().frameCount();
    double total = 0, busiest = 0;
    for (std::size_t frame = 0; frame < frames * 4; ++frame) {
        start = Clock::now();
        renderer.redrawShowAll(player, image, image.rect());
        const double took = microsecondsSince(start);
        total += took;
        busiest = std::max(busiest, took);
        player.tick();
    }
    std::printf("read_us %.1f draw_us %.1f busiest_draw_us %.1f frames %zu\n", read, total / double(frames * 4),
                busiest, frames);
    return 0;
}
