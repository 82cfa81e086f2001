#include "swf/qt/sample_coverage.h"

#include <algorithm>
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
    QPointF start, at;
    bool open = false;
    for (int i = 0; i < path.elementCount(); ++i) {
        const QPainterPath::Element e = path.elementAt(i);
        const QPointF p = transform.map(QPointF(e.x, e.y));
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
            const QPointF c2 = transform.map(QPointF(path.elementAt(i + 1).x, path.elementAt(i + 1).y));
            const QPointF end = transform.map(QPointF(path.elementAt(i + 2).x, path.elementAt(i + 2).y));
            i += 2;
            // A cubic strays from its chords by at most 3/4 of its second difference over n².
            const QPointF d1 = at - 2 * p + c2, d2 = p - 2 * c2 + end;
            const double bend = std::max(std::hypot(d1.x(), d1.y()), std::hypot(d2.x(), d2.y()));
            const double wanted = std::ceil(std::sqrt(0.75 * bend / kFlatness));
            const int pieces = std::isfinite(wanted) ? std::clamp(int(wanted), 1, kMostCurvePieces) : 1;
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
    const double leftmost = double(clip_.left()) * n, beyond = double(clip_.right() + 1) * n;
    for (int row = int(first); row < int(past); ++row) {
        const double x = a.x() + ((row + 0.5) / n - a.y()) * dxdy;
        // The first sample whose centre lies right of the edge; all left of the clip count at its edge.
        const double sample = std::max(std::floor(x * n - 0.5) + 1, leftmost);
        if (!(sample < beyond)) // also when the edge is too steep to have an x
            continue;
        crossings_.push_back(std::uint64_t(row / n) << 32 | std::uint64_t(sample) << 3 | std::uint64_t(row % n) << 1
                             | down);
    }
}

void SampleCoverage::finish()
{
    std::sort(crossings_.begin(), crossings_.end());
    next_ = 0;
}

} // namespace quillmere::swf::qt
