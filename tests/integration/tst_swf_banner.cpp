// The banner player on screen (offscreen), its frames ticking on the simulated clock: it plays
// while shown and only then, stops with its movie, and a click on a button opens what the button
// asks for, once; the hand shows over the button until the pointer leaves. The loader fetches in
// the background and shows what arrives.

#include <QtTest>

#include <QLabel>

#include "banner/banner_player_qt.h"
#include "banner/swf_banner_qt.h"
#include "fakes/fake_services.h"
#include "support/strict_warnings.h"
#include "swf/movie_reader.h"
#include "swf_writer.h"

using namespace quillmere;
using namespace quillmere::swf;
using quillmere::testing::failOnUnexpectedWarnings;
using Writer = SwfWriter;

namespace {

Matrix at(double x)
{
    Matrix m;
    m.tx = x;
    return m;
}

// A square moving across in four frames at 50 a second, stopping on the last when `stops`,
// under a button over the whole stage that opens `address`.
std::shared_ptr<const Movie> movie(bool stops, const std::string& address = "http://advertiser.example/")
{
    Writer w(100, 20, 50);
    w.defineRectangle(1, {0, 400, 0, 400}, FillStyle{});
    w.defineRectangle(2, {0, 2000, 0, 400}, FillStyle{});
    w.defineButton(3, {{1 << Button::HitTest, 2, 1}}, Writer::Actions::getUrl(address));
    w.place({.depth = 2, .characterId = 3});
    for (int frame = 0; frame < 4; ++frame) {
        w.place({.depth = 1, .characterId = 1, .move = frame > 0, .matrix = at(frame * 400)});
        if (frame == 3 && stops)
            w.doAction(Writer::Actions::stop());
        w.showFrame();
    }
    return std::make_shared<const Movie>(readMovie(w.finish()));
}

struct Shown {
    QWidget window;
    QLabel* area = new QLabel(&window);
    testing::SimulatedLoop loop;
    testing::Journal journal;
    testing::FakeAddressOpener opener{journal};
    Shown()
    {
        area->setGeometry(0, 0, 100, 20);
        window.resize(100, 20);
        window.show();
    }
    // Whether the picture changes within `ms` of simulated time.
    bool changesWithin(int ms)
    {
        const qint64 before = area->pixmap().cacheKey();
        loop.advanceBy(ms);
        return area->pixmap().cacheKey() != before;
    }
    // Through the window, as the platform delivers them: a double click is a press, a release,
    // a second press marked as part of a double click, and a release.
    void click() { QTest::mouseClick(window.windowHandle(), Qt::LeftButton, {}, {50, 10}); }
    void doubleClick() { QTest::mouseDClick(window.windowHandle(), Qt::LeftButton, {}, {50, 10}); }
};

} // namespace

class SwfBannerTest : public QObject {
    Q_OBJECT

private slots:
    void init() { failOnUnexpectedWarnings(); }

    void playsWhileShownAndUntilItsMovieStops()
    {
        Shown s;
        banner::SwfBanner banner(movie(false), s.area, s.loop, s.opener);
        QVERIFY(!s.area->pixmap().isNull());
        QVERIFY(s.changesWithin(20));
        s.window.hide();
        QVERIFY(!s.changesWithin(200)); // no work while it cannot be seen
        s.window.show();
        QVERIFY(s.changesWithin(20));

        Shown stopping;
        banner::SwfBanner stopped(movie(true), stopping.area, stopping.loop, stopping.opener);
        stopping.loop.advanceBy(80); // four frames at 50 a second
        QVERIFY(!stopping.changesWithin(200));
    }

    void aClickOpensWhatTheButtonAsksForOnce()
    {
        Shown s;
        banner::SwfBanner banner(movie(true), s.area, s.loop, s.opener);
        s.click();
        QCOMPARE(s.opener.opened, std::vector<std::string>{"http://advertiser.example/"});
        s.doubleClick(); // one click more: its second press is part of the double click
        QCOMPARE(s.opener.opened.size(), 2u);
        QCOMPARE(s.area->cursor().shape(), Qt::PointingHandCursor); // over the button
        QEvent leave(QEvent::Leave);
        QApplication::sendEvent(s.area, &leave);
        QCOMPARE(s.area->cursor().shape(), Qt::ArrowCursor);

        Shown script;
        banner::SwfBanner scripted(movie(true, "javascript:alert(1)"), script.area, script.loop, script.opener);
        script.click();
        QVERIFY(script.opener.opened.empty());
    }

    // The movie arrives after the transfer's time, the area blank until then; a failed
    // transfer or a file that is no banner leaves it blank.
    void theLoaderShowsWhatArrivesInTheBackground()
    {
        Shown s;
        std::map<std::string, testing::FakeResponse> server;
        const std::string bytes = [] {
            Writer w(100, 20);
            w.defineRectangle(1, {0, 2000, 0, 400}, FillStyle{});
            w.place({.depth = 1, .characterId = 1});
            w.showFrame();
            return w.finish();
        }();
        server["/prx/banner.swf"] = {bytes, 500};
        server["/prx/error.swf"] = {"<html>moved</html>", 10};
        testing::FakeTransfer transfer("banner", server, s.loop, s.journal);
        banner::QtBannerPlayer player(transfer, s.loop, s.opener);
        player.setDisplay(s.area);
        player.loadMovie(0, "http://lists.example/prx/banner.swf");
        player.play();
        s.loop.advanceBy(499);
        QVERIFY(s.area->pixmap().isNull());
        s.loop.advanceBy(1);
        QVERIFY(!s.area->pixmap().isNull());

        Shown other;
        banner::QtBannerPlayer broken(transfer, other.loop, other.opener);
        broken.setDisplay(other.area);
        broken.loadMovie(0, "http://lists.example/prx/error.swf");
        broken.play();
        other.loop.advanceBy(1000);
        QVERIFY(other.area->pixmap().isNull());
    }
};

QTEST_MAIN(SwfBannerTest)
#include "tst_swf_banner.moc"
