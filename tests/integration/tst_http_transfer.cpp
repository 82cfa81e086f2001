// The real transfer: QNetworkAccessManager against a real local HTTP server.

#include <QtTest>

#include <QNetworkAccessManager>

#include "platform/failure.h"
#include "platform/transfer_qt.h"
#include "support/http_test_server.h"
#include "support/strict_warnings.h"

using namespace quillmere;
using namespace quillmere::testing;
using Reply = HttpTestServer::Reply;
using namespace std::chrono_literals;

namespace {

QByteArray binaryBody()
{
    QByteArray bytes;
    for (int i = 0; i < 70000; ++i)
        bytes += static_cast<char>(i % 256);
    return bytes;
}

QString failureOf(platform::Transfer& transfer, const std::string& address)
{
    try {
        transfer.fetch(address);
    } catch (const platform::Failure& failure) {
        return QString::fromStdString(failure.what());
    }
    return {};
}

} // namespace

class HttpTransferTest : public QObject {
    Q_OBJECT

    QNetworkAccessManager network_;

    std::string address(const HttpTestServer& server, const char* path)
    {
        return "http://" + server.hostAndPort().toStdString() + path;
    }

private slots:
    void init() { failOnUnexpectedWarnings(); }

    void aWholeResourceComesBackByteForByte_data()
    {
        QTest::addColumn<int>("mode");
        QTest::newRow("plain") << int(Reply::Mode::Normal);
        // Its Content-Length counts the deflated bytes, not the ones handed back.
        QTest::newRow("deflated") << int(Reply::Mode::Deflated);
    }

    void aWholeResourceComesBackByteForByte()
    {
        QFETCH(int, mode);
        HttpTestServer server([&](const QByteArray&) { return Reply{200, binaryBody(), Reply::Mode(mode)}; });
        platform::QtTransfer transfer(network_, 5s);
        const Bytes bytes = transfer.fetch(address(server, "/prx/top20.bin"));
        QCOMPARE(QByteArray(bytes.data(), qsizetype(bytes.size())), binaryBody());
        QCOMPARE(server.requests(), QList<QByteArray>({"/prx/top20.bin"}));
    }

    void failedTransfersThrowAndReturnNothing_data()
    {
        QTest::addColumn<int>("status");
        QTest::addColumn<int>("mode");
        QTest::addColumn<QString>("reason");
        QTest::newRow("404") << 404 << int(Reply::Mode::Normal) << "HTTP 404 Not Found";
        QTest::newRow("500") << 500 << int(Reply::Mode::Normal) << "HTTP 500 Internal Server Error";
        QTest::newRow("reset mid-body") << 200 << int(Reply::Mode::ResetMidBody) << "/prx/x.bin: ";
        QTest::newRow("body shorter than promised") << 200 << int(Reply::Mode::ShortBody) << "/prx/x.bin: ";
        QTest::newRow("no answer") << 200 << int(Reply::Mode::NeverAnswer) << "timed out";
    }

    void failedTransfersThrowAndReturnNothing()
    {
        QFETCH(int, status);
        QFETCH(int, mode);
        QFETCH(QString, reason);
        HttpTestServer server([&](const QByteArray&) {
            return Reply{status, "error page line\n" + binaryBody(), Reply::Mode(mode)};
        });
        platform::QtTransfer transfer(network_, 400ms);
        const QString failure = failureOf(transfer, address(server, "/prx/x.bin"));
        QVERIFY2(failure.contains(reason), qPrintable(failure));
    }

    void noServerIsAFailure()
    {
        quint16 closedPort = 0;
        {
            QTcpServer probe;
            probe.listen(QHostAddress::LocalHost, 0);
            closedPort = probe.serverPort();
        }
        platform::QtTransfer transfer(network_, 5s);
        const QString failure = failureOf(transfer, "http://127.0.0.1:" + std::to_string(closedPort) + "/prx/a.bin");
        QVERIFY2(failure.contains("refused"), qPrintable(failure));
        QVERIFY(failureOf(transfer, "ftp://127.0.0.1/x").contains("not an http address"));
    }

    void windowEventsKeepRunningWhileATransferWaits()
    {
        HttpTestServer server([](const QByteArray&) {
            return Reply{200, QByteArray(40, 'x'), Reply::Mode::Slow, 4, 50}; // about 500 ms
        });
        platform::QtTransfer transfer(network_, 5s);
        int ticks = 0;
        QTimer blink;
        connect(&blink, &QTimer::timeout, [&] { ++ticks; });
        blink.start(50);
        QElapsedTimer clock;
        clock.start();
        QCOMPARE(transfer.fetch(address(server, "/slow")).view(), std::string(40, 'x'));
        QVERIFY(clock.elapsed() >= 400);
        QVERIFY2(ticks >= 5, qPrintable(QString::number(ticks)));
    }
};

QTEST_GUILESS_MAIN(HttpTransferTest)
#include "tst_http_transfer.moc"
