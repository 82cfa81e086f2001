// Start-up on the simulated clock: the stages and their timing, the connection check, the
// server notice file; and the Linux connectivity probe.

#include <QtTest>

#include "fakes/model_on_fakes.h"
#include "platform/connectivity_linux.h"
#include "support/qt_compare.h"
#include "support/strict_warnings.h"

using namespace quillmere;
using namespace quillmere::testing;

namespace {

std::map<std::string, FakeResponse> listServer(std::string notice)
{
    std::map<std::string, FakeResponse> server{
        {"/prx/info.bin", {std::move(notice)}},
        {"/prx/top20.bin", {listFile({"A", "B"})}},
        {"/prx/top30.bin", {listFile({"X"})}},
    };
    for (int n = 1; n <= 5; ++n)
        server["/prx/list" + std::to_string(n) + ".bin"] = {listFile({"P" + std::to_string(n)})};
    return server;
}

struct Started : ModelOnFakes {
    explicit Started(std::string notice = "1\n") : ModelOnFakes(listServer(std::move(notice)))
    {
        main.raise(ControlId::Main, Event::Load);
    }
    QStringList titles() const
    {
        QStringList shown;
        for (const auto& message : messages.shown)
            shown << QString::fromStdString(message.title);
        return shown;
    }
};

const char* const kIpv4Header = "Iface\tDestination\tGateway\tFlags\tRefCnt\tUse\tMetric\tMask\tMTU\tWindow\tIRTT\n";

} // namespace

class StartupTest : public QObject {
    Q_OBJECT

private slots:
    void init() { failOnUnexpectedWarnings(); }

    void theStagesRunInOrder100msApart()
    {
        Started w;
        QCOMPARE(w.main.Label2.caption(), std::string(kLoadingCaption));
        w.server["/prx/info.bin"].takesMs = 50;
        w.loop.at(120, [&] { QCOMPARE(w.main.Timer1.interval(), 0); }); // not before the notice step ends
        w.loop.at(249, [&] { QCOMPARE(w.main.List1.count(), 0u); });
        w.loop.advanceBy(250);
        QCOMPARE(w.main.List1.count(), 2u); // 100 ms after the notice step ended at 150
        QCOMPARE(qt(w.journal).mid(0, 6), QStringList({"inet2 fetch /prx/info.bin", "write info.bin", "read info.bin",
                                                       "banner load 0 http://lists.test/prx/banner.swf", "banner play",
                                                       "inet1 fetch /prx/top20.bin"}));
        QCOMPARE(w.main.Label2.caption(), std::string(kCompleteCaption));
        QVERIFY(w.messages.shown.empty());
        QVERIFY(w.files.files.empty());

        w.journal.clear();
        w.loop.advanceBy(10000);
        QVERIFY(w.journal.empty()); // each stage runs once
    }

    void theCheckRunsOnceEvenWhenItTakesLongerThanItsInterval()
    {
        Started w;
        w.server["/prx/info.bin"].takesMs = 500;
        w.loop.advanceBy(2000);
        QCOMPARE(w.journalOf("info.bin").size(), 4u);  // fetch, write, read, remove
        QCOMPARE(w.journalOf("top20.bin").size(), 4u); // fetch, write, read, remove
    }

    void notConnectedSaysSoOnceThenLoadsAnyway()
    {
        Started w;
        w.connectivity.state = 0;
        w.loop.advanceBy(1000);
        QCOMPARE(w.titles(), QStringList({"Connection Error"}));
        QCOMPARE(w.messages.shown[0].text, "No connection available please, Check your internet connection");
        QCOMPARE(QString::fromStdString(w.journal.front()), "message Connection Error");
        QCOMPARE(w.main.List1.count(), 2u);
    }

    void theProbeTrustsOnlyTheValueOne()
    {
        ModelOnFakes w;
        for (std::uint32_t state : {0u, 2u, 0xFFFFFFFFu}) {
            w.connectivity.state = state;
            QVERIFY(!w.main.CheckInternetConnection());
        }
        w.connectivity.state = 1;
        QVERIFY(w.main.CheckInternetConnection());
    }

