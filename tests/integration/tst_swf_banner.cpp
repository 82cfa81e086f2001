// The banner player on screen (offscreen): it plays while shown and only then, stops with its
// movie, and a click on a button opens what the button asks for, once; the hand shows over the
// button until the pointer leaves.

#include <QtTest>

#include <QLabel>

#include "fakes/fake_services.h"
#include "platform/swf_banner_qt.h"
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
    testing::Journal journal;
    testing::FakeAddressOpener opener{journal};
    Shown()
    {
        area->setGeometry(0, 0, 100, 20);
        window.resize(100, 20);
        window.show();
    }
    // Whether the picture changes within `ms`.
    bool changesWithin(int ms)
    {
        const qint64 before = area->pixmap().cacheKey();
        return QTest::qWaitFor([&] { return area->pixmap().cacheKey() != before; }, ms);
    }
    void click(QEvent::Type second = QEvent::None)
    {
        QTest::mouseClick(area, Qt::LeftButton, {}, {50, 10});
        if (second == QEvent::MouseButtonDblClick)
            QTest::mouseDClick(area, Qt::LeftButton, {}, {50, 10});
    }
};

} // namespace

class SwfBannerTest : public QObject {
    Q_OBJECT

private slots:
    void init() { failOnUnexpectedWarnings(); }

    void playsWhileShownAndUntilItsMovieStops()
    {
        Shown s;
        platform::SwfBanner banner(movie(false), s.area, s.opener);
        QVERIFY(!s.area->pixmap().isNull());
        QVERIFY(s.changesWithin(1000));
        s.window.hide();
        QTest::qWait(50);
        QVERIFY(!s.changesWithin(200)); // no work while it cannot be seen
        s.window.show();
        QVERIFY(s.changesWithin(1000));

        Shown stopping;
        platform::SwfBanner stopped(movie(true), stopping.area, stopping.opener);
        QTest::qWait(300); // four frames at 50 a second, and well past them
        QVERIFY(!stopping.changesWithin(200));
    }

    void aClickOpensWhatTheButtonAsksForOnce()
    {
        Shown s;
        platform::SwfBanner banner(movie(true), s.area, s.opener);
        s.click();
        QCOMPARE(s.opener.opened, std::vector<std::string>{"http://advertiser.example/"});
        s.click(QEvent::MouseButtonDblClick); // a second click, then the second press of a double click
        QCOMPARE(s.opener.opened.size(), 2u);
        QCOMPARE(s.area->cursor().shape(), Qt::PointingHandCursor); // over the button
        QEvent leave(QEvent::Leave);
        QApplication::sendEvent(s.area, &leave);
        QCOMPARE(s.area->cursor().shape(), Qt::ArrowCursor);

        Shown script;
        platform::SwfBanner scripted(movie(true, "javascript:alert(1)"), script.area, script.opener);
        script.click();
        QVERIFY(script.opener.opened.empty());
    }
};

QTEST_MAIN(SwfBannerTest)
#include "tst_swf_banner.moc"
