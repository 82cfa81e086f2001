// Reading list files: lines, bytes and characters, and the draw of the other list.

#include <QtTest>

#include "app/text_encoding.h"
#include "base/printable.h"
#include "base/text_stream.h"
#include "lists/list_choice.h"
#include "platform/failure.h"
#include "platform/lcg_random_source.h"
#include "support/qt_compare.h"
#include "support/strict_warnings.h"

using namespace quillmere;
using quillmere::testing::failOnUnexpectedWarnings;

namespace {
// The lines as readLine gives them, one by one.
std::vector<std::string> linesOf(std::string bytes)
{
    TextStream stream{Bytes(std::move(bytes))};
    std::vector<std::string> lines;
    std::string line;
    while (!stream.atEndOfStream()) {
        stream.readLine(line);
        lines.push_back(line);
    }
    stream.close();
    return lines;
}

// The lines as the index of all of them gives them, after a first line read one by one.
std::vector<std::string> indexedLinesOf(std::string bytes)
{
    TextStream stream{Bytes(std::move(bytes))};
    std::vector<std::string> lines;
    if (!stream.atEndOfStream())
        stream.readLine(lines.emplace_back());
    const auto rest = stream.readRemainingLines();
    for (std::size_t i = 0; i < rest->count(); ++i)
        lines.emplace_back(rest->line(i));
    if (!stream.atEndOfStream())
        lines.emplace_back("the index left lines unread");
    return lines;
}
} // namespace

class ListTextTest : public QObject {
    Q_OBJECT

private slots:
    void init() { failOnUnexpectedWarnings(); }

    void lines_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QStringList>("lines");
        QTest::newRow("empty file") << QByteArray("") << QStringList();
        QTest::newRow("last line unterminated") << QByteArray("a\nb") << QStringList({"a", "b"});
        QTest::newRow("final terminator adds nothing") << QByteArray("a\nb\n") << QStringList({"a", "b"});
        QTest::newRow("empty lines are entries") << QByteArray("A\n\nB\n") << QStringList({"A", "", "B"});
        QTest::newRow("lone terminator") << QByteArray("\n") << QStringList({""});
        QTest::newRow("CR before LF dropped") << QByteArray("a\r\nb\r\n") << QStringList({"a", "b"});
        QTest::newRow("lone CR kept in the line") << QByteArray("a\rb\nc\r") << QStringList({"a\rb", "c\r"});
        QTest::newRow("only the last CR dropped") << QByteArray("a\r\r\n") << QStringList({"a\r"});
        QTest::newRow("nothing trimmed or merged")
            << QByteArray("  x \n  x \nx\n") << QStringList({"  x ", "  x ", "x"});
        QTest::newRow("NUL bytes") << QByteArray("a\0b\n\0\n", 6)
                                   << QStringList({QString::fromUtf8("a\0b", 3), QString(QChar(0))});
    }

    void lines()
    {
        QFETCH(QByteArray, file);
        QFETCH(QStringList, lines);
        QCOMPARE(testing::qt(linesOf(file.toStdString())), lines);
        QCOMPARE(testing::qt(indexedLinesOf(file.toStdString())), lines);
    }

    void aClosedOrFinishedStreamRefusesToRead()
    {
        TextStream stream{Bytes("x")};
        std::string line;
        stream.readLine(line);
        QVERIFY_THROWS_EXCEPTION(std::logic_error, stream.readLine(line));
        stream.close();
        QVERIFY_THROWS_EXCEPTION(std::logic_error, stream.atEndOfStream());
    }

    void aLongLineIsOneEntry()
    {
        const std::string big(10 * 1024 * 1024, 'x');
        const auto lines = linesOf("a\n" + big + "\nb");
        QCOMPARE(lines.size(), 3u);
        QCOMPARE(lines[1].size(), big.size());
    }

    void decoding_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("text");
        QTest::newRow("ascii") << QByteArray("proxy.example") << QStringLiteral("proxy.example");
        QTest::newRow("utf-8") << QByteArray("caf\xc3\xa9.example") << QStringLiteral("café.example");
        QTest::newRow("windows-1252") << QByteArray("caf\xe9 \x80 \x96") << QStringLiteral("café € –");
        QTest::newRow("undefined 1252 byte") << QByteArray("\x81") << QString(QChar(0x81));
        QTest::newRow("overlong is not utf-8") << QByteArray("\xc0\xaf") << QStringLiteral("À¯");
        QTest::newRow("surrogate is not utf-8") << QByteArray("\xed\xa0\x80") << QStringLiteral("í\u00a0€");
        QTest::newRow("truncated sequence") << QByteArray("ab\xe2\x82") << QStringLiteral("abâ‚");
        QTest::newRow("four-byte utf-8") << QByteArray("\xf0\x9f\x98\x80") << QString::fromUtf8("\xf0\x9f\x98\x80");
        QTest::newRow("1252 after eight ascii")
            << QByteArray("long-ascii-run.\xe9") << QStringLiteral("long-ascii-run.é");
        QTest::newRow("utf-8 after eight ascii")
            << QByteArray("long-ascii-run.\xc3\xa9") << QStringLiteral("long-ascii-run.é");
        QTest::newRow("above U+10FFFF") << QByteArray("\xf4\x90\x80\x80") << QStringLiteral("ô\u0090€€");
    }

    void decoding()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, text);
        QCOMPARE(QString::fromStdString(toUtf8(bytes.toStdString())), text);
    }

    void errorLinesCarryNoControlCharacters()
    {
        QCOMPARE(printable("a\x1b[2Jb\r\n\x7f\xc3\xa9"), "a\\x1b[2Jb\\x0d\\x0a\\x7f\xc3\xa9");
    }

    void listChoiceBoundaries()
    {
        QCOMPARE(lists::drawListChoice(0.0f), 1);
        QCOMPARE(lists::drawListChoice(0.1999999f), 1);
        QCOMPARE(lists::drawListChoice(0.2f), 2);
        QCOMPARE(lists::drawListChoice(0.6f), 4);
        QCOMPARE(lists::drawListChoice(0.7055475f), 4);
        QCOMPARE(lists::drawListChoice(0.9999999f), 5);
    }

    void everyRunDrawsTheSameChoices()
    {
        platform::LcgRandomSource random;
        const float first = random.next();
        QVERIFY(qAbs(first - 0.7055475f) < 1e-6f);
        std::vector<int> choices{lists::drawListChoice(first)};
        for (int i = 1; i < 10; ++i)
            choices.push_back(lists::drawListChoice(random.next()));
        QCOMPARE(choices, (std::vector<int>{4, 3, 3, 2, 2, 4, 1, 4, 5, 4}));
    }
};

QTEST_APPLESS_MAIN(ListTextTest)
#include "tst_list_text.moc"
