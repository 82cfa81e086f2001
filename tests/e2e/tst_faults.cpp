// The real program against a list server that goes wrong in every way we know of.
//
// Runs in-process where the window's state must be read, and as child processes of this same
// executable ("--program") where the exit status, two copies at once, or the end of the
// process matter. Transfers time out after QUILLMERE_TRANSFER_TIMEOUT_MS, set short for tests.

#include <QtTest>

#include <QProcess>
#include <QSocketNotifier>

#include <unistd.h>
#include <QRandomGenerator>

#include "app/build_config.h"
#include "platform/termination_signals_qt.h"
#include "support/running_program.h"
#include "support/strict_warnings.h"

using namespace quillmere;
using namespace quillmere::testing;
using Reply = HttpTestServer::Reply;

namespace {

const char* const kFiles[] = {"info.bin", "top20.bin", "top30.bin", "list4.bin"};

enum class Fault { NotFound, ServerError, Hang, Trickle, ResetMidBody, ShortBody, RandomBytes, OneHugeLine, NulBytes };
const char* const kFaultNames[]
    = {"404", "500", "hang", "trickle", "reset mid-body", "short body", "50 MB random", "10 MB line", "NUL bytes"};
constexpr int kFaults = std::size(kFaultNames);

bool failsTheTransfer(Fault fault)
{
    return fault <= Fault::ShortBody;
}

const QByteArray& randomBytes()
{
    static const QByteArray bytes = [] {
        QByteArray data(50 * 1024 * 1024, Qt::Uninitialized);
        QRandomGenerator generator(7);
        generator.fillRange(reinterpret_cast<quint32*>(data.data()), data.size() / 4);
        return data;
    }();
    return bytes;
}

QByteArray faultyBody(Fault fault)
{
    switch (fault) {
    case Fault::RandomBytes: return randomBytes();
    case Fault::OneHugeLine: return QByteArray(10 * 1024 * 1024, 'x');
    case Fault::NulBytes: return QByteArray(4096, '\0');
    default: return "<html><body>error page</body></html>\n";
    }
}

// Entries a body gives: its lines, the last one needing no terminator.
int linesIn(const QByteArray& body)
{
    return body.isEmpty() ? 0 : int(body.count('\n') + (body.endsWith('\n') ? 0 : 1));
}

Reply healthy(const QByteArray& path)
{
    if (path == "/prx/info.bin")
        return {200, "1\n"};
    if (path == "/prx/top20.bin")
        return {200, "t20-a.example\nt20-b.example\n"};
    if (path == "/prx/top30.bin")
        return {200, "t30-a.example\n"};
    if (path.startsWith("/prx/list"))
        return {200, path.mid(5, 5) + ".example\n"};
    return {404, "not here\n"};
}

HttpTestServer::Handler faulty(const QByteArray& file, Fault fault)
{
    return [file, fault](const QByteArray& path) {
        if (path != "/prx/" + file)
            return healthy(path);
        switch (fault) {
        case Fault::NotFound: return Reply{404, faultyBody(fault)};
        case Fault::ServerError: return Reply{500, faultyBody(fault)};
        case Fault::Hang: return Reply{200, {}, Reply::Mode::NeverAnswer};
        case Fault::Trickle: // a line every 200 ms, 8 s in all: never silent for long
            return Reply{200, QByteArray("trickle.example\n").repeated(40), Reply::Mode::Slow, 16, 200};
        case Fault::ResetMidBody: return Reply{200, QByteArray(100000, 'r'), Reply::Mode::ResetMidBody};
        case Fault::ShortBody: return Reply{200, faultyBody(fault), Reply::Mode::ShortBody};
        default: return Reply{200, faultyBody(fault)};
        }
    };
}

struct Program : RunningProgram {
    explicit Program(HttpTestServer& server, std::chrono::milliseconds timeout = config::kTransferTimeout)
        : RunningProgram(server, timeout)
    {
    }
};

int childProgram(int argc, char* argv[]);

} // namespace

class FaultsTest : public QObject {
    Q_OBJECT

    QString self_;

    // Starts this executable as the program.
    void startChild(QProcess& child, const QStringList& arguments)
    {
        child.start(self_, QStringList{"--program"} + arguments);
    }

    // Waits for a child with events running (the list server lives in this process); returns
    // its exit code, or -1 when it did not end normally in time.
    static int finished(QProcess& child, int timeoutMs = 30000)
    {
        if (child.state() != QProcess::NotRunning) {
            QEventLoop wait;
            connect(&child, &QProcess::finished, &wait, &QEventLoop::quit);
            QTimer::singleShot(timeoutMs, &wait, &QEventLoop::quit);
            wait.exec();
        }
        if (child.state() != QProcess::NotRunning) {
            child.kill();
            child.waitForFinished();
            return -1;
        }
        return child.exitStatus() == QProcess::NormalExit ? child.exitCode() : -1;
    }

private slots:
    void init() { failOnUnexpectedWarnings(); }

    void initTestCase()
    {
        self_ = QCoreApplication::applicationFilePath();
        randomBytes();
    }

