// The list refresh on the simulated clock: what it fetches and shows, in which order, how it
// looks while it runs, and how it ends, completed or failed.

#include <QtTest>

#include "fakes/model_on_fakes.h"
#include "support/qt_compare.h"
#include "support/strict_warnings.h"

using namespace quillmere;
using namespace quillmere::testing;

namespace {

// Top-20 A, B, C; top-30 X, Y; other list n holds Pn, Qn.
std::map<std::string, FakeResponse> listServer()
{
    std::map<std::string, FakeResponse> server{
        {"/prx/top20.bin", {listFile({"A", "B", "C"})}},
        {"/prx/top30.bin", {listFile({"X", "Y"})}},
    };
    for (int n = 1; n <= 5; ++n)
        server["/prx/list" + std::to_string(n) + ".bin"]
            = {listFile({"P" + std::to_string(n), "Q" + std::to_string(n)})};
    return server;
}

// A window whose start-up check never runs, so that only what a test does happens.
struct Idle : ModelOnFakes {
    explicit Idle(std::map<std::string, FakeResponse> server = listServer()) : ModelOnFakes(std::move(server))
    {
        main.Timer2.setInterval(0);
    }
    void reload() { click(ControlId::Image3); }
    QStringList list1() const { return qt(entries(main.List1)); }
    QStringList list2() const { return qt(entries(main.List2)); }
    QStringList fetched() const { return qt(journalOf("fetch")); }
};

void verifyIdle(const Main& m, const char* caption)
{
    QCOMPARE(m.mousePointer(), kDefaultPointer);
    QVERIFY(m.Image3.enabled());
    QCOMPARE(m.Timer3.interval(), 0);
    QVERIFY(m.Label2.visible());
    QCOMPARE(m.Label2.caption(), caption);
}

} // namespace

class ListRefreshTest : public QObject {
    Q_OBJECT

private slots:
    void init() { failOnUnexpectedWarnings(); }

    void reloadShowsEachFileInReverseWithTop30AboveTheOtherList()
    {
        Idle w;
        w.reload();
        QCOMPARE(w.list1(), QStringList({"C", "B", "A"}));
        QCOMPARE(w.list2(), QStringList({"Y", "X", "Q4", "P4"}));
        verifyIdle(w.main, "Loading Complete");
        QVERIFY(w.main.Label2.toolTip().empty());
        QVERIFY(w.files.files.empty()); // every staging file deleted
        QCOMPARE(qt(w.journal), QStringList({
                                    "inet1 fetch /prx/top20.bin",
                                    "write top20.bin",
                                    "read top20.bin",
                                    "inet1 fetch /prx/top30.bin",
                                    "write top30.bin",
                                    "inet1 fetch /prx/list4.bin",
                                    "write list4.bin",
                                    "read list4.bin",
                                    "read top30.bin",
                                    "remove info.bin",
                                    "remove top20.bin",
                                    "remove top30.bin",
                                    "remove list1.bin",
                                    "remove list2.bin",
                                    "remove list3.bin",
                                    "remove list4.bin",
                                    "remove list5.bin",
                                }));
        QCOMPARE(*w.main.CurrentLine, "Y");
    }

    void aReloadReplacesBothListsEntirely()
    {
        Idle w;
        for (const char* old : {"old1", "old2", "old3", "old4", "old5"}) {
            w.main.List1.insert(old, 0);
            w.main.List2.insert(old, 0);
        }
        w.server["/prx/top20.bin"] = {""};
        w.reload();
        QCOMPARE(w.list1(), QStringList());
        QCOMPARE(w.list2(), QStringList({"Y", "X", "Q4", "P4"}));
    }

    void everyRunDrawsTheSameOtherLists()
    {
        Idle w;
        QStringList drawn;
        for (int i = 0; i < 10; ++i) {
            w.journal.clear();
            w.reload();
            QCOMPARE(w.fetched().size(), 3); // exactly three list files per refresh
            drawn << w.fetched().last().right(9);
        }
        QCOMPARE(drawn, QStringList({"list4.bin", "list3.bin", "list3.bin", "list2.bin", "list2.bin", "list4.bin",
                                     "list1.bin", "list4.bin", "list5.bin", "list4.bin"}));
    }

