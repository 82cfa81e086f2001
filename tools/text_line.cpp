#include "text_line.h"

#include <cmath>
#include <map>
#include <vector>

#include <QPainterPath>
#include <QRawFont>

namespace quillmere::swf {

namespace {

using Writer = SwfWriter;

// A glyph outline in font units (1024 to the em, y down), cubic curves split in two quadratics.
std::vector<Writer::Step> glyphSteps(const QPainterPath& path)
{
    std::vector<Writer::Step> steps{Writer::Styles{0, 1, 0}};
    QPointF at;
    const auto point = [](QPointF p) {
        return std::pair{std::int32_t(std::lround(p.x())), std::int32_t(std::lround(p.y()))};
    };
    for (int i = 0; i < path.elementCount(); ++i) {
        const QPainterPath::Element e = path.elementAt(i);
        if (e.isMoveTo()) {
            const auto [x, y] = point(e);
            steps.push_back(Writer::MoveTo{x, y});
            at = e;
        } else if (e.isLineTo()) {
            const auto [x, y] = point(e);
            steps.push_back(Writer::LineTo{x, y});
            at = e;
        } else if (e.isCurveTo()) {
            // Each half of the cubic, split at its middle, as the quadratic closest to it.
            const QPointF c1 = e, c2 = path.elementAt(i + 1), end = path.elementAt(i + 2);
            i += 2;
            const QPointF mid = (at + 3 * c1 + 3 * c2 + end) / 8;
            const auto quadratic = [](QPointF a, QPointF b, QPointF c, QPointF d) { return (3 * (b + c) - a - d) / 4; };
            const QPointF first = quadratic(at, (at + c1) / 2, (at + 2 * c1 + c2) / 4, mid);
            const QPointF second = quadratic(mid, (c1 + 2 * c2 + end) / 4, (c2 + end) / 2, end);
            for (const auto& [control, to] : {std::pair{first, mid}, std::pair{second, end}}) {
                const auto [cx, cy] = point(control);
                const auto [x, y] = point(to);
                steps.push_back(Writer::CurveTo{cx, cy, x, y});
            }
            at = end;
        }
    }
    return steps;
}

} // namespace

LineExtent defineTextLine(SwfWriter& movie, const TextLine& line)
{
    QFont face = line.face;
    face.setPixelSize(1024);
    const QRawFont raw = QRawFont::fromFont(face);
    const QList<quint32> indexes = raw.glyphIndexesForString(line.text);
    const QList<QPointF> advances = raw.advancesForGlyphIndexes(indexes);
    std::map<quint32, std::uint32_t> glyphOf;
    std::vector<std::vector<Writer::Step>> glyphs;
    for (const quint32 index : indexes)
        if (glyphOf.try_emplace(index, std::uint32_t(glyphs.size())).second)
            glyphs.push_back(glyphSteps(raw.pathForGlyph(index)));
    movie.defineFont(line.fontId, glyphs);
    std::vector<Writer::Glyph> placed;
    double width = 0;
    for (int i = 0; i < indexes.size(); ++i) {
        const auto advance = std::int32_t(std::lround(advances[i].x() * line.height / 1024));
        placed.push_back({glyphOf[indexes[i]], advance});
        width += advance;
    }
    const auto x = std::int32_t(line.left + (line.right - line.left - width) / 2);
    movie.defineText(line.textId, line.bounds, line.fontId, std::uint16_t(line.height), line.color, x, line.baseline,
                     placed);
    return {x, std::int32_t(width)};
}

} // namespace quillmere::swf
