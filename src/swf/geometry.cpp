#include "swf/geometry.h"

#include <algorithm>
#include <cmath>
#include <variant>

#include "swf/player.h"

namespace quillmere::swf {

Matrix operator*(const Matrix& first, const Matrix& second)
{
    return {first.a * second.a + first.b * second.c,
            first.a * second.b + first.b * second.d,
            first.c * second.a + first.d * second.c,
            first.c * second.b + first.d * second.d,
            first.tx * second.a + first.ty * second.c + second.tx,
            first.tx * second.b + first.ty * second.d + second.ty};
}

std::optional<Matrix> inverted(const Matrix& m)
{
    const double determinant = m.a * m.d - m.b * m.c;
    if (determinant == 0 || !std::isfinite(determinant))
        return std::nullopt;
    const double a = m.d / determinant, b = -m.b / determinant, c = -m.c / determinant, d = m.a / determinant;
    return Matrix{a, b, c, d, -(m.tx * a + m.ty * c), -(m.tx * b + m.ty * d)};
}

Box mapped(const Box& box, const Matrix& m)
{
    Box out{INFINITY, INFINITY, -INFINITY, -INFINITY};
    for (const double x : {box.xMin, box.xMax})
        for (const double y : {box.yMin, box.yMax}) {
            const double mx = m.a * x + m.c * y + m.tx, my = m.b * x + m.d * y + m.ty;
            out = {std::min(out.xMin, mx), std::min(out.yMin, my), std::max(out.xMax, mx), std::max(out.yMax, my)};
        }
    return out;
}

Box united(const std::optional<Box>& a, const Box& b)
{
    if (!a)
        return b;
    return {std::min(a->xMin, b.xMin), std::min(a->yMin, b.yMin), std::max(a->xMax, b.xMax), std::max(a->yMax, b.yMax)};
}

namespace {

Box boxOf(const Rect& rect)
{
    return {double(rect.xMin), double(rect.yMin), double(rect.xMax), double(rect.yMax)};
}

std::optional<Box> boundsOfList(const DisplayList& list)
{
    std::optional<Box> bounds;
    for (const auto& [depth, child] : list)
        if (!child.clipDepth)
            if (const std::optional<Box> inner = boundsOf(child))
                bounds = united(bounds, mapped(*inner, child.matrix));
    return bounds;
}

struct Bounds {
    const DisplayObject& object;

    std::optional<Box> operator()(const Shape& shape) { return boxOf(shape.bounds); }
    std::optional<Box> operator()(const MorphShape& morph)
    {
        return boxOf(morphShapeAt(morph, object.ratio / 65535.0).bounds);
    }
    std::optional<Box> operator()(const Text& text) { return mapped(boxOf(text.bounds), text.matrix); }
    std::optional<Box> operator()(const EditText& field) { return boxOf(field.bounds); }
    std::optional<Box> operator()(const Sprite&)
    {
        return object.sprite ? boundsOfList(object.sprite->displayList()) : std::nullopt;
    }
    std::optional<Box> operator()(const Button&)
    {
        return object.button ? boundsOfList(object.button->states[Button::Up]) : std::nullopt;
    }
    std::optional<Box> operator()(const Bitmap& bitmap)
    {
        return Box{0, 0, bitmap.width * kTwipsPerPixel, bitmap.height * kTwipsPerPixel};
    }
    std::optional<Box> operator()(const Font&) { return std::nullopt; }
};

} // namespace

std::optional<Box> boundsOf(const DisplayObject& object)
{
    if (!object.character)
        return std::nullopt;
    return std::visit(Bounds{object}, *object.character);
}

} // namespace quillmere::swf
