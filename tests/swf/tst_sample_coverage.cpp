// Which samples of each pixel an outline covers, checked sample by sample on outlines whose
// answer can be counted by hand.

#include <QtTest>

#include <map>

#include "swf/qt/sample_coverage.h"

using namespace quillmere::swf::qt;

namespace {

using Samples = SampleCoverage::Samples;

// The samples covered in each pixel of rows `rows` of `coverage`, by (x, y).
std::map<std::pair<int, int>, Samples> covered(SampleCoverage& coverage, int rows)
{
    coverage.finish();
    std::map<std::pair<int, int>, Samples> pixels;
    for (int y = 0; y < rows; ++y)
        coverage.rowSpans(y, [&](int x, int count, Samples samples) {
            for (int i = 0; i < count; ++i)
                pixels[{x + i, y}] |= samples;
        });
    return pixels;
}

QPainterPath square(double left, double top, double side)
{
    QPainterPath path;
    path.addRect(left, top, side, side);
    return path;
}

constexpr Samples kColumns123 = 0xEEEE; // of each row of samples, all but the first
constexpr Samples kColumns012 = 0x7777; // all but the last

} // namespace

class SampleCoverageTest : public QObject {
    Q_OBJECT

private slots:
    // Samples lie at the centres of a 4 x 4 grid: an edge a quarter into a pixel leaves three
    // columns of it, three quarters in leaves one.
    void edgesTakeTheSamplesOnTheirSide()
    {
        SampleCoverage coverage(QRect(0, 0, 8, 2), Qt::WindingFill);
        QPainterPath bar;
        bar.addRect(2.25, 0, 2.5, 2); // pixels 2 (columns 1-3), 3 (all), 4 (columns 0-2)
        coverage.addPath(bar, QTransform());
        const auto pixels = covered(coverage, 2);
        QCOMPARE(pixels.size(), std::size_t(6));
        for (int y = 0; y < 2; ++y) {
            QCOMPARE(pixels.at({2, y}), kColumns123);
            QCOMPARE(pixels.at({3, y}), SampleCoverage::kAllSamples);
            QCOMPARE(pixels.at({4, y}), kColumns012);
        }
    }

    // Two squares overlapping, drawn the same way round: the overlap is inside once by the
    // winding rule and outside by the odd-even one.
    void theFillRuleDecidesOverlaps()
    {
        for (const Qt::FillRule rule : {Qt::WindingFill, Qt::OddEvenFill}) {
            SampleCoverage coverage(QRect(0, 0, 6, 6), rule);
            QPainterPath both = square(0, 0, 4);
            both.addPath(square(2, 2, 4));
            coverage.addPath(both, QTransform());
            const auto pixels = covered(coverage, 6);
            QCOMPARE(pixels.count({3, 3}), std::size_t(rule == Qt::WindingFill ? 1 : 0));
            QCOMPARE(pixels.at({1, 1}), SampleCoverage::kAllSamples);
            QCOMPARE(pixels.at({5, 5}), SampleCoverage::kAllSamples);
        }
    }

    // Whatever lies left of the clip still counts, what lies outside it is not reported, and
    // edges with no number in them, or too far to follow, add nothing.
    void theClipBoundsWhatIsReported()
    {
        SampleCoverage coverage(QRect(10, 10, 4, 4), Qt::WindingFill);
        coverage.addPath(square(-1e9, -1e9, 1e9 + 12), QTransform()); // up to x and y 12
        const double nan = std::numeric_limits<double>::quiet_NaN();
        coverage.addLine(QPointF(nan, 11), QPointF(11, 13));
        coverage.addLine(QPointF(11, 11), QPointF(11, std::numeric_limits<double>::infinity()));
        QPainterPath far; // a curve that bends further than any count of pieces could follow
        far.moveTo(0, 0);
        far.cubicTo(1e22, -1e22, -1e22, 1e22, 0, 0);
        coverage.addPath(far, QTransform());
        const auto pixels = covered(coverage, 20);
        QCOMPARE(pixels.size(), std::size_t(4)); // 10-11 by 10-11
        for (const auto& [at, samples] : pixels) {
            QVERIFY(at.first >= 10 && at.first <= 11 && at.second >= 10 && at.second <= 11);
            QCOMPARE(samples, SampleCoverage::kAllSamples);
        }
    }
};

QTEST_GUILESS_MAIN(SampleCoverageTest)
#include "tst_sample_coverage.moc"
