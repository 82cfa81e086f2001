// The reader against broken and hostile movies: each is refused with a reason, within the
// limits, and nothing a movie says can make the player recurse or allocate without bound.

#include <QtTest>

#include <functional>

#include "support/strict_warnings.h"
#include "swf/format_error.h"
#include "swf/limits.h"
#include "swf/movie_reader.h"
#include "swf/player.h"
#include "swf_writer.h"

using namespace quillmere::swf;
using quillmere::testing::failOnUnexpectedWarnings;
using Writer = SwfWriter;

namespace {

QString refusal(const std::string& file)
{
    try {
        readMovie(file);
    } catch (const FormatError& error) {
        return QString::fromStdString(error.what());
    }
    return {};
}

std::string le32(std::uint32_t v)
{
    return {char(v), char(v >> 8), char(v >> 16), char(v >> 24)};
}

// A JPEG that says it is `side` x `side` pixels and holds no image worth decoding.
std::string jpegClaiming(std::uint16_t side)
{
    const char hi = char(side >> 8), lo = char(side & 0xFF);
    return std::string("\xFF\xD8\xFF\xC0\x00\x0B\x08", 7) + hi + lo + hi + lo
           + std::string("\x01\x01\x11\x00\xFF\xDA\x00\x08\x01\x01\x00\x00\x3F\x00\x00\xFF\xD9", 17);
}

std::string oneShape(std::size_t edges)
{
    Writer w(10, 10);
    Writer::Drawing d;
    d.fills = {FillStyle{}};
    d.steps = {Writer::Styles{0, 1, 0}, Writer::MoveTo{0, 0}};
    for (std::size_t i = 0; i < edges; ++i)
        d.steps.push_back(Writer::LineTo{std::int32_t(i % 2) * 20, std::int32_t(i)});
    w.defineShape(1, 3, {0, 200, 0, 200}, d);
    return w.finish();
}

} // namespace

class SwfReaderTest : public QObject {
    Q_OBJECT

private slots:
    void init() { failOnUnexpectedWarnings(); }

    void brokenAndHostileMoviesAreRefusedWithAReason_data()
    {
        QTest::addColumn<std::string>("file");
        QTest::addColumn<QString>("reason");
        Writer plain(10, 10);
        plain.showFrame();
        const std::string good = plain.finish();
        QTest::newRow("not a movie") << std::string("GIF89a....") << "not a movie";
        QTest::newRow("truncated header") << good.substr(0, 10) << "truncated";
        QTest::newRow("tag past the end")
            << good.substr(0, good.size() - 2) + std::string("\x4A\x00\x01\x02", 4) << "runs past the end";
        QTest::newRow("unpacks beyond the limit")
            << "CWS" + std::string(1, '\x08') + le32(kMaxMovieBytes + 9) + std::string(20, '\0') << "over the limit";
        QTest::newRow("broken LZMA") << "ZWS" + std::string(1, '\x0D') + le32(100) + le32(10) + std::string(15, '\x5D')
                                     << "LZMA";

        Writer wide(10, 10);
        wide.defineJpeg(1, jpegClaiming(kMaxBitmapSide + 1));
        QTest::newRow("bitmap wider than the limit") << wide.finish() << "8193 x 8193";
        Writer many(10, 10);
        for (std::uint16_t id = 1; id <= 2; ++id)
            many.defineJpeg(id, jpegClaiming(6000)); // 36 million pixels each
        QTest::newRow("bitmaps beyond the pixel budget") << many.finish() << "pixels in all";
        QTest::newRow("shape beyond the record limit") << oneShape(kMaxShapeRecords) << "records";

        Writer script(10, 10);
        script.tag(82, std::string(8, '\0')); // DoABC
        script.showFrame();
        QTest::newRow("ActionScript 3") << script.finish() << "ActionScript 3";
    }

    void brokenAndHostileMoviesAreRefusedWithAReason()
    {
        QFETCH(std::string, file);
        QFETCH(QString, reason);
        const QString refused = refusal(file);
        QVERIFY2(refused.contains(reason), qPrintable(refused));
    }

    // Newer players' files read as any other: a version above 10 and the ActionScript 3 flag of
    // a movie with no ActionScript 3 in it.
    void aNewerMovieWithoutScriptReads()
    {
        Writer w(10, 10, 24, 37);
        w.tag(69, std::string("\x08\x00\x00\x00", 4)); // FileAttributes: ActionScript 3
        w.defineRectangle(1, {0, 200, 0, 200}, FillStyle{});
        w.place({.depth = 1, .characterId = 1});
        w.showFrame();
        const Movie movie = readMovie(w.finish(Writer::Compression::Zlib));
        QCOMPARE(movie.version, 37);
        QVERIFY(movie.find<Shape>(1));
        QCOMPARE(movie.timeline.frames.size(), 1u);
    }

    // A sprite that places itself, four times over: the player stops at the nesting limit, and
    // at the limit of objects placed at one time, however the copies would multiply.
    void aSpriteThatHoldsItselfEndsAtTheLimits()
    {
        Writer w(10, 10);
        w.beginSprite(1);
        for (std::uint16_t depth = 1; depth <= 4; ++depth)
            w.place({.depth = depth, .characterId = 1});
        w.showFrame();
        w.endSprite();
        w.place({.depth = 1, .characterId = 1});
        w.showFrame();
        const auto movie = std::make_shared<const Movie>(readMovie(w.finish()));
        Player player(movie);
        for (int tick = 0; tick < 3; ++tick)
            player.tick();
        int depth = 0;
        for (const TimelinePlayer* timeline = &player.root(); timeline;) {
            const auto& sprite = timeline->displayList().begin()->second.sprite;
            timeline = sprite.get();
            depth += sprite ? 1 : 0;
        }
        QCOMPARE(depth, kMaxSpriteNesting - 1);
        const std::function<std::size_t(const TimelinePlayer&)> objects = [&](const TimelinePlayer& timeline) {
            std::size_t count = timeline.displayList().size();
            for (const auto& [at, object] : timeline.displayList())
                count += object.sprite ? objects(*object.sprite) : 0;
            return count;
        };
        QVERIFY(objects(player.root()) <= kMaxDisplayObjects + std::size_t(kMaxSpriteNesting) * 4);
    }
};

QTEST_GUILESS_MAIN(SwfReaderTest)
#include "tst_swf_reader.moc"
