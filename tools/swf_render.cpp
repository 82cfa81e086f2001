// Plays a movie as the banner player does and saves one frame at the stage's own size:
//     swf_render MOVIE.swf OUT.png [--frames N] [--quality low|medium|high|best]
// N frames from the start (default 1): the Nth one shown is saved, background included, 1 pixel
// to 20 twips. The movie starts in the quality given, high by default as in the banner; low
// draws each pixel wholly of what covers its centre, as pictures of other players often are.
// Exit 0 when the picture was written; otherwise one line on standard error.

#include <cstdint>
#include <fstream>
#include <iostream>
#include <iterator>
#include <memory>
#include <string>

#include <QGuiApplication>

#include "swf/format_error.h"
#include "swf/movie_reader.h"
#include "swf/player.h"
#include "swf/qt/renderer.h"
#include "swf/types.h"

int main(int argc, char* argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen"); // a picture needs no display
    // The tool says what went wrong in one line of its own; Qt's notes about the session would
    // only be noise around it.
    qInstallMessageHandler([](QtMsgType, const QMessageLogContext&, const QString&) {});
    QGuiApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments();
    long frames = 1;
    using Quality = quillmere::swf::PlayContext::Quality;
    Quality quality = Quality::High;
    bool valid = args.size() >= 3 && args.size() % 2 == 1;
    for (qsizetype i = 3; valid && i + 1 < args.size(); i += 2) {
        const std::optional<Quality> named = quillmere::swf::PlayContext::qualityNamed(args[i + 1].toStdString());
        if (args[i] == QLatin1String("--frames"))
            frames = args[i + 1].toLong(&valid);
        else if (args[i] == QLatin1String("--quality") && named)
            quality = *named;
        else
            valid = false;
    }
    if (!valid || frames < 1) {
        std::cerr << "usage: swf_render MOVIE.swf OUT.png [--frames N] [--quality low|medium|high|best]\n";
        return 2;
    }
    std::ifstream file(args[1].toStdString(), std::ios::binary);
    if (!file) {
        std::cerr << "swf_render: cannot read " << args[1].toStdString() << '\n';
        return 1;
    }
    const std::string bytes{std::istreambuf_iterator<char>(file), {}};
    try {
        auto movie = std::make_shared<const quillmere::swf::Movie>(quillmere::swf::readMovie(bytes));
        for (const std::string& line : movie->unreadable)
            std::cerr << "swf_render: " << args[1].toStdString() << ": " << line << '\n';
        if (movie->stage.width() <= 0 || movie->stage.height() <= 0) {
            std::cerr << "swf_render: " << args[1].toStdString() << ": the stage is empty, nothing to draw\n";
            return 1;
        }
        quillmere::swf::Player player(movie, quillmere::swf::scriptPainter(movie), quality);
        for (long frame = 1; frame < frames; ++frame)
            player.tick();
        const QImage picture = quillmere::swf::Renderer(movie).renderStage(player);
        if (picture.isNull() || !picture.save(args[2], "PNG")) {
            const auto pixels = [](std::int32_t twips) { return long(twips / quillmere::swf::kTwipsPerPixel); };
            std::cerr << "swf_render: cannot write a " << pixels(movie->stage.width()) << " x "
                      << pixels(movie->stage.height()) << " picture to " << args[2].toStdString() << '\n';
            return 1;
        }
    } catch (const quillmere::swf::FormatError& error) {
        std::cerr << "swf_render: " << args[1].toStdString() << ": " << error.what() << '\n';
        return 1;
    }
    return 0;
}
