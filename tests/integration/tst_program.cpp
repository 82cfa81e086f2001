// The real program, offscreen, against a real local list server: start-up load, reload,
// failure, the blink while waiting, the banner, and the staging directory.

#include <QtTest>

#include <iostream>
#include <sstream>

#include <QClipboard>
#include <QFileInfo>
#include <QLabel>
#include <QBuffer>
#include <QMovie>

#include "support/running_program.h"
#include "swf_writer.h"
#include "support/strict_warnings.h"

using namespace quillmere;
using namespace quillmere::testing;
using Reply = HttpTestServer::Reply;
using namespace std::chrono_literals;

namespace {

QByteArray lines(std::initializer_list<const char*> entries)
{
    QByteArray file;
    for (const char* entry : entries)
        file += QByteArray(entry) + "\r\n";
    return file;
}

QByteArray demoBanner()
{
    QFile banner(QStringLiteral(QUILLMERE_SOURCE_DIR "/demo/prx/banner.swf"));
    banner.open(QIODevice::ReadOnly);
    return banner.readAll();
}

Reply listServer(const QByteArray& path)
{
    if (path == "/prx/top20.bin")
        return {200, lines({"a.example", "b.example"})};
    if (path == "/prx/top30.bin")
        return {200, lines({"x.example", "y.example"})};
    if (path == "/prx/info.bin")
        return {200, "1\n2\n"};
    if (path == "/prx/banner.swf")
        return {200, demoBanner()};
    if (path.startsWith("/prx/list"))
        return {200, lines({path.mid(5, 5).constData()})};
    return {404, "not here"};
}

// Stands in for the user's browser: $BROWSER names a script that logs each argument it is
// given, a line each.
struct BrowserLog {
    QTemporaryDir dir;
    BrowserLog()
    {
        QFile script(dir.filePath("browser"));
        script.open(QIODevice::WriteOnly);
        script.write("#!/bin/sh\nprintf '%s\\n' \"$@\" >> \"$0.log\"\n");
        script.setPermissions(script.permissions() | QFile::ExeOwner);
        qputenv("BROWSER", script.fileName().toLocal8Bit());
    }
    ~BrowserLog() { qunsetenv("BROWSER"); }
    QStringList opened() const
    {
        QFile log(dir.filePath("browser.log"));
        return log.open(QIODevice::ReadOnly) ? QString::fromUtf8(log.readAll()).split('\n', Qt::SkipEmptyParts)
                                             : QStringList();
    }
};

struct Program : RunningProgram {
    explicit Program(HttpTestServer& server, std::chrono::milliseconds timeout = 2s) : RunningProgram(server, timeout)
    {
    }
};

} // namespace

class ProgramTest : public QObject {
    Q_OBJECT

    QTemporaryDir temp_;

private slots:
    void init() { failOnUnexpectedWarnings(); }

    void initTestCase()
    {
        QVERIFY(temp_.isValid());
        qputenv("TMPDIR", temp_.path().toLocal8Bit()); // staging directories go here
    }

    void startupShowsTheNoticeAndLoadsTheListsAndAReloadLoadsThemAgain()
    {
        HttpTestServer server(listServer);
        QString staging;
        {
            Program p(server);
            staging = p.app.stagingDirectory();
            QVERIFY(staging.startsWith(temp_.path() + "/quillmere-"));
            QCOMPARE(QFileInfo(staging).permissions(), // no access for group or others
                     QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner | QFile::ReadUser | QFile::WriteUser
                         | QFile::ExeUser);

            QTRY_COMPARE_WITH_TIMEOUT(p.status(), "Loading Complete", 10000);
            QCOMPARE(p.messages.texts.filter("New version").first(),
                     "New version of Quillmere is available for download from quillmere.example");
            QCOMPARE(p.entries("List1"), QStringList({"b.example", "a.example"}));
            QCOMPARE(p.entries("List2"), QStringList({
                                             "y.example",
                                             "x.example",
                                             "list4",
                                         }));
            QCOMPARE(server.requests().mid(0, 2), QList<QByteArray>({"/prx/info.bin", "/prx/banner.swf"}));
            QCOMPARE(QDir(staging).entryList(QDir::Files), QStringList()); // every staging file deleted

            QTest::mouseClick(p.app.window().findChild<QWidget*>("Image3"), Qt::LeftButton);
            QTRY_COMPARE_WITH_TIMEOUT(p.status(), "Loading Complete", 10000);
            QCOMPARE(server.requests().last(), "/prx/list3.bin");
            QCOMPARE(p.entries("List2"), QStringList({"y.example", "x.example", "list3"}));
            QCOMPARE(QDir(staging).entryList(QDir::Files), QStringList());
            QCOMPARE(p.messages.texts.filter("New version").size(), 1);
        }
        QVERIFY(!QFileInfo::exists(staging)); // removed when the program ends
    }

