// Blending four pixels at a time gives what blending one at a time gives, and both are the exact
// premultiplied "over" to within rounding.

#include <QtTest>

#include <cmath>
#include <random>
#include <vector>

#include "swf/qt/blend.h"

using namespace quillmere::swf::qt;

namespace {

Pixel pixel(std::uint32_t a, std::uint32_t r, std::uint32_t g, std::uint32_t b)
{
    return a << 24 | r << 16 | g << 8 | b;
}

} // namespace

class BlendTest : public QObject {
    Q_OBJECT

private slots:
    void everyAlphaBlendsAlikeInRunsAndAlone()
    {
        std::mt19937 random(7);
        std::vector<Pixel> colors, under;
        for (std::uint32_t a = 0; a < 256; ++a)
            for (const std::uint32_t c : {0u, a / 2, a}) { // premultiplied: no channel above alpha
                colors.push_back(pixel(a, c, a - c, a / 3));
                const std::uint32_t below = random() % 256;
                under.push_back(pixel(below, random() % (below + 1), below, random() % (below + 1)));
            }
        std::vector<Pixel> run = under, one = colors;
        // An odd count, so that the last pixels take the one-at-a-time way of the same call.
        overRow(run.data(), colors.data(), int(run.size()) - 1);
        for (std::size_t i = 0; i + 1 < run.size(); ++i) {
            QCOMPARE(run[i], over(colors[i], under[i]));
            for (const int shift : {0, 8, 16, 24}) {
                const double keep = 1 - (colors[i] >> 24) / 255.0;
                const double exact = (colors[i] >> shift & 0xFF) + (under[i] >> shift & 0xFF) * keep;
                QVERIFY2(std::fabs(double(run[i] >> shift & 0xFF) - exact) <= 0.5 + 1e-9,
                         qPrintable(QString::number(i)));
            }
        }
        QCOMPARE(run.back(), under.back());

        const Pixel halfRed = pixel(128, 128, 0, 0);
        overRow(one.data(), halfRed, int(one.size()));
        for (std::size_t i = 0; i < one.size(); ++i)
            QCOMPARE(one[i], over(halfRed, colors[i]));
    }
};

QTEST_GUILESS_MAIN(BlendTest)
#include "tst_blend.moc"
