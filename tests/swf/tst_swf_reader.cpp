// The reader against broken and hostile movies: each is refused with a reason, within the
// limits, and nothing a movie says can make the player recurse or allocate without bound.

#include <QtTest>

#include <functional>

#include "support/strict_warnings.h"
#include <zlib.h>

#include "swf/format_error.h"
#include "swf/inflate.h"
#include "swf/limits.h"
#include "swf/html_text.h"
#include "swf/movie_reader.h"
#include "swf/player.h"
#include "swf_writer.h"

using namespace quillmere::swf;
using quillmere::testing::failOnUnexpectedWarnings;
using Writer = SwfWriter;

namespace {

constexpr Rgba kRed{255, 0, 0, 255}, kWhite{255, 255, 255, 255};

QString refusal(const std::string& file)
{
    try {
        readMovie(file);
    } catch (const FormatError& error) {
        return QString::fromStdString(error.what());
    }
    return {};
}

std::string le16(std::uint32_t v)
{
    return {char(v), char(v >> 8)};
}

std::string compressed(const std::string& data)
{
    uLongf size = compressBound(uLong(data.size()));
    std::string out(size, '\0');
    compress(reinterpret_cast<Bytef*>(out.data()), &size, reinterpret_cast<const Bytef*>(data.data()),
             uLong(data.size()));
    out.resize(size);
    return out;
}

// A movie with one tag and nothing else.
Movie movieWith(std::uint16_t code, const std::string& body, std::uint8_t version = 8)
{
    Writer w(10, 10, 12, version);
    w.tag(code, body);
    w.showFrame();
    return readMovie(w.finish());
}

const Bitmap& bitmapOf(const Movie& movie)
{
    const Bitmap* bitmap = movie.find<Bitmap>(1);
    if (!bitmap)
        throw FormatError(movie.unreadable.empty() ? "no bitmap" : movie.unreadable.front());
    return *bitmap;
}

std::string le32(std::uint32_t v)
{
    return {char(v), char(v >> 8), char(v >> 16), char(v >> 24)};
}

// A JPEG that says it is `width` x `height` pixels and holds no image worth decoding.
std::string jpegClaiming(std::uint16_t width, std::uint16_t height)
{
    const auto be16 = [](std::uint16_t v) { return std::string{char(v >> 8), char(v & 0xFF)}; };
    return std::string("\xFF\xD8\xFF\xC0\x00\x0B\x08", 7) + be16(height) + be16(width)
           + std::string("\x01\x01\x11\x00\xFF\xDA\x00\x08\x01\x01\x00\x00\x3F\x00\x00\xFF\xD9", 17);
}

// Bits as movies pack them, most significant first, written as 0s and 1s with spaces between
// fields; the last byte is padded with zeros.
std::string bits(std::string_view pattern)
{
    std::string out;
    int used = 8;
    for (const char c : pattern) {
        if (c == ' ')
            continue;
        if (used == 8) {
            out += '\0';
            used = 0;
        }
        if (c == '1')
            out.back() = char(out.back() | (0x80 >> used));
        ++used;
    }
    return out;
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

        // Each side on its own: a bitmap over the limit one way is refused however thin.
        const auto claiming = [](std::uint16_t width, std::uint16_t height) {
            Writer w(10, 10);
            w.defineJpeg(1, jpegClaiming(width, height));
            return w.finish();
        };
        QTest::newRow("bitmap wider than the limit") << claiming(std::uint16_t(kMaxBitmapSide + 1), 1) << "8193 x 1";
        QTest::newRow("bitmap taller than the limit") << claiming(1, std::uint16_t(kMaxBitmapSide + 1)) << "1 x 8193";
        Writer many(10, 10);
        for (std::uint16_t id = 1; id <= 2; ++id)
            many.defineJpeg(id, jpegClaiming(6000, 6000)); // 36 million pixels each
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

    // What players show although the format's description would refuse it: only an unreadable
    // header or tag stream, or a limit, refuses a movie. A character that cannot be read is left
    // out with a line that says why, and the rest plays; the first background colour counts.
    void onlyTheTagStreamOrALimitRefusesAMovie()
    {
        Writer w(10, 10);
        w.tag(9, std::string("\x10\x20\x30", 3));  // SetBackgroundColor
        w.tag(90, le16(1) + std::string(6, '\0')); // DefineBitsJPEG4 with no image, never placed
        // DefineFont: three glyphs whose offsets do not ascend (6, 10, 8), each an empty outline.
        w.tag(10, le16(2) + le16(6) + le16(10) + le16(8) + std::string(6, '\0'));
        w.defineRectangle(3, {0, 200, 0, 200}, FillStyle{});
        // PlaceObject3 marking an image and a character, with no class name after the depth.
        w.tag(70, std::string("\x02\x10", 2) + le16(1) + le16(3));
        w.tag(9, std::string("\xFF\x00\x00", 3)); // a later background changes nothing
        w.showFrame();
        std::string file = w.finish();
        file.replace(4, 4, std::string(4, '\0')); // a file length of 0, the tags all there
        const Movie movie = readMovie(file);
        QCOMPARE(movie.background, (Rgba{0x10, 0x20, 0x30, 255}));
        QVERIFY(!movie.find<Bitmap>(1));
        QCOMPARE(movie.unreadable.size(), 1u);
        QVERIFY(QString::fromStdString(movie.unreadable[0]).startsWith("character 1 (tag 90) left empty"));
        QCOMPARE(movie.find<Font>(2)->glyphs.size(), 3u);
        QCOMPARE(std::get<Place>(movie.timeline.frames.at(0).commands.at(0)).characterId,
                 std::optional<std::uint16_t>(3));
    }

    // A DefineButton's records take their colours from DefineButtonCxform.
    void aFirstButtonTakesItsColoursFromItsOwnTag()
    {
        Writer w(10, 10);
        w.defineRectangle(1, {0, 200, 0, 200}, FillStyle{});
        w.tag(7, le16(2) + std::string("\x01\x01\x00\x01\x00\x00\x00\x00", 8)); // one up record, no actions
        w.tag(23, le16(2) + std::string("\xA5\xFE\x00\x00\x00", 5));            // add 255 to red
        w.showFrame();
        const Movie movie = readMovie(w.finish());
        const Button* button = movie.find<Button>(2);
        QVERIFY(button && button->records.size() == 1);
        QCOMPARE(button->records[0].colorTransform.add[0], 255.0);
    }

    // The styles of the newest shapes and morphs, and their edges, written bit by bit as a tool
    // that is not ours would write them: caps, joins and kept widths; a stroke filled with a
    // gradient; vertical and horizontal edges; new styles that the same record already uses.
    void newerShapesAndMorphsReadEveryField()
    {
        const std::string rect = bits("00000");
        const std::string shape4
            = le16(1) + rect + rect + "\x04" + std::string("\x01\x00\xFF\x00\x00\xFF", 6) // a red fill
              + "\x02" + le16(40) + bits("01 10 0 1 1 0 00000 0 10") + le16(0x0280) + std::string("\x00\x00\xFF\x80", 4)
              + le16(20) + bits("00 01 1 0 0 0 00000 0 00") + "\x10" + bits("0 0 00000") + "\x52"
              + std::string("\x00\x11\x22\x33\xFF\xFF\x44\x55\x66\x80", 10) + "\x12"
              + bits("0 0 1 1 0 1 01000 01100100 00000000 1 01" // move to (100, 0); fill 1, line 1
                     " 1 1 0110 0 1 01100100"                   // down 100
                     " 1 1 0110 0 0 10011100"                   // left 100
                     " 1 1 0110 1 01100100 10011100"            // back to the start
                     " 0 1 0 0 1 1 00000 1")                    // move to (0, 0), fill 0 of the new styles
              + std::string("\x01\x00\xFF\x00\xFF\xFF\x00\x10", 8)
              + bits("1 1 0100 0 0 010100 1 1 0100 0 1 010100 1 1 0100 1 101100 101100 0 00000");
        const Movie movie = movieWith(83, shape4);
        const Shape& shape = *movie.find<Shape>(1);
        QVERIFY(shape.nonZeroWinding);
        QCOMPARE(shape.layers.size(), 2u);
        const ShapeLayer& first = shape.layers[0];
        QCOMPARE(first.lines.size(), 2u);
        const LineStyle& kept = first.lines[0];
        QCOMPARE(kept.width, 40);
        QCOMPARE(kept.startCap, LineStyle::Cap::None);
        QCOMPARE(kept.endCap, LineStyle::Cap::Square);
        QCOMPARE(kept.join, LineStyle::Join::Miter);
        QCOMPARE(kept.miterLimit, 2.5);
        QVERIFY(!kept.scalesHorizontally && !kept.scalesVertically);
        QVERIFY(kept.fill.color == (Rgba{0, 0, 255, 128}));
        const LineStyle& graded = first.lines[1];
        QCOMPARE(graded.join, LineStyle::Join::Bevel);
        QCOMPARE(graded.fill.kind, FillStyle::Kind::LinearGradient);
        QCOMPARE(graded.fill.gradient.spread, Gradient::Spread::Reflect);
        QCOMPARE(graded.fill.gradient.interpolation, Gradient::Interpolation::LinearRgb);
        QCOMPARE(graded.fill.gradient.stops.size(), 2u);
        QVERIFY(graded.fill.gradient.stops[1].color == (Rgba{0x44, 0x55, 0x66, 0x80}));
        const std::vector<Segment>& triangle = first.fillPaths[0].at(0).segments;
        QCOMPARE(first.fillPaths[0][0].from, (Point{100, 0}));
        QCOMPARE(triangle.size(), 3u);
        QCOMPARE(triangle[0].to, (Point{100, 100}));
        QCOMPARE(triangle[1].to, (Point{0, 100}));
        QCOMPARE(first.linePaths[0].size(), 1u);
        QVERIFY(first.linePaths[1].empty());
        const ShapeLayer& second = shape.layers[1];
        QVERIFY(second.fills.at(0).color == (Rgba{255, 0, 255, 255}));
        QCOMPARE(second.fillPaths[0].at(0).segments.size(), 3u);

        const std::string startEdges
            = "\x11" + bits("0 0 1 0 1 1 00000 1 1 1 1 0100 1 010100 010100 0 00000"); // (0, 0) to (20, 20)
        const std::string endEdges
            = std::string(1, '\0')
              + bits("0 0 0 0 0 1 00101 01010 01010 1 1 0101 1 0101000 0000000 0 00000"); // (10, 10) to (50, 10)
        const std::string styles
            = "\x01\x10" + bits("0 0 00000") + bits("0 0 00000") + "\x02"
              + std::string("\x00\x00\x00\x00\xFF\x00\xFF\xFF\xFF\xFF\xFF\xFF\x00\x00\xFF\x80\x00\x00\xFF\xFF", 20)
              + "\x01" + le16(20) + le16(60) + bits("10 10 0 0 1 0 00000 0 01") + le16(0x0300)
              + std::string("\x00\xFF\x00\xFF\x00\x00\xFF\x80", 8);
        const Movie morphing = movieWith(84, le16(1) + rect + rect + rect + rect + std::string(1, '\0')
                                                 + le32(std::uint32_t(styles.size() + startEdges.size())) + styles
                                                 + startEdges + endEdges);
        const MorphShape& morph = *morphing.find<MorphShape>(1);
        QCOMPARE(morph.fills.at(0).end.kind, FillStyle::Kind::LinearGradient);
        QVERIFY(morph.fills[0].start.gradient.stops.at(1).color == (Rgba{255, 0, 0, 255}));
        QCOMPARE(morph.fills[0].end.gradient.stops.at(1).ratio, 0x80);
        const MorphShape::Line& line = morph.lines.at(0);
        QCOMPARE(line.end.width, 60);
        QCOMPARE(line.start.startCap, LineStyle::Cap::Square);
        QCOMPARE(line.end.endCap, LineStyle::Cap::None);
        QCOMPARE(line.start.miterLimit, 3.0);
        QVERIFY(line.start.scalesHorizontally && !line.start.scalesVertically);
        QVERIFY(line.end.fill.color == (Rgba{0, 0, 255, 128}));
        const Shape halfway = morphShapeAt(morph, 0.5);
        QCOMPARE(halfway.layers.at(0).lines.at(0).width, 40);
        const Contour& stroke = halfway.layers[0].linePaths.at(0).at(0);
        QCOMPARE(stroke.from, (Point{5, 5}));
        QCOMPARE(stroke.segments.at(0).to, (Point{35, 15}));
    }

    // Lossless bitmaps as premultiplied ARGB: 15-bit, colour-mapped with alpha (a colour above
    // its alpha is brought down to it), and 32-bit with and without alpha; rows padded to 4 bytes.
    void losslessBitmapsDecodeEveryFormat()
    {
        const auto lossless = [](int tag, int format, int width, const std::string& head, const std::string& data) {
            return bitmapOf(movieWith(std::uint16_t(tag), le16(1) + char(format) + le16(std::uint32_t(width)) + le16(1)
                                                              + head + compressed(data)))
                .argb;
        };
        // 15 bits, big-endian: red 31, green 0, blue 16; a pixel of padding.
        QCOMPARE(lossless(20, 4, 1, "", std::string("\x7C\x10\0\0", 4)), std::vector<std::uint32_t>{0xFFFF0084});
        // Two colours with alpha, the second brighter than its alpha; three pixels and one of padding.
        QCOMPARE(lossless(36, 3, 3, std::string(1, '\x01'),
                          std::string("\x10\x20\x30\xFF\xC8\x00\x10\x80", 8) + std::string("\x00\x01\x01\x00", 4)),
                 (std::vector<std::uint32_t>{0xFF102030, 0x80800010, 0x80800010}));
        QCOMPARE(lossless(20, 5, 1, "", std::string("\x00\x11\x22\x33", 4)), std::vector<std::uint32_t>{0xFF112233});
        QCOMPARE(lossless(36, 5, 1, "", std::string("\x40\x30\x20\x10", 4)), std::vector<std::uint32_t>{0x40302010});
        // Data that does not fill the bitmap leaves it out, saying why (bitmapOf throws that).
        QVERIFY_THROWS_EXCEPTION(FormatError, lossless(20, 5, 2, "", std::string(4, '\0')));
    }

    // JPEG data as movies carry it becomes one self-contained JPEG: a stray end and start before
    // the image go, and shared tables are merged in front of the image.
    void jpegDataBecomesOneFile()
    {
        const std::string tables("\xFF\xD8\xFF\xDB\x00\x03\x01\xFF\xD9", 9);
        const std::string image("\xFF\xD8\xFF\xC0\x00\x0B\x08\x00\x02\x00\x03\x01\x01\x11\x00"
                                "\xFF\xDA\x00\x02\x12\x34\xFF\xD9",
                                23);
        const std::string expected = std::string("\xFF\xD8\xFF\xDB\x00\x03\x01", 7) + image.substr(2);
        const Movie movie = movieWith(21, le16(1) + std::string("\xFF\xD9", 2) + tables.substr(0, 7) + image);
        const Bitmap& strayPrefix = bitmapOf(movie);
        QCOMPARE(strayPrefix.encoded, expected);
        QCOMPARE(strayPrefix.width, 3u);
        QCOMPARE(strayPrefix.height, 2u);
        Writer shared(10, 10);
        shared.tag(8, tables);
        shared.tag(6, le16(1) + image);
        shared.showFrame();
        QCOMPARE(bitmapOf(readMovie(shared.finish())).encoded, expected);
    }

    // Text fields: UTF-8 from version 6 on and Latin-1 before; HTML reduced to its text.
    void textFieldsReadTheirText_data()
    {
        QTest::addColumn<int>("version");
        QTest::addColumn<QByteArray>("initial");
        QTest::addColumn<bool>("html");
        QTest::addColumn<QString>("text");
        QTest::newRow("UTF-8") << 8 << QByteArray("caf\xC3\xA9") << false << QString::fromUtf8("caf\xC3\xA9");
        QTest::newRow("Latin-1 before version 6")
            << 5 << QByteArray("caf\xE9") << false << QString::fromUtf8("caf\xC3\xA9");
        QTest::newRow("not UTF-8: Latin-1")
            << 8 << QByteArray("caf\xE9!") << false << QString::fromUtf8("caf\xC3\xA9!");
        QTest::newRow("beyond 16 bits") << 8 << QByteArray("\xF0\x9F\x98\x80") << false
                                        << QString::fromUtf8("\xF0\x9F\x98\x80");
        QTest::newRow("past the last character: Latin-1")
            << 8 << QByteArray("\xF4\x90\x80\x80") << false << QString::fromLatin1("\xF4\x90\x80\x80");
        QTest::newRow("HTML") << 8 << QByteArray("<P ALIGN=\"LEFT\"><B>A</B> &amp; &lt;B&gt;<br/>C</P>") << true
                              << "A & <B>\nC";
        QTest::newRow("HTML, an unclosed tag") << 8 << QByteArray("A<font") << true << "A";
    }

    void textFieldsReadTheirText()
    {
        QFETCH(int, version);
        QFETCH(QByteArray, initial);
        QFETCH(bool, html);
        QFETCH(QString, text);
        // Bounds, then: text, read-only; layout and HTML as asked; no variable; the text.
        const std::string body = le16(1) + std::string("\x08\x00", 2) + std::string(1, '\x88')
                                 + std::string(1, html ? '\x02' : '\x00') + std::string(1, '\0') + initial.toStdString()
                                 + std::string(1, '\0');
        const Movie movie = movieWith(37, body, std::uint8_t(version));
        const EditText* field = movie.find<EditText>(1);
        QVERIFY(field);
        QStringList paragraphs;
        for (const EditText::Paragraph& paragraph : field->paragraphs) {
            paragraphs.append(QString());
            for (const EditText::Span& span : paragraph.spans)
                paragraphs.back() += QString::fromStdU16String(span.text);
        }
        QCOMPARE(paragraphs.join('\n'), text);
    }

    // HTML styles: each tag's style lasts until it closes; a paragraph takes its alignment,
    // and text after it the field's again.
    void htmlTextKeepsItsStyles()
    {
        EditText field;
        field.color = {0, 0, 255, 255};
        field.height = 240;
        const auto paragraphs = htmlParagraphs(
            u"<p align='right'><font color=\"#FF0000\" size=\"20\" face=\"Serif\" kerning=\"1\">a<b>b</b></font>"
            u"<i>c</i></p>x<br>y<textformat leading='2' indent=\"-1.5\"><p><font size=\"+2\" letterSpacing=\"0.5\">z"
            u"</font></p></textformat>",
            field);
        QCOMPARE(paragraphs.size(), 4u);
        const auto& styled = paragraphs[0].spans;
        QCOMPARE(paragraphs[0].align, EditText::Align::Right);
        QCOMPARE(styled.size(), 3u);
        QVERIFY(styled[0].text == u"a" && styled[0].color == (Rgba{255, 0, 0, 255}) && styled[0].height == 400
                && styled[0].face == u"Serif" && styled[0].kerning && !styled[0].bold);
        QVERIFY(styled[1].text == u"b" && styled[1].bold && styled[1].color == (Rgba{255, 0, 0, 255}));
        QVERIFY(styled[2].text == u"c" && styled[2].italic && styled[2].color == field.color
                && styled[2].height == 240);
        QCOMPARE(paragraphs[1].align, EditText::Align::Left);
        QVERIFY(paragraphs[1].spans.front().text == u"x" && paragraphs[2].spans.front().text == u"y");
        QCOMPARE(paragraphs[3].spans.front().height, 280.0);
        QCOMPARE(paragraphs[3].spans.front().letterSpacing, 10.0);
        QCOMPARE(paragraphs[3].format.leading, 40.0);
        QCOMPARE(paragraphs[3].format.indent, -30.0);
        QCOMPARE(paragraphs[2].format.leading, 0.0);

        // Tags left open past any nesting, then closed by names never opened: read in a
        // moment, with the styles the first ones gave.
        std::u16string deep;
        for (int i = 0; i < 100000; ++i)
            deep += u"<b><i>";
        deep += u"x";
        for (int i = 0; i < 100000; ++i)
            deep += u"</u>";
        const auto nested = htmlParagraphs(deep, field);
        QVERIFY(nested.size() == 1 && nested[0].spans.size() == 1);
        QVERIFY(nested[0].spans[0].bold && nested[0].spans[0].italic);
    }

    // Buttons' actions by condition, and frame labels by the frame they stand in.
    void buttonConditionsAndFrameLabels()
    {
        Writer w(10, 10);
        w.defineRectangle(1, {0, 20, 0, 20}, FillStyle{});
        w.defineButton(2, {{1 << Button::HitTest, 1, 1}}, Writer::Actions::play(), Writer::Actions::stop());
        w.showFrame();
        w.frameLabel("second");
        w.showFrame();
        const Movie movie = readMovie(w.finish());
        const Button* button = movie.find<Button>(2);
        QVERIFY(button);
        QCOMPARE(button->records.size(), 1u);
        QCOMPARE(button->records.front().states, std::uint8_t(1 << Button::HitTest));
        QCOMPARE(button->conditions.size(), 2u);
        QCOMPARE(button->conditions[0].events, std::uint32_t(ClipAction::Press));
        QCOMPARE(button->conditions[0].actions->instructions.front().code, avm1::op::Stop);
        QCOMPARE(button->conditions[1].events, std::uint32_t(ClipAction::Release));
        QCOMPARE(button->conditions[1].actions->instructions.front().code, avm1::op::Play);
        QCOMPARE(movie.timeline.labels.at("second"), 1u);
    }

    // A button as another tool writes it: a record with filters and a blend mode, and a release
    // that pushes every kind of value, some from a constant pool.
    void aButtonReadsItsFiltersAndPushesEveryValue()
    {
        const std::string none(1, '\0'); // an empty matrix or colour transform
        const std::string records = "\x38" + le16(1) + le16(1) + none + none + "\x03"  // three filters
                                    + std::string(1, '\0') + std::string(23, '\x11')   // drop shadow
                                    + "\x07\x02" + std::string(10 + 19, '\x22')        // gradient bevel
                                    + "\x05\x03\x03" + std::string(8 + 36 + 5, '\x33') // 3 x 3 convolution
                                    + "\x01"                                           // blend mode
                                    + "\x01" + le16(1) + le16(2) + none + none + none;
        const std::string pool = le16(2) + std::string("first\0second\0", 13);
        const std::string pushed
            = std::string("\x01\x00\x00\xC0\x3F\x02\x03\x04\x03\x05\x01", 11)
              + std::string("\x06\x99\x99\xB9\x3F\x9A\x99\x99\x99\x07\xF9\xFF\xFF\xFF\x08\x01\x09\x00\x00", 19);
        const std::string actions = "\x88" + le16(std::uint32_t(pool.size())) + pool + "\x96"
                                    + le16(std::uint32_t(pushed.size())) + pushed + "\x9A" + le16(1) + none + none;
        const Movie movie = movieWith(34, le16(2) + none + le16(std::uint32_t(2 + records.size())) + records + le16(0)
                                              + "\x08" + none + actions);
        const Button& button = *movie.find<Button>(2);
        QCOMPARE(button.records.size(), 2u);
        QCOMPARE(button.records[1].depth, 2);
        QCOMPARE(button.records[1].states, std::uint8_t(1 << Button::Up));
        const std::vector<Filter>& filters = button.records[0].filters;
        QCOMPARE(filters.size(), 3u);
        QCOMPARE(filters[0].kind, Filter::Kind::DropShadow);
        QCOMPARE(filters[0].colors, std::vector<Rgba>{(Rgba{0x11, 0x11, 0x11, 0x11})});
        QCOMPARE(filters[0].blurX, 0x11111111 / 65536.0);
        QCOMPARE(filters[0].strength, 0x1111 / 256.0);
        QCOMPARE(filters[0].passes, 0x11); // five bits of passes after inner, knockout and composite
        QCOMPARE(filters[1].kind, Filter::Kind::GradientBevel);
        QCOMPARE(filters[1].ratios, (std::vector<std::uint8_t>{0x22, 0x22}));
        QVERIFY(filters[1].compositeSource && !filters[1].onTop);
        QCOMPARE(filters[1].passes, 2); // four bits after on top
        QCOMPARE(filters[2].kind, Filter::Kind::Convolution);
        QCOMPARE(filters[2].matrix.size(), 9u);
        QCOMPARE(button.records[0].blendMode, BlendMode::Normal);
        const std::vector<avm1::Instruction>& release = button.conditions.at(0).actions->instructions;
        QCOMPARE(release.size(), 3u);
        QCOMPARE(release[0].strings, (std::vector<std::string>{"first", "second"}));
        using avm1::Value;
        const std::vector<avm1::PushOperand> expected{
            Value(1.5), Value(avm1::Null{}), Value(avm1::Undefined{}), avm1::RegisterOperand{3}, Value(true),
            Value(0.1), Value(-7.0),         avm1::PoolOperand{1},     avm1::PoolOperand{0}};
        QVERIFY(release[1].push == expected);
        QCOMPARE(release[2].code, avm1::op::GetUrl2);
    }

    // Every filter kind and blend mode as our writer writes them, and a filter list cut short:
    // the object is still placed, without what came after the filters.
    void placementsReadTheirFiltersAndBlendModes()
    {
        std::vector<Filter> every;
        for (int kind = 0; kind <= int(Filter::Kind::GradientBevel); ++kind) {
            Filter f;
            f.kind = Filter::Kind(kind);
            f.blurX = 4.5;
            f.blurY = 2.25;
            f.passes = 3;
            f.strength = 1.5;
            f.inner = kind % 2;
            if (f.kind == Filter::Kind::DropShadow || f.kind == Filter::Kind::Glow)
                f.colors = {kRed};
            if (f.kind == Filter::Kind::Bevel)
                f.colors = {kRed, kWhite};
            if (f.kind == Filter::Kind::GradientGlow || f.kind == Filter::Kind::GradientBevel) {
                f.colors = {kRed, kWhite, kRed};
                f.ratios = {0, 128, 255};
            }
            if (!f.colors.empty() && f.kind != Filter::Kind::Glow) {
                f.angle = 0.75;
                f.distance = 3;
            }
            if (f.kind == Filter::Kind::ColorMatrix)
                f.matrix.assign(20, 0.5f);
            if (f.kind == Filter::Kind::Convolution) {
                f.columns = 3;
                f.rows = 2;
                f.matrix = {1, 2, 3, 4, 5, 6};
                f.divisor = 21;
            }
            every.push_back(f);
        }
        Writer w(10, 10);
        w.defineRectangle(1, {0, 200, 0, 200}, FillStyle{});
        w.place({.depth = 1,
                 .characterId = 1,
                 .filters = every,
                 .blendMode = BlendMode::Hardlight,
                 .cacheAsBitmap = true,
                 .visible = false,
                 .opaqueBackground = kRed});
        // Depth 2: a drop shadow whose record ends early.
        w.tag(70, std::string("\x02\x03", 2) + le16(2) + le16(1) + "\x01" + std::string(1, '\0') + "\x11\x22");
        w.showFrame();
        const Movie movie = readMovie(w.finish());
        const auto& commands = movie.timeline.frames.at(0).commands;
        const Place& place = std::get<Place>(commands.at(0));
        QVERIFY(place.filters);
        QCOMPARE(place.filters->size(), every.size());
        for (std::size_t i = 0; i < every.size(); ++i) {
            const Filter &read = place.filters->at(i), &written = every[i];
            QCOMPARE(read.kind, written.kind);
            QCOMPARE(read.colors, written.colors);
            QCOMPARE(read.ratios, written.ratios);
            QCOMPARE(read.matrix, written.matrix);
            if (read.kind != Filter::Kind::ColorMatrix && read.kind != Filter::Kind::Convolution) {
                QCOMPARE(read.blurX, 4.5);
                QCOMPARE(read.blurY, 2.25);
                QCOMPARE(read.passes, 3);
            }
            if (!written.colors.empty()) {
                QCOMPARE(read.strength, 1.5);
                QCOMPARE(read.inner, written.inner);
                QCOMPARE(read.angle, written.angle);
                QCOMPARE(read.distance, written.distance);
            }
        }
        QCOMPARE(place.filters->at(5).columns, 3);
        QCOMPARE(place.filters->at(5).divisor, 21.0f);
        QCOMPARE(place.blendMode, std::optional(BlendMode::Hardlight));
        QCOMPARE(place.cacheAsBitmap, std::optional(true));
        QCOMPARE(place.visible, std::optional(false));
        QCOMPARE(place.opaqueBackground, std::optional(kRed));
        const Place& cut = std::get<Place>(commands.at(1));
        QCOMPARE(cut.characterId, std::optional<std::uint16_t>(1));
        QVERIFY(!cut.filters && !cut.blendMode);
    }

    // Edges become closed contours for each fill, whichever side the fill lies on: two squares
    // sharing an edge, drawn as a path that visits the shared edge once with a fill each side;
    // an edge with one fill on both sides bounds nothing; strokes break where the pen jumps.
    void edgesJoinIntoContoursForEachFill()
    {
        const auto edge = [](Point from, Point to, std::uint32_t fill0, std::uint32_t fill1, std::uint32_t line = 0) {
            return Edge{from, {{}, to, false}, fill0, fill1, line};
        };
        EdgeLayer layer;
        layer.fills.resize(2);
        layer.lines.resize(1);
        layer.edges = {
            edge({0, 0}, {10, 0}, 0, 1, 1), edge({10, 0}, {20, 0}, 0, 2, 1), edge({20, 0}, {20, 10}, 0, 2, 1),
            edge({20, 10}, {10, 10}, 0, 2), edge({10, 10}, {0, 10}, 0, 1),   edge({0, 10}, {0, 0}, 0, 1),
            edge({10, 0}, {10, 10}, 2, 1),  edge({5, 0}, {5, 10}, 1, 1),     edge({0, 20}, {10, 20}, 0, 0, 1),
        };
        const ShapeLayer built = buildLayer(layer);
        for (const Path& path : built.fillPaths) {
            QCOMPARE(path.size(), 1u); // one contour, closed: it ends where it starts
            const Contour& square = path.front();
            QCOMPARE(square.segments.size(), 4u);
            QCOMPARE(square.segments.back().to, square.from);
        }
        QCOMPARE(built.linePaths.front().size(), 2u); // the top edge, then the stroke below
        QCOMPARE(built.linePaths.front().front().segments.size(), 3u);
    }

    // Decompression gives at most what was asked for, however much the stream holds, and
    // refuses what is no stream at all.
    void decompressionStopsAtItsLimit()
    {
        const std::string bomb = compressed(std::string(64 << 20, 'x')); // 64 MiB in about 64 KiB
        QCOMPARE(inflateAtMost(bomb, 1 << 20).size(), std::size_t(1 << 20));
        QCOMPARE(inflateAtMost(compressed("short"), 1 << 20), std::string("short"));
        QVERIFY_THROWS_EXCEPTION(FormatError, inflateAtMost("no zlib stream here", 100));
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

    // A sprite, and a button, that hold themselves eight times over at one depth: each copy
    // replaces the one before, freeing its place, so only the work a frame may do ends them.
    // Unbounded, eight copies at each of sixteen levels would take years.
    void copiesThatReplaceEachOtherEndInAFrame()
    {
        for (const bool button : {false, true}) {
            Writer w(10, 10);
            if (button) {
                w.defineButton(1, std::vector<Writer::ButtonPart>(8, {.states = 1, .characterId = 1, .depth = 1}), "");
            } else {
                w.beginSprite(1);
                for (int copy = 0; copy < 8; ++copy)
                    w.place({.depth = 1, .characterId = 1});
                w.showFrame();
                w.endSprite();
            }
            w.place({.depth = 1, .characterId = 1});
            w.showFrame();
            Player player(std::make_shared<const Movie>(readMovie(w.finish())));
            player.tick();
            QCOMPARE(player.root().displayList().size(), 1u);
        }
    }
};

QTEST_GUILESS_MAIN(SwfReaderTest)
#include "tst_swf_reader.moc"