    void eachNewVersionNoticeIsShown_data()
    {
        QTest::addColumn<QByteArray>("notice");
        QTest::addColumn<int>("messages");
        QTest::newRow("one") << QByteArray("2") << 1;
        QTest::newRow("three in a row") << QByteArray("2\n2\r\n2\n") << 3;
        QTest::newRow("numeric, not textual") << QByteArray(" 2\n2.0\n02\n+2\n2 \n") << 5;
        QTest::newRow("other values") << QByteArray("0\n1\n3\n-2\n2.5\n") << 0;
        QTest::newRow("empty file") << QByteArray("") << 0;
        QTest::newRow("not numbers are skipped") << QByteArray("\nabc\n2abc\n0x2\n2\n") << 1;
    }

    void eachNewVersionNoticeIsShown()
    {
        QFETCH(QByteArray, notice);
        QFETCH(int, messages);
        Started w(notice.toStdString());
        w.loop.advanceBy(1000);
        QCOMPARE(w.titles(), QStringList(messages, "Software update"));
        for (const auto& message : w.messages.shown)
            QCOMPARE(message.text, "New version of Quillmere is available for download from quillmere.example");
        QCOMPARE(w.main.List1.count(), 2u);
    }

    void theStatusBlinksWhileAMessageIsOpen()
    {
        Started w("2\n");
        w.messages.openForMs = 1000;
        std::vector<bool> shown;
        for (int t = 350; t <= 1050; t += 300)
            w.loop.at(t, [&] { shown.push_back(w.main.Label2.visible()); });
        w.loop.advanceBy(1200);
        QCOMPARE(w.messages.shown.size(), 1u);
        QCOMPARE(shown, (std::vector<bool>{false, true, false}));
        QVERIFY(w.main.Label2.visible());
    }

    void aNoticeThatCannotBeReadDoesNotStopTheLoad()
    {
        Started w;
        w.server.erase("/prx/info.bin");
        w.loop.advanceBy(1000);
        QVERIFY(w.messages.shown.empty());
        QCOMPARE(w.main.Label2.caption(), std::string(kCompleteCaption));
        QCOMPARE(w.main.List1.count(), 2u);
    }

    void routeTables_data()
    {
        QTest::addColumn<QByteArray>("ipv4");
        QTest::addColumn<QByteArray>("ipv6");
        QTest::addColumn<uint>("state");
        const QByteArray loopbackOnly6 = "00000000000000000000000000000000 00 00000000000000000000000000000000 00 "
                                         "00000000000000000000000000000000 ffffffff 00000001 00000000 00200200 lo\n";
        QTest::newRow("IPv4 default route up")
            << kIpv4Header + QByteArray("eth0\t00000000\t010200C0\t0003\t0\t0\t0\t00000000\t0\t0\t0\n") << loopbackOnly6
            << 1u;
        QTest::newRow("IPv4 default route down")
            << kIpv4Header + QByteArray("eth0\t00000000\t010200C0\t0002\t0\t0\t0\t00000000\t0\t0\t0\n") << QByteArray()
            << 0u;
        QTest::newRow("only a local network")
            << kIpv4Header + QByteArray("eth0\t000200C0\t00000000\t0001\t0\t0\t0\t00FFFFFF\t0\t0\t0\n") << QByteArray()
            << 0u;
        QTest::newRow("only loopback") << QByteArray(kIpv4Header) << loopbackOnly6 << 0u;
        QTest::newRow("IPv6 only")
            << QByteArray(kIpv4Header)
            << QByteArray("00000000000000000000000000000000 00 00000000000000000000000000000000 00 "
                          "fe800000000000000000000000000001 00000400 00000001 00000000 00450003 wlan0\n")
            << 1u;
        QTest::newRow("garbage") << QByteArray("x\neth0 00000000 0 zz 0 0 0 00000000\n") << QByteArray("junk") << 0u;
    }

    void routeTables()
    {
        QFETCH(QByteArray, ipv4);
        QFETCH(QByteArray, ipv6);
        QFETCH(uint, state);
        QCOMPARE(platform::connectedStateFromRoutes(ipv4.toStdString(), ipv6.toStdString()), state);
    }

    // Run by CTest inside a fresh network namespace, where only loopback exists.
    void inAnEmptyNetworkNamespaceTheMachineIsOffline()
    {
        if (qEnvironmentVariableIsEmpty("QUILLMERE_EXPECT_OFFLINE"))
            QSKIP("only meaningful inside an empty network namespace");
        QCOMPARE(platform::LinuxConnectivity().connectedState(), 0u);
    }
};

QTEST_APPLESS_MAIN(StartupTest)
#include "tst_startup.moc"