    void theWindowIsBusyAndBlinksWhileAReloadWaits()
    {
        Idle w;
        w.main.Timer3.setInterval(0); // steady, as after an earlier refresh
        w.main.List1.insert("old", 0);
        w.server["/prx/top20.bin"].takesMs = 1000;
        std::vector<bool> shown;
        for (int t = 250; t <= 1000; t += 100)
            w.loop.at(t, [&] { shown.push_back(w.main.Label2.visible()); });
        w.loop.at(500, [&] {
            QCOMPARE(w.main.mousePointer(), kHourglassPointer);
            QVERIFY(!w.main.Image3.enabled());
            QCOMPARE(w.main.Label2.caption(), std::string(kLoadingCaption));
            QCOMPARE(w.main.Timer3.interval(), 300);
            QCOMPARE(w.list1(), QStringList({"old"})); // kept until the new file is open
        });
        w.reload();
        // Hidden at the first tick 300 ms after the reload started, shown at 600, hidden at 900.
        QCOMPARE(shown, (std::vector<bool>{true, false, false, false, true, true, true, false}));
        verifyIdle(w.main, "Loading Complete");
        w.loop.advanceBy(1000);
        QVERIFY(w.main.Label2.visible()); // no toggling after completion
    }

    void completionShowsTheLabelTheBlinkHadHidden()
    {
        Idle w;
        w.server["/prx/top30.bin"].takesMs = 400; // the tick at 300 hides the label
        bool hiddenDuringLoad = false;
        w.loop.at(350, [&] { hiddenDuringLoad = !w.main.Label2.visible(); });
        w.reload();
        QVERIFY(hiddenDuringLoad);
        verifyIdle(w.main, "Loading Complete");
    }

    void aTickAfterTheBlinkStoppedLeavesTheLabelShown()
    {
        Idle w;
        w.main.Label2.setVisible(false);
        w.main.Timer3.setInterval(0);
        w.main.raise(ControlId::Timer3, Event::Tick);
        QVERIFY(w.main.Label2.visible());
    }

    void theStartupLoadStartsTheBannerAndKeepsOldOtherEntries()
    {
        Idle w;
        w.main.List2.insert("earlier", 0);
        w.main.Timer1.setInterval(100);
        w.loop.advanceBy(100);
        QCOMPARE(w.main.Timer1.interval(), 0);
        QCOMPARE(qt(w.journal).mid(0, 3), QStringList({"banner load 0 http://lists.test/prx/banner.swf", "banner play",
                                                       "inet1 fetch /prx/top20.bin"}));
        QCOMPARE(w.list2(), QStringList({"Y", "X", "Q4", "P4", "earlier"}));
        verifyIdle(w.main, "Loading Complete");
        w.journal.clear();
        w.loop.advanceBy(5000);
        QVERIFY(w.journal.empty()); // Timer1 ticks once per run
    }

    void aReloadDuringTheStartupLoadStartsNothing()
    {
        Idle w;
        w.server["/prx/top30.bin"].takesMs = 1000;
        w.main.Timer1.setInterval(100);
        w.loop.at(600, [&] { w.reload(); });
        w.loop.advanceBy(2000);
        QCOMPARE(w.fetched().size(), 3);
        verifyIdle(w.main, "Loading Complete");
    }

    void theStartupLoadWaitsForARunningReload()
    {
        Idle w;
        w.server["/prx/top20.bin"].takesMs = 1000;
        w.loop.at(0, [&] { w.reload(); });
        w.loop.at(200, [&] { w.main.Timer1.setInterval(100); });
        w.loop.advanceBy(3000);
        QCOMPARE(w.fetched().size(), 6); // the reload's three, then the start-up load's
        QCOMPARE(qt(w.journalOf("banner play")).size(), 1);
        QCOMPARE(w.main.Timer1.interval(), 0);
        verifyIdle(w.main, "Loading Complete");
    }

