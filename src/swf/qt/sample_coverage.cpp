#include "swf/qt/sample_coverage.h"

#include <algorithm>
#include <climits>
#include <cmath>

namespace quillmere::swf::qt {

namespace {

// Curves become lines no further than this from them, in pixels.
constexpr double kFlatness = 0.1;
constexpr int kMostCurvePieces = 64;

QPointF lerp(QPointF a, QPointF b, double t)
{
    return a + (b - a) * t;
}

} // namespace

void SampleCoverage::addPath(const QPainterPath& path, const QTransform& transform)
{
    // The matrix inline: QTransform::map costs a call and a test of its type for every point.
    const double m11 = transform.m11(), m12 = transform.m12(), m21 = transform.m21(), m22 = transform.m22();
    const double dx = transform.dx(), dy = transform.dy();
    const auto map = [&](const QPainterPath::Element& e) {
        return QPointF(m11 * e.x + m21 * e.y + dx, m12 * e.x + m22 * e.y + dy);
    };
    QPointF start, at;
    bool open = false;
    for (int i = 0; i < path.elementCount(); ++i) {
        const QPainterPath::Element e = path.elementAt(i);
        const QPointF p = map(e);
        switch (e.type) {
        case QPainterPath::MoveToElement:
            if (open)
                addLine(at, start);
            start = at = p;
            open = true;
            break;
        case QPainterPath::LineToElement:
            addLine(at, p);
            at = p;
            break;
        case QPainterPath::CurveToElement: {
            if (i + 2 >= path.elementCount())
                return;
            const QPointF c2 = map(path.elementAt(i + 1)), end = map(path.elementAt(i + 2));
            i += 2;
            // A cubic strays from its chords by at most 3/4 of its second difference over n².
            const QPointF d1 = at - 2 * p + c2, d2 = p - 2 * c2 + end;
            const double bend = std::sqrt(std::max(QPointF::dotProduct(d1, d1), QPointF::dotProduct(d2, d2)));
            const double wanted = std::ceil(std::sqrt(0.75 * bend / kFlatness));
            const int pieces = std::isfinite(wanted) ? int(std::clamp(wanted, 1.0, double(kMostCurvePieces))) : 1;
            QPointF from = at;
            for (int k = 1; k <= pieces; ++k) {
                const double t = double(k) / pieces;
                const QPointF a = lerp(at, p, t), b = lerp(p, c2, t), c = lerp(c2, end, t);
                const QPointF ab = lerp(a, b, t), bc = lerp(b, c, t);
                const QPointF to = k == pieces ? end : lerp(ab, bc, t);
                addLine(from, to);
                from = to;
            }
            at = end;
            break;
        }
        case QPainterPath::CurveToDataElement: break; // read with its curve
        }
    }
    if (open)
        addLine(at, start);
}

void SampleCoverage::addLine(QPointF a, QPointF b)
{
    if (!std::isfinite(a.x()) || !std::isfinite(a.y()) || !std::isfinite(b.x()) || !std::isfinite(b.y()))
        return;
    std::uint64_t down = 1;
    if (a.y() > b.y()) {
        std::swap(a, b);
        down = 0;
    }
    constexpr int n = kSamples;
    // The rows of samples whose centres lie in [a.y, b.y), within the clip.
    const double first = std::max(std::ceil(a.y() * n - 0.5), double(clip_.top()) * n);
    const double past = std::min(std::ceil(b.y() * n - 0.5), double(clip_.bottom() + 1) * n);
    if (first >= past)
        return;
    const double dxdy = (b.x() - a.x()) / (b.y() - a.y());
    const double leftmost = double(clip_.left()) * n, lastSample = double(clip_.right() + 1) * n - 1;
    crossings_.reserve(crossings_.size() + std::size_t(past - first));
    for (auto row = std::uint32_t(first); row < std::uint32_t(past); ++row) {
        const double x = a.x() + ((row + 0.5) / n - a.y()) * dxdy;
        const double at = x * n - 0.5; // in samples, 0 at the first one's centre
        if (!(at < lastSample))        // also when the edge is too steep to have an x
            continue;
        // The first sample whose centre lies right of the edge; all left of the clip count at its
        // edge. So `at` is cut to a whole number only where it is not negative.
        const std::uint64_t sample = at < leftmost ? std::uint64_t(leftmost) : std::uint64_t(at) + 1;
        crossings_.push_back(std::uint64_t(row / n) << 32 | sample << 3 | std::uint64_t(row % n) << 1 | down);
    }
}

void SampleCoverage::finish()
{
    next_ = 0;
    if (crossings_.size() < 64) {
        std::sort(crossings_.begin(), crossings_.end());
        return;
    }
    // By row first, counted out, then each row's few crossings in place.
    int first = INT_MAX, last = INT_MIN;
    for (const Crossing c : crossings_) {
        first = std::min(first, rowOf(c));
        last = std::max(last, rowOf(c));
    }
    std::vector<std::uint32_t>& starts = rowStarts_;
    starts.assign(std::size_t(last - first) + 2, 0);
    for (const Crossing c : crossings_)
        ++starts[std::size_t(rowOf(c) - first) + 1];
    for (std::size_t row = 1; row < starts.size(); ++row)
        starts[row] += starts[row - 1];
    sorted_.resize(crossings_.size());
    for (const Crossing c : crossings_) // `starts` moves on to where each row's next one goes
        sorted_[starts[std::size_t(rowOf(c) - first)]++] = c;
    for (std::size_t row = 0, from = 0; row + 1 < starts.size(); from = starts[row++]) {
        Crossing* const begin = sorted_.data() + from;
        Crossing* const end = sorted_.data() + starts[row];
        if (end - begin > 16) {
            std::sort(begin, end);
            continue;
        }
        for (Crossing* c = begin + 1; c < end; ++c) { // a row's few, in place
            const Crossing moving = *c;
            Crossing* at = c;
            for (; at > begin && at[-1] > moving; --at)
                *at = at[-1];
            *at = moving;
        }
    }
    crossings_.swap(sorted_);
}

} // namespace quillmere::swf::qt
