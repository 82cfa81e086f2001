// The program's command line, run as a user runs it: --help and --version answer with no
// display at all; anything else it does not know gets one line and status 2, and no window.

#include <QProcess>
#include <QProcessEnvironment>
#include <QtTest>

class CommandLineTest : public QObject {
    Q_OBJECT

    struct Run {
        int status;
        QString out, err;
    };
    // `display`: whether the window's toolkit could start (offscreen); if not, it has no display.
    static Run run(const QStringList& arguments, bool display)
    {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
            environment.remove(QString::fromLatin1(name));
        if (display)
            environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        QProcess program;
        program.setProcessEnvironment(environment);
        program.start(QStringLiteral(QUILLMERE_PROGRAM), arguments);
        // A window would run until stopped: the test fails on the time-out rather than hangs.
        if (!program.waitForFinished(20000)) {
            program.kill();
            program.waitForFinished();
            return {-1, {}, QStringLiteral("still running")};
        }
        return {program.exitStatus() == QProcess::NormalExit ? program.exitCode() : -1,
                QString::fromLocal8Bit(program.readAllStandardOutput()),
                QString::fromLocal8Bit(program.readAllStandardError())};
    }

private slots:
    void versionAndHelpNeedNoDisplay()
    {
        const Run version = run({QStringLiteral("--version")}, false);
        QCOMPARE(version.status, 0);
        QCOMPARE(version.out, QStringLiteral("quillmere 1.0\n"));
        const Run help = run({QStringLiteral("-h")}, false);
        QCOMPARE(help.status, 0);
        QVERIFY2(help.out.contains(QStringLiteral("--version")), qPrintable(help.out));
        // Qt's own options pass, whichever comes first.
        QCOMPARE(run({QStringLiteral("-platform"), QStringLiteral("offscreen"), QStringLiteral("-v")}, false).out,
                 QStringLiteral("quillmere 1.0\n"));
    }

    void anythingElseIsRefusedInOneLine_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("said");
        QTest::newRow("unknown option") << QStringList{QStringLiteral("--bogus")} << "Unknown option 'bogus'.";
        QTest::newRow("an argument") << QStringList{QStringLiteral("list.txt")} << "Unexpected argument 'list.txt'.";
        QTest::newRow("after Qt's own option")
            << QStringList{QStringLiteral("-style"), QStringLiteral("fusion"), QStringLiteral("--x")}
            << "Unknown option 'x'.";
    }

    void anythingElseIsRefusedInOneLine()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QString, said);
        const Run refused = run(arguments, true);
        QCOMPARE(refused.status, 2);
        QCOMPARE(refused.out, QString());
        const QStringList lines = refused.err.split('\n', Qt::SkipEmptyParts).filter(QStringLiteral("quillmere:"));
        QCOMPARE(lines, QStringList{QStringLiteral("quillmere: ") + said + QStringLiteral(" See quillmere --help.")});
    }
};

QTEST_GUILESS_MAIN(CommandLineTest)
#include "tst_command_line.moc"