    void aStartupLoadAfterAFailedReloadDropsItsReason()
    {
        Idle w;
        w.server["/prx/top20.bin"] = {{}, 500, "connection closed"};
        w.loop.at(0, [&] { w.reload(); });
        w.loop.at(100, [&] { w.main.Timer1.setInterval(100); });
        w.loop.at(550, [&] { w.server = listServer(); });
        w.loop.advanceBy(3000);
        verifyIdle(w.main, "Loading Complete");
        QVERIFY(w.main.Label2.toolTip().empty());
    }

    void aFailedRefreshReturnsToIdleAndSaysWhy_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<bool>("unwritable");
        QTest::addColumn<QStringList>("list1");
        QTest::addColumn<QStringList>("list2");
        QTest::addColumn<QString>("reason");
        const QStringList old{"old"};
        QTest::newRow("top-20 missing") << "/prx/top20.bin" << false << old << old << "top20.bin: HTTP 404";
        QTest::newRow("top-30 times out")
            << "/prx/top30.bin" << false << QStringList({"C", "B", "A"}) << old << "top30.bin: timed out";
        QTest::newRow("other list cut short") << "/prx/list4.bin" << false << QStringList({"C", "B", "A"})
                                              << QStringList() << "list4.bin: connection closed";
        QTest::newRow("staging file unwritable")
            << "/prx/top20.bin" << true << old << old << "top20.bin: permission denied";
    }

    void aFailedRefreshReturnsToIdleAndSaysWhy()
    {
        QFETCH(QString, path);
        QFETCH(bool, unwritable);
        QFETCH(QStringList, list1);
        QFETCH(QStringList, list2);
        QFETCH(QString, reason);
        Idle w;
        w.main.List1.insert("old", 0);
        w.main.List2.insert("old", 0);
        const auto server = w.server;
        if (unwritable)
            w.files.unwritable.insert(ModelOnFakes::stagingPath(path.mid(5).toStdString()));
        else if (path.endsWith("top30.bin"))
            w.server[path.toStdString()] = {{}, 60000, "timed out"};
        else if (path.endsWith("list4.bin"))
            w.server[path.toStdString()] = {{}, 10, "connection closed"};
        else
            w.server.erase(path.toStdString());

        w.reload();
        verifyIdle(w.main, "Loading Failed");
        QCOMPARE(w.list1(), list1);
        QCOMPARE(w.list2(), list2);
        QVERIFY2(QString::fromStdString(w.main.Label2.toolTip()).contains(reason), w.main.Label2.toolTip().c_str());
        QVERIFY(w.messages.shown.empty());

        w.server = server;
        w.files.unwritable.clear();
        w.reload();
        verifyIdle(w.main, "Loading Complete");
        QVERIFY(w.main.Label2.toolTip().empty());
        QCOMPARE(w.list1(), QStringList({"C", "B", "A"}));
        QVERIFY(w.files.files.empty()); // the next refresh cleans up what the failed one left
    }

    void oddBytesNeverDropLines()
    {
        Idle w;
        const std::string longLine(10 * 1024 * 1024, 'x');
        w.server["/prx/top20.bin"] = {std::string("nul\0here\n", 9) + "caf\xe9\n" + "lone\rcr\n" + longLine + "\n\n"};
        w.reload();
        QCOMPARE(w.main.List1.count(), 5u);
        QCOMPARE(w.main.List1.entry(0), "");
        QCOMPARE(w.main.List1.entry(1).size(), longLine.size());
        QCOMPARE(w.list1().at(2), "lone\rcr");
        QCOMPARE(w.list1().at(3), "café");
        QCOMPARE(w.main.List1.entry(4), std::string_view("nul\0here", 8));
    }

    void deletingStagingFilesTriesAllEightWhateverIsMissing()
    {
        Idle w;
        w.files.files[ModelOnFakes::stagingPath("list3.bin")] = "x";
        w.main.DeleteStagingFiles();
        QCOMPARE(w.journalOf("remove").size(), 8u);
        QVERIFY(w.files.files.empty());
    }
};

QTEST_APPLESS_MAIN(ListRefreshTest)
#include "tst_list_refresh.moc"
