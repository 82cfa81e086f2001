#pragma once

#include <algorithm>
#include <array>
#include <climits>
#include <cstdint>
#include <vector>

#include <QPainterPath>
#include <QPointF>
#include <QRect>
#include <QTransform>

namespace quillmere::swf::qt {

// Which of the 4 x 4 samples of each pixel of a clip rectangle lie inside an outline. Outlines
// that meet share their samples exactly, so that neither the fills of one shape nor shapes side
// by side leave a seam. Only where an edge crosses a row of samples is stored, so a large fill
// costs its outline, not its area.
class SampleCoverage {
public:
    static constexpr int kSamples = 4; // a side
    // Which of a pixel's samples: bit 4 * row + column.
    using Samples = std::uint16_t;
    static constexpr Samples kAllSamples = 0xFFFF;

    // `clip` lies at x and y 0 or more, as an image's pixels do.
    SampleCoverage(QRect clip, Qt::FillRule rule) : clip_(clip), evenOdd_(rule == Qt::OddEvenFill) {}
    // As new, keeping the room it has made.
    void reset(QRect clip, Qt::FillRule rule)
    {
        clip_ = clip;
        evenOdd_ = rule == Qt::OddEvenFill;
        crossings_.clear();
        next_ = 0;
    }

    // Every contour of `path`, closed, through `transform` into pixels.
    void addPath(const QPainterPath& path, const QTransform& transform);
    // An edge from `a` to `b` in pixels.
    void addLine(QPointF a, QPointF b);

    // Sorts the crossings into rows: call once after the last edge and before rowSpans.
    void finish();
    bool isEmpty() const { return crossings_.empty(); }
    std::size_t size() const { return crossings_.size(); } // crossings, each a word
    QRect clip() const { return clip_; }
    // To be asked row by row again from the first.
    void rewind() { next_ = 0; }
    // A copy of the finished coverage without the room it made for sorting.
    SampleCoverage finishedCopy() const
    {
        SampleCoverage copy(clip_, evenOdd_ ? Qt::OddEvenFill : Qt::WindingFill);
        copy.crossings_ = crossings_;
        return copy;
    }
    int firstRow() const { return isEmpty() ? 0 : rowOf(crossings_.front()); }
    int lastRow() const { return isEmpty() ? -1 : rowOf(crossings_.back()); }

    // Calls `span(x, count, samples)` for each run of pixels of row `y` that the outline covers
    // alike, left to right, with the samples it covers in each. Rows are asked in order, each once.
    template <typename Span>
    void rowSpans(int y, Span span);

private:
    // Where an edge crosses a row of samples, packed to sort as a number: the pixel row (bits
    // 32 up), the first sample to the edge's right counted from x 0 (3 up), the row of samples
    // within the pixel (1 up), and whether the edge goes down.
    using Crossing = std::uint64_t;
    static int rowOf(Crossing c) { return int(c >> 32); }
    static int sampleOf(Crossing c) { return int(std::uint32_t(c) >> 3); }
    static int subRowOf(Crossing c) { return int(c >> 1 & 3); }
    static int directionOf(Crossing c) { return c & 1 ? 1 : -1; }

    QRect clip_;
    bool evenOdd_;
    std::vector<Crossing> crossings_;
    std::vector<Crossing> sorted_;         // room for sorting, kept
    std::vector<std::uint32_t> rowStarts_; // likewise
    std::size_t next_ = 0;                 // the first crossing of the next row asked for
};

template <typename Span>
void SampleCoverage::rowSpans(int y, Span span)
{
    while (next_ < crossings_.size() && rowOf(crossings_[next_]) < y)
        ++next_;
    constexpr int n = kSamples;
    std::array<int, n> winding{};
    unsigned rowsInside = 0; // a bit for each row of samples inside the outline from `at` on
    // The samples of a pixel from column `from` to before `to` in the rows inside.
    const auto samples = [&rowsInside](int from, int to) {
        const unsigned columns = ((1u << (to - from)) - 1) << from;
        const unsigned rows = (rowsInside & 1) | (rowsInside & 2) << 3 | (rowsInside & 4) << 6 | (rowsInside & 8) << 9;
        return Samples(columns * rows);
    };
    int pending = INT_MIN; // a pixel counted in part
    Samples pendingSamples = 0;
    const auto flush = [&] {
        if (pending != INT_MIN && pendingSamples)
            span(pending, 1, pendingSamples);
        pending = INT_MIN;
        pendingSamples = 0;
    };
    // Samples [from, to) of the row.
    const auto advance = [&](int from, int to) {
        while (from < to) {
            const int pixel = from / n;
            if (from % n == 0 && to >= (pixel + 1) * n) {
                flush();
                const int past = to / n;
                if (rowsInside)
                    span(pixel, past - pixel, samples(0, n));
                from = past * n;
                continue;
            }
            const int end = std::min(to, (pixel + 1) * n);
            if (pending != pixel)
                flush();
            pending = pixel;
            pendingSamples |= samples(from - pixel * n, end - pixel * n);
            from = end;
            if (from == (pixel + 1) * n)
                flush();
        }
    };
    int at = clip_.left() * n;
    while (next_ < crossings_.size() && rowOf(crossings_[next_]) == y) {
        const Crossing crossing = crossings_[next_++];
        advance(at, sampleOf(crossing));
        at = sampleOf(crossing);
        const int subRow = subRowOf(crossing);
        int& w = winding[std::size_t(subRow)];
        w += directionOf(crossing);
        const bool inside = evenOdd_ ? (w & 1) : w != 0;
        rowsInside = (rowsInside & ~(1u << subRow)) | unsigned(inside) << subRow;
    }
    advance(at, (clip_.right() + 1) * n);
    flush();
}

} // namespace quillmere::swf::qt
