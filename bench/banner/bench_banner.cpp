// The banner's costs: reading a movie, and drawing one frame into the 449 x 65 banner area.
//     bench_banner MOVIE.swf   prints "read_us N draw_us N busiest_draw_us N frames N"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <memory>

#include <QGuiApplication>

#include "swf/movie_reader.h"
#include "swf/player.h"
#include "swf/qt/renderer.h"

using namespace quillmere::swf;
using Clock = std::chrono::steady_clock;

namespace {

double microsecondsSince(Clock::time_point start)
{
    return std::chrono::duration<double, std::micro>(Clock::now() - start).count();
}

} // namespace

int main(int argc, char* argv[])
{
    QGuiApplication app(argc, argv);
    if (argc != 2)
        return 2;
    std::ifstream file(argv[1], std::ios::binary);
    const std::string bytes{std::istreambuf_iterator<char>(file), {}};

    constexpr int kReads = 200;
    auto start = Clock::now();
    for (int i = 0; i < kReads; ++i)
        readMovie(bytes);
    const double read = microsecondsSince(start) / kReads;

    auto movie = std::make_shared<const Movie>(readMovie(bytes));
    Player player(movie);
    Renderer renderer(movie);
    renderer.renderShowAll(player, {449, 65}); // decoded bitmaps and paths are kept after this
    const std::size_t frames = player.root().frameCount();
    double total = 0, busiest = 0;
    for (std::size_t frame = 0; frame < frames * 4; ++frame) {
        start = Clock::now();
        renderer.renderShowAll(player, {449, 65});
        const double took = microsecondsSince(start);
        total += took;
        busiest = std::max(busiest, took);
        player.tick();
    }
    std::printf("read_us %.1f draw_us %.1f busiest_draw_us %.1f frames %zu\n", read, total / double(frames * 4),
                busiest, frames);
    return 0;
}
