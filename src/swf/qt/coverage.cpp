#include "swf/qt/coverage.h"

#include <variant>

#include <QPolygonF>

#include "swf/qt/convert.h"
#include "swf/qt/outlines.h"

namespace quillmere::swf::qt {

namespace {

// Adds to `area` what one character covers: one member for each kind of character, so that a
// new kind does not compile until it says what it covers.
struct Cover {
    const DisplayObject& object;
    const QTransform& transform;
    Outlines& outlines;
    QPainterPath& area;

    void operator()(const Shape& shape) { area = transform.map(outlines.paths(shape).outline); }
    void operator()(const MorphShape& morph)
    {
        area = transform.map(outlines.morphAt(morph, object.ratio).paths.outline);
    }
    void operator()(const EditText& field) { area.addPolygon(transform.map(QPolygonF(toQt(field.bounds)))); }
    void operator()(const Text& text)
    {
        outlines.forEachGlyph(text, transform,
                              [this](const TextRun&, const QPainterPath& outline, const QTransform& at) {
                                  area.addPath(at.map(outline));
                              });
    }
    void operator()(const Button&)
    {
        if (object.button)
            for (const auto& [depth, part] : object.button->states[object.button->state])
                area.addPath(coverage(part, transform, outlines));
    }
    void operator()(const Sprite&)
    {
        if (!object.sprite)
            return;
        const QTransform scrolled = scrolledContent(object, transform);
        for (const auto& [depth, child] : object.sprite->displayList())
            if (!child.clipDepth && !child.isMask)
                area.addPath(coverage(child, scrolled, outlines));
        if (object.scrollRect) {
            QPainterPath shown;
            shown.addRect(toQt(*object.scrollRect).translated(-object.scrollRect->xMin, -object.scrollRect->yMin));
            area = area.intersected(transform.map(shown));
        }
    }
    void operator()(const Bitmap&) {} // drawn only as a shape's fill
    void operator()(const Font&) {}
};

} // namespace

QPainterPath coverage(const DisplayObject& object, const QTransform& parentTransform, Outlines& outlines)
{
    QPainterPath area;
    if (!object.character)
        return area;
    const QTransform transform = toQt(object.matrix) * parentTransform;
    std::visit(Cover{object, transform, outlines, area}, *object.character);
    area.setFillRule(Qt::WindingFill);
    return area;
}

} // namespace quillmere::swf::qt
