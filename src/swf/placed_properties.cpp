#include "swf/placed_properties.h"

#include <algorithm>
#include <cmath>
#include <functional>
#include <numbers>

#include "swf/geometry.h"
#include "swf/script_clip.h"

namespace quillmere::swf {

namespace {

constexpr double kDegrees = 180 / std::numbers::pi;

double scaleX(const Matrix& m)
{
    return std::hypot(m.a, m.b);
}
double scaleY(const Matrix& m)
{
    return std::hypot(m.c, m.d);
}
double rotationX(const Matrix& m)
{
    return m.a == 0 && m.b == 0 ? 0 : std::atan2(m.b, m.a);
}
double rotationY(const Matrix& m)
{
    return m.c == 0 && m.d == 0 ? 0 : std::atan2(-m.c, m.d);
}

// A matrix of the given scales and rotations of its axes, where `m` was.
Matrix withAxes(const Matrix& m, double sx, double sy, double rx, double ry)
{
    return {sx * std::cos(rx), sx * std::sin(rx), -sy * std::sin(ry), sy * std::cos(ry), m.tx, m.ty};
}

// Its bounds in its parent's twips: a scroll rectangle's size where it has one.
std::optional<Box> boundsInParent(const DisplayObject& placed)
{
    std::optional<Box> bounds = boundsOf(placed);
    if (placed.scrollRect)
        bounds = Box{0, 0, placed.scrollRect->width(), placed.scrollRect->height()};
    return bounds ? std::optional(mapped(*bounds, placed.matrix)) : std::nullopt;
}

} // namespace

double twips(double pixels)
{
    return std::isfinite(pixels) ? std::round(std::clamp(pixels, -1e8, 1e8) * kTwipsPerPixel) : 0;
}

bool isPlacedProperty(std::string_view name)
{
    return std::find(std::begin(kPlacedProperties), std::end(kPlacedProperties), name) != std::end(kPlacedProperties);
}

std::optional<avm1::Value> placedProperty(const DisplayObject* placed, std::string_view name)
{
    const Matrix matrix = placed ? placed->matrix : Matrix{};
    if (name == "_x")
        return matrix.tx / kTwipsPerPixel;
    if (name == "_y")
        return matrix.ty / kTwipsPerPixel;
    if (name == "_xscale")
        return scaleX(matrix) * 100;
    if (name == "_yscale")
        return scaleY(matrix) * 100;
    if (name == "_rotation")
        return rotationX(matrix) * kDegrees;
    if (name == "_alpha")
        return (placed ? placed->colorTransform.mult[3] : 1) * 100;
    if (name == "_visible")
        return placed ? placed->effects.visible : true;
    if (name == "_name")
        return placed ? placed->name : std::string();
    if (placed && (name == "_width" || name == "_height")) {
        const std::optional<Box> box = boundsInParent(*placed);
        return box ? (name == "_width" ? box->width() : box->height()) / kTwipsPerPixel : 0.0;
    }
    return std::nullopt;
}

bool setPlacedProperty(avm1::Machine& machine, const std::function<DisplayObject*()>& placement, std::string_view name,
                       const avm1::Value& value)
{
    // What is given is converted before the placement is found: a script's valueOf or toString
    // may remove the object, or send its timeline back a frame, which places it anew.
    if (name == "_name") {
        std::string given = machine.toString(value);
        if (DisplayObject* placed = placement())
            placed->name = std::move(given);
        return false; // nothing drawn changes
    }
    if (name == "_visible") {
        const bool visible = machine.conversions().toBoolean(value);
        DisplayObject* placed = placement();
        if (placed)
            placed->effects.visible = visible;
        return placed != nullptr;
    }
    const double number = machine.toNumber(value);
    DisplayObject* placed = placement();
    if (!placed || !std::isfinite(number))
        return false; // players leave the property as it was
    Matrix& m = placed->matrix;
    if (name == "_x")
        m.tx = twips(number);
    else if (name == "_y")
        m.ty = twips(number);
    else if (name == "_alpha")
        placed->colorTransform.mult[3] = number / 100;
    else if (name == "_xscale")
        m = withAxes(m, number / 100, scaleY(m), rotationX(m), rotationY(m));
    else if (name == "_yscale")
        m = withAxes(m, scaleX(m), number / 100, rotationX(m), rotationY(m));
    else if (name == "_rotation") {
        const double turn = std::remainder(number, 360) / kDegrees - rotationX(m);
        m = withAxes(m, scaleX(m), scaleY(m), rotationX(m) + turn, rotationY(m) + turn);
    } else if (name == "_width" || name == "_height") { // scaled to it, in the parent's pixels
        const std::optional<Box> bounds = boundsOf(*placed);
        if (!bounds)
            return false;
        const Box now = mapped(*bounds, m);
        const bool wide = name == "_width";
        const double size = wide ? now.width() : now.height();
        const double wanted = std::max(0.0, number) * kTwipsPerPixel;
        if (size > 0) {
            const double factor = wanted / size;
            m = wide ? withAxes(m, scaleX(m) * factor, scaleY(m), rotationX(m), rotationY(m))
                     : withAxes(m, scaleX(m), scaleY(m) * factor, rotationX(m), rotationY(m));
        }
    } else {
        return false;
    }
    placed->scripted = true;
    return true;
}

DisplayObject* findPlacement(const PlacedObject& object)
{
    const std::shared_ptr<TimelinePlayer> owner = object.owner.lock();
    return owner && owner->script() ? owner->script()->findScripted(object.instance) : nullptr;
}

void installPlacedProperties(avm1::Machine& machine, avm1::Object* prototype)
{
    using avm1::Value;
    for (const std::string_view name : kPlacedProperties) {
        avm1::Function* getter = machine.makeNative([name](avm1::Machine&, Value self, avm1::Arguments&) -> Value {
            const DisplayObject* placed = placementOf(self).second;
            return placed ? *placedProperty(placed, name) : Value(avm1::Undefined{});
        });
        avm1::Function* setter = machine.makeNative([name](avm1::Machine& m, Value self, avm1::Arguments& a) -> Value {
            const auto [object, placed] = placementOf(self);
            const auto placement = [object = object] { return findPlacement(*object); };
            if (placed && setPlacedProperty(m, placement, name, avm1::argument(a, 0)))
                object->owner.lock()->script()->changed();
            if (name == "_name")
                if (const auto owner = object->owner.lock())
                    owner->script()->namesChanged();
            return avm1::Undefined{};
        });
        prototype->putAccessor(machine.key(name), getter, setter);
    }
    // Where it lies among its parent's children, as scripts count depths.
    machine.defineMethod(prototype, "getDepth", [](avm1::Machine&, Value self, avm1::Arguments&) -> Value {
        const auto [object, placed] = placementOf(self);
        if (placed)
            for (const auto& [depth, child] : object->owner.lock()->script()->contents())
                if (&child == placed)
                    return double(depth) - kScriptDepths;
        return avm1::Undefined{};
    });
}

} // namespace quillmere::swf