    void aFailedLoadLeavesTheWindowIdleWithItsReason()
    {
        HttpTestServer server([](const QByteArray& path) {
            return path == "/prx/top30.bin" ? Reply{500, "<html>error</html>\n"} : listServer(path);
        });
        Program p(server);
        QTRY_COMPARE_WITH_TIMEOUT(p.status(), "Loading Failed", 10000);
        auto* label2 = p.app.window().findChild<QLabel*>("Label2");
        QVERIFY(label2->isVisible());
        QVERIFY2(label2->toolTip().contains("top30.bin") && label2->toolTip().contains("500"),
                 qPrintable(label2->toolTip()));
        QCOMPARE(p.entries("List1"), QStringList({"b.example", "a.example"}));
        QVERIFY(p.entries("List2").filter("error").isEmpty());
        QVERIFY(p.app.model().Image3.enabled());
    }

    void theStatusBlinksWhileASlowListArrives()
    {
        HttpTestServer server([](const QByteArray& path) {
            if (path == "/prx/top20.bin")
                return Reply{200, QByteArray(200, 'a') + "\n", Reply::Mode::Slow, 10, 70}; // about 1.4 s
            return listServer(path);
        });
        Program p(server);
        auto* label2 = p.app.window().findChild<QLabel*>("Label2");
        int changes = 0;
        bool visible = label2->isVisible();
        QTimer watch;
        connect(&watch, &QTimer::timeout, [&] {
            changes += label2->isVisible() != visible;
            visible = label2->isVisible();
        });
        watch.start(20);
        QTRY_COMPARE_WITH_TIMEOUT(p.status(), "Loading Complete", 10000);
        QVERIFY2(changes >= 4, qPrintable(QString::number(changes)));
        QVERIFY(label2->isVisible());
    }

    void aPickedEntryGoesToTheClipboard()
    {
        HttpTestServer server(listServer);
        Program p(server);
        QTRY_COMPARE_WITH_TIMEOUT(p.status(), "Loading Complete", 10000);
        p.clickEntry("List1", 1);
        p.click("Image7");
        QCOMPARE(QGuiApplication::clipboard()->text(), "a.example");
    }

    // The browser is given "http://www." and the entry, escaped where a URL must be, as one
    // argument and exactly as built; nothing in an entry runs, and one that cannot be an address
    // says so.
    void navigateGivesTheBrowserEachEntryAsOneAddress()
    {
        const QString marker = temp_.filePath("ran");
        const QByteArray touch = "touch " + marker.toLocal8Bit();
        HttpTestServer server([&](const QByteArray& path) {
            if (path == "/prx/top20.bin")
                return Reply{200, lines({"ok.example", "x' y \"z", "$(" + touch + ")", "a;" + touch, "b\r" + touch,
                                         "http://already.example", " a \"b\".example "})};
            return listServer(path);
        });
        BrowserLog browser;
        Program p(server);
        QTRY_COMPARE_WITH_TIMEOUT(p.status(), "Loading Complete", 10000);
        for (int row = 0; row < 7; ++row) {
            p.clickEntry("List1", row);
            p.click("Image5");
        }
        const QString escapedTouch = "touch%20" + marker;
        QTRY_COMPARE_WITH_TIMEOUT(browser.opened().size(), 6, 10000);
        QCOMPARE(browser.opened(), QStringList({"http://www.a%20%22b%22.example", "http://www.http://already.example",
                                                "http://www.a;" + escapedTouch, "http://www.$(" + escapedTouch + ")",
                                                "http://www.x'%20y%20%22z", "http://www.ok.example"}));
        QCOMPARE(p.messages.texts.filter("control character").size(), 1);
        QVERIFY(!QFileInfo::exists(marker));
    }

    void exitOrCloseWhileAListHangsEndsAtOnce_data()
    {
        QTest::addColumn<bool>("throughTheFrame");
        QTest::newRow("exit command") << false;
        QTest::newRow("window closed") << true;
    }

    void exitOrCloseWhileAListHangsEndsAtOnce()
    {
        QFETCH(bool, throughTheFrame);
        HttpTestServer server([](const QByteArray& path) {
            return path == "/prx/top20.bin" ? Reply{200, "", Reply::Mode::NeverAnswer} : listServer(path);
        });
        Program p(server, 60s);
        QElapsedTimer clock;
        clock.start();
        QTimer::singleShot(1000, [&] {
            if (throughTheFrame)
                p.app.window().close();
            else
                p.click("Image6");
        });
        QTRY_VERIFY_WITH_TIMEOUT(p.app.model().unloaded(), 10000);
        QVERIFY2(clock.elapsed() < 3000, qPrintable(QString::number(clock.elapsed())));
        QVERIFY(!p.app.window().isVisible());
        QCOMPARE(p.status(), "Loading Proxy List, Please Wait . . . . . . ");
    }