    void eachFileAndFault_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<int>("fault");
        for (const char* file : kFiles)
            for (int fault = 0; fault < kFaults; ++fault)
                QTest::addRow("%s %s", file, kFaultNames[fault]) << QByteArray(file) << fault;
    }

    void eachFileAndFault()
    {
        QFETCH(QByteArray, file);
        QFETCH(int, fault);
        const auto which = Fault(fault);
        HttpTestServer server(faulty(file, which));
        // A large file that arrives whole is no test of the deadline, which a busy sanitizer
        // build would otherwise miss with 50 MB.
        Program p(server, failsTheTransfer(which) ? config::kTransferTimeout : std::chrono::milliseconds(30000));
        QTRY_VERIFY_WITH_TIMEOUT(p.idle(), 60000);

        const Main& m = p.app.model();
        QCOMPARE(m.mousePointer(), kDefaultPointer);
        QVERIFY(m.Image3.enabled());
        QCOMPARE(m.Timer3.interval(), 0);
        QVERIFY(m.Label2.visible());
        if (file == "info.bin" || !failsTheTransfer(which)) {
            QCOMPARE(p.status(), "Loading Complete");
            QVERIFY(p.stagingFiles().isEmpty());
            const int faultyLines = linesIn(faultyBody(which));
            QCOMPARE(p.count("List1"), file == "top20.bin" ? faultyLines : 2);
            const int list2 = (file == "top30.bin" ? faultyLines : 1) + (file == "list4.bin" ? faultyLines : 1);
            QCOMPARE(p.count("List2"), list2);
        } else {
            QCOMPARE(p.status(), "Loading Failed");
            const QString reason = QString::fromStdString(m.Label2.toolTip());
            QVERIFY2(reason.contains(file), qPrintable(reason));
            if (which == Fault::Hang || which == Fault::Trickle)
                QVERIFY2(reason.contains("timed out after"), qPrintable(reason));
            QCOMPARE(p.count("List1"), file == "top20.bin" ? 0 : 2); // what the lists held then
            QCOMPARE(p.count("List2"), 0);
        }

        server.setHandler(healthy); // a later reload works
        p.click("Image3");
        QTRY_COMPARE_WITH_TIMEOUT(p.status(), "Loading Complete", 60000);
        QCOMPARE(p.count("List1"), 2);
        QCOMPARE(p.count("List2"), 2);
        QVERIFY(p.stagingFiles().isEmpty());
        QVERIFY(m.Label2.toolTip().empty());
    }

    void exitOrCloseWhileAFetchHangs_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QString>("how");
        for (const char* file : kFiles)
            for (const char* how : {"exit", "close"})
                QTest::addRow("%s %s", file, how) << QByteArray(file) << QString::fromLatin1(how);
    }

    void exitOrCloseWhileAFetchHangs()
    {
        QFETCH(QByteArray, file);
        QFETCH(QString, how);
        QProcess child;
        QElapsedTimer clock;
        const auto hang = faulty(file, Fault::Hang);
        HttpTestServer server([&](const QByteArray& path) {
            if (path == "/prx/" + file) { // once the program waits for it, the user acts
                clock.start();
                QTimer::singleShot(200, [&] { child.write(how.toUtf8() + "\n"); });
            }
            return hang(path);
        });
        startChild(child, {server.hostAndPort()});
        QCOMPARE(finished(child), 0);
        const QString output = QString::fromUtf8(child.readAllStandardOutput());
        QVERIFY(clock.isValid());
        // Ended by the user: left to itself, the transfer would have timed out only now.
        QVERIFY2(clock.elapsed() < config::kTransferTimeout.count(), qPrintable(QString::number(clock.elapsed())));
        const QString staging = output.section("staging ", 1).section('\n', 0, 0);
        QVERIFY(!staging.isEmpty());
        QVERIFY2(!QFileInfo::exists(staging), qPrintable(staging));
    }

    void terminatedWhileAFetchHangsEndsCleanly()
    {
        HttpTestServer server(faulty("top20.bin", Fault::Hang));
        QProcess child;
        startChild(child, {server.hostAndPort()});
        QTRY_VERIFY_WITH_TIMEOUT(server.requests().contains("/prx/top20.bin"), 20000);
        child.terminate(); // SIGTERM
        QCOMPARE(finished(child), 0);
        const QString staging
            = QString::fromUtf8(child.readAllStandardOutput()).section("staging ", 1).section('\n', 0, 0);
        QVERIFY(!staging.isEmpty() && !QFileInfo::exists(staging));
    }

    void manyReloadClicksStartOneRefreshAtATime_data()
    {
        QTest::addColumn<bool>("duringStartup");
        QTest::newRow("during the start-up load") << true;
        QTest::newRow("during a reload") << false;
    }

    void manyReloadClicksStartOneRefreshAtATime()
    {
        QFETCH(bool, duringStartup);
        Program* program = nullptr;
        bool armed = duringStartup;
        int clicked = 0;
        // The clicks are fired while the top-20 list is on its way. Each has a timer of its own:
        // Qt never fires a timer again while its own tick is still running.
        HttpTestServer server([&](const QByteArray& path) {
            if (path == "/prx/top20.bin" && armed) {
                armed = false;
                for (int i = 0; i < 50; ++i)
                    QTimer::singleShot(5 * i, [&] {
                        ++clicked;
                        program->click("Image3");
                    });
            }
            if (path == "/prx/top20.bin")
                return Reply{200, QByteArray(300, 'a') + "\n", Reply::Mode::Slow, 30, 60}; // about 0.6 s
            return healthy(path);
        });
        Program p(server);
        program = &p;
        const auto listFetches
            = [&] { return std::count(server.requests().begin(), server.requests().end(), "/prx/top20.bin"); };
        if (!duringStartup) {
            QTRY_COMPARE_WITH_TIMEOUT(p.status(), "Loading Complete", 20000);
            armed = true;
            p.click("Image3");
        }
        QTRY_COMPARE_WITH_TIMEOUT(clicked, 50, 20000);
        QTRY_VERIFY_WITH_TIMEOUT(p.status() == "Loading Complete" && p.app.model().Image3.enabled(), 20000);
        // A start-up load ignores them; a reload disables the command until it is done.
        QCOMPARE(listFetches(), duringStartup ? 1 : 2);
        QCOMPARE(p.count("List1"), 1);
        QVERIFY(p.stagingFiles().isEmpty());
    }

    void twoCopiesAgainstOneServer()
    {
        HttpTestServer server([](const QByteArray& path) {
            if (path == "/prx/top20.bin")
                return Reply{200, "t20-a.example\nt20-b.example\n", Reply::Mode::Slow, 4, 50};
            return healthy(path);
        });
        QProcess first, second;
        for (QProcess* copy : {&first, &second})
            startChild(*copy, {server.hostAndPort(), "--exit-when-idle"});
        QStringList stagings;
        for (QProcess* copy : {&first, &second}) {
            QCOMPARE(finished(*copy), 0);
            const QString output = QString::fromUtf8(copy->readAllStandardOutput());
            QVERIFY2(output.contains("status Loading Complete lists 2 2"), qPrintable(output));
            stagings << output.section("staging ", 1).section('\n', 0, 0);
        }
        QVERIFY(stagings[0] != stagings[1]);
        for (const QString& staging : stagings)
            QVERIFY(!QFileInfo::exists(staging));
    }

    void aPlantedLinkInTheStagingDirectoryIsReplacedNotFollowed()
    {
        QTemporaryDir elsewhere;
        const QString secret = elsewhere.filePath("secret");
        QFile file(secret);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("private.example\n");
        file.close();
        HttpTestServer server(healthy);
        Program p(server);
        QVERIFY(QFile::link(secret, p.app.stagingDirectory() + "/top20.bin"));
        QTRY_VERIFY_WITH_TIMEOUT(p.idle(), 20000);
        QCOMPARE(p.status(), "Loading Complete");
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), "private.example\n");
        QCOMPARE(p.count("List1"), 2); // what the server sent, not what the link pointed to
    }
};

