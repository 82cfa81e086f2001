// The SWF renderer on any bytes that read as a movie: every frame drawn small, with no fault,
// whatever the shapes, matrices, masks and fields hold, and whatever scripts paint.

#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include <QGuiApplication>

#include "movie_or_nothing.h"
#include "swf/player.h"
#include "swf/qt/renderer.h"

using namespace quillmere::swf;

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    static QGuiApplication app(*argc, *argv); // text fields lay out in the desktop's faces
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const auto movie = movieOrNothing(data, size);
    if (!movie)
        return 0;
    Player player(movie, scriptPainter(movie));
    Renderer renderer(movie);
    QImage frame = renderer.renderShowAll(player, QSize(64, 48));
    for (int i = 0; i < 4; ++i) {
        player.tick();
        if (!frame.isNull())
            renderer.redrawShowAll(player, frame, renderer.changedArea(player, frame.size()));
    }
    return 0;
}