    // The demo banner's invisible button opens the home page, once a click; a button that asks
    // for a script opens nothing.
    void aClickOnTheBannerOpensItsWebAddressOnly()
    {
        swf::SwfWriter script(449, 65);
        script.defineRectangle(1, {0, 449 * 20, 0, 65 * 20}, swf::FillStyle{});
        script.defineButton(2, {{1 << swf::Button::Up | 1 << swf::Button::HitTest, 1, 1}},
                            swf::SwfWriter::Actions::getUrl("javascript:alert(1)"));
        script.place({.depth = 1, .characterId = 2});
        script.showFrame();
        const QByteArray scriptBanner = QByteArray::fromStdString(script.finish());
        BrowserLog browser;
        for (const QByteArray& banner : {scriptBanner, demoBanner()}) {
            HttpTestServer server([&](const QByteArray& path) {
                return path == "/prx/banner.swf" ? Reply{200, banner} : listServer(path);
            });
            Program p(server);
            QLabel* area = p.app.window().bannerArea();
            QTRY_VERIFY_WITH_TIMEOUT(!area->pixmap().isNull(), 10000);
            QMouseEvent move(QEvent::MouseMove, QPointF(300, 30), area->mapToGlobal(QPointF(300, 30)), Qt::NoButton,
                             Qt::NoButton, Qt::NoModifier);
            QApplication::sendEvent(area, &move);
            QCOMPARE(area->cursor().shape(), Qt::PointingHandCursor); // over the hit area
            QTest::mouseClick(area, Qt::LeftButton, {}, QPoint(300, 30));
        }
        QTRY_COMPARE_WITH_TIMEOUT(browser.opened(), QStringList({"http://www.quillmere.example"}), 10000);
    }

    // A banner that trickles past the deadline, is larger than a movie may grow, or is an error
    // page is given up, saying why: the area stays blank and the lists load as ever.
    void aBannerTooSlowOrTooLargeIsGivenUp()
    {
        const QByteArray tooLarge = "FWS\x08" + QByteArray(33 << 20, '\0');
        // Only the slow one waits for its deadline: the others have time to arrive under any load.
        const std::tuple<Reply, std::chrono::milliseconds, const char*> cases[] = {
            {Reply{200, demoBanner(), Reply::Mode::Slow, 100, 200}, 1s, "timed out after 1 s"},
            {Reply{200, tooLarge}, 60s, "larger than 32 MiB"},
            {Reply{200, "<html>Moved elsewhere</html>"}, 60s, "neither a movie nor a picture"},
        };
        for (const auto& [banner, deadline, reason] : cases) {
            HttpTestServer server(
                [&](const QByteArray& path) { return path == "/prx/banner.swf" ? banner : listServer(path); });
            std::ostringstream errors;
            std::streambuf* stderrBuffer = std::cerr.rdbuf(errors.rdbuf());
            {
                Program p(server, deadline);
                QTRY_COMPARE_WITH_TIMEOUT(p.status(), "Loading Complete", 10000);
                QTRY_VERIFY_WITH_TIMEOUT(errors.str().find("banner not shown") != std::string::npos, 30000);
                QVERIFY(p.app.window().bannerArea()->pixmap().isNull());
            }
            std::cerr.rdbuf(stderrBuffer);
            QVERIFY2(errors.str().find(reason) != std::string::npos, errors.str().c_str());
        }
    }

    void theBannerPlaysAMovieOrShowsAPictureAndNothingBroken()
    {
        HttpTestServer server(listServer);
        {
            Program p(server);
            QLabel* banner = p.app.window().bannerArea();
            QTRY_VERIFY_WITH_TIMEOUT(!banner->pixmap().isNull(), 10000);
            const QImage first = banner->pixmap().toImage();
            QTRY_VERIFY_WITH_TIMEOUT(banner->pixmap().toImage() != first, 5000); // the light sweeps across
        }
        QByteArray png;
        QBuffer buffer(&png);
        buffer.open(QIODevice::WriteOnly);
        QImage(449, 65, QImage::Format_RGB32).save(&buffer, "PNG");
        for (const QByteArray& banner : {png, QByteArray("FWS\x06 not a movie")}) {
            server.setHandler([&](const QByteArray& path) {
                return path == "/prx/banner.swf" ? Reply{200, banner} : listServer(path);
            });
            Program p(server);
            QTRY_COMPARE_WITH_TIMEOUT(p.status(), "Loading Complete", 10000);
            // The picture plays as a QMovie; the broken movie is refused, and neither is a frame.
            QTRY_COMPARE_WITH_TIMEOUT(p.app.window().bannerArea()->movie() != nullptr, banner == png, 10000);
            QVERIFY(p.app.window().bannerArea()->pixmap().isNull());
        }
    }
};

QTEST_MAIN(ProgramTest)
#include "tst_program.moc"