namespace {

// The program as main() runs it, with the user's actions read from standard input ("exit" clicks
// the exit command, "close" closes the window):
//   --program HOST:PORT [--exit-when-idle]
// Prints "staging DIR" first and, with --exit-when-idle, "status CAPTION lists N M" at the end.
int childProgram(int argc, char* argv[])
{
    QApplication qt(argc, argv);
    const QStringList args = QCoreApplication::arguments().mid(2);
    MessageCloser messages;
    Application app(testHosts(args.value(0).toStdString()), config::kTransferTimeout);
    std::printf("staging %s\n", qPrintable(app.stagingDirectory()));
    std::fflush(stdout);
    auto* exitButton = app.window().findChild<QWidget*>("Image6");

    QSocketNotifier commands(STDIN_FILENO, QSocketNotifier::Read);
    QObject::connect(&commands, &QSocketNotifier::activated, [&] {
        char line[64] = {};
        if (::read(STDIN_FILENO, line, sizeof line - 1) <= 0) {
            commands.setEnabled(false);
            return;
        }
        if (qstrncmp(line, "exit", 4) == 0)
            QTest::mouseClick(exitButton, Qt::LeftButton);
        else if (qstrncmp(line, "close", 5) == 0)
            app.window().close();
    });

    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        const Main& m = app.model();
        const QString status = QString::fromStdString(m.Label2.caption());
        if (args.contains("--exit-when-idle") && (status == "Loading Complete" || status == "Loading Failed")) {
            poll.stop();
            std::printf("status %s lists %zu %zu\n", qPrintable(status), m.List1.count(), m.List2.count());
            std::fflush(stdout);
            QTest::mouseClick(exitButton, Qt::LeftButton);
        }
    });
    poll.start(20);
    platform::TerminationSignals stopRequests([&] { app.window().close(); });
    app.start();
    return QApplication::exec();
}

} // namespace

int main(int argc, char* argv[])
{
    if (argc > 1 && qstrcmp(argv[1], "--program") == 0)
        return childProgram(argc, argv);
    QApplication qt(argc, argv);
    FaultsTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_faults.moc"
