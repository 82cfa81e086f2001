// flash.geom's Point, Rectangle, Matrix and ColorTransform: plain objects with numbers, and the
// methods banners use to make gradients' boxes and move points.

#include <cmath>
#include <string>

#include "swf/avm1/machine.h"
#include "swf/avm1/natives.h"

namespace quillmere::swf::avm1 {

namespace {

// Sets the named numbers of `self` from the arguments in order, `fallback` for those not given.
void setNumbers(Machine& m, const Value& self, const Arguments& a, std::initializer_list<const char*> names,
                std::initializer_list<double> fallbacks)
{
    auto fallback = fallbacks.begin();
    std::size_t i = 0;
    for (const char* name : names) {
        const Value given = argument(a, i++);
        m.setMember(self, name, std::holds_alternative<Undefined>(given) ? Value(*fallback) : given);
        ++fallback;
    }
}

} // namespace

void Machine::installGeometry()
{
    Object* flash = makeObject(objectPrototype_);
    Object* geom = makeObject(objectPrototype_);
    global_->put(key("flash"), Value(flash), Property::DontEnum);
    flash->put(key("geom"), Value(geom), Property::DontEnum);

    Object* point = makeObject(objectPrototype_);
    defineClass(geom, "Point", point, [](Machine& m, Value self, Arguments& a) {
        setNumbers(m, self, a, {"x", "y"}, {0, 0});
        return Value(Undefined{});
    });
    defineMethod(point, "toString", [](Machine& m, Value self, Arguments&) {
        return Value("(x=" + m.toString(m.member(self, "x")) + ", y=" + m.toString(m.member(self, "y")) + ")");
    });

    Object* rectangle = makeObject(objectPrototype_);
    defineClass(geom, "Rectangle", rectangle, [](Machine& m, Value self, Arguments& a) {
        setNumbers(m, self, a, {"x", "y", "width", "height"}, {0, 0, 0, 0});
        return Value(Undefined{});
    });
    defineMethod(rectangle, "toString", [](Machine& m, Value self, Arguments&) {
        std::string text = "(";
        for (const char* name : {"x", "y", "w", "h"}) {
            const std::string field = name[0] == 'w' ? "width" : name[0] == 'h' ? "height" : name;
            text += std::string(text.size() > 1 ? ", " : "") + name + "=" + m.toString(m.member(self, field));
        }
        return Value(text + ")");
    });

    Object* matrix = makeObject(objectPrototype_);
    defineClass(geom, "Matrix", matrix, [](Machine& m, Value self, Arguments& a) {
        setNumbers(m, self, a, {"a", "b", "c", "d", "tx", "ty"}, {1, 0, 0, 1, 0, 0});
        return Value(Undefined{});
    });
    // createBox(scaleX, scaleY, rotation, tx, ty); createGradientBox takes a width and a height
    // over the gradient square's 1638.4 pixels and moves the box's corner to (tx, ty).
    const auto box = [](bool gradient) {
        return [gradient](Machine& m, Value self, Arguments& a) {
            const auto number
                = [&](std::size_t i, double fallback) { return i < a.size() ? m.toNumber(a[i]) : fallback; };
            double sx = number(0, 1), sy = number(1, 1);
            const double rotation = number(2, 0);
            double tx = number(3, 0), ty = number(4, 0);
            if (gradient) {
                tx += sx / 2;
                ty += sy / 2;
                sx /= 1638.4;
                sy /= 1638.4;
            }
            const double cos = std::cos(rotation), sin = std::sin(rotation);
            Arguments values{cos * sx, sin * sy, -sin * sx, cos * sy, tx, ty};
            setNumbers(m, self, values, {"a", "b", "c", "d", "tx", "ty"}, {1, 0, 0, 1, 0, 0});
            return Value(Undefined{});
        };
    };
    defineMethod(matrix, "createBox", box(false));
    defineMethod(matrix, "createGradientBox", box(true));
    defineMethod(matrix, "identity", [](Machine& m, Value self, Arguments&) {
        Arguments none;
        setNumbers(m, self, none, {"a", "b", "c", "d", "tx", "ty"}, {1, 0, 0, 1, 0, 0});
        return Value(Undefined{});
    });
    // The point's image, through the whole matrix or, for deltaTransformPoint, its linear part.
    const auto transform = [](bool translate) {
        return [translate](Machine& m, Value self, Arguments& a) {
            const auto field = [&](const char* name) { return m.toNumber(m.member(self, name)); };
            const double x = m.toNumber(m.member(argument(a, 0), "x")), y = m.toNumber(m.member(argument(a, 0), "y"));
            Object* out = m.makeObject(m.objectPrototype());
            m.setMember(out, "x", field("a") * x + field("c") * y + (translate ? field("tx") : 0));
            m.setMember(out, "y", field("b") * x + field("d") * y + (translate ? field("ty") : 0));
            return Value(out);
        };
    };
    defineMethod(matrix, "transformPoint", transform(true));
    defineMethod(matrix, "deltaTransformPoint", transform(false));
    defineMethod(matrix, "translate", [](Machine& m, Value self, Arguments& a) {
        m.setMember(self, "tx", m.toNumber(m.member(self, "tx")) + m.toNumber(argument(a, 0)));
        m.setMember(self, "ty", m.toNumber(m.member(self, "ty")) + m.toNumber(argument(a, 1)));
        return Value(Undefined{});
    });
    defineMethod(matrix, "scale", [](Machine& m, Value self, Arguments& a) {
        const double sx = m.toNumber(argument(a, 0)), sy = m.toNumber(argument(a, 1));
        for (const auto& [name, factor] : {std::pair{"a", sx}, {"c", sx}, {"tx", sx}, {"b", sy}, {"d", sy}, {"ty", sy}})
            m.setMember(self, name, m.toNumber(m.member(self, name)) * factor);
        return Value(Undefined{});
    });
    defineMethod(matrix, "rotate", [](Machine& m, Value self, Arguments& a) {
        const double angle = m.toNumber(argument(a, 0));
        const double cos = std::cos(angle), sin = std::sin(angle);
        for (const auto& [x, y] : {std::pair{"a", "b"}, {"c", "d"}, {"tx", "ty"}}) {
            const double u = m.toNumber(m.member(self, x)), v = m.toNumber(m.member(self, y));
            m.setMember(self, x, u * cos - v * sin);
            m.setMember(self, y, u * sin + v * cos);
        }
        return Value(Undefined{});
    });

    Object* colors = makeObject(objectPrototype_);
    defineClass(geom, "ColorTransform", colors, [](Machine& m, Value self, Arguments& a) {
        setNumbers(m, self, a,
                   {"redMultiplier", "greenMultiplier", "blueMultiplier", "alphaMultiplier", "redOffset", "greenOffset",
                    "blueOffset", "alphaOffset"},
                   {1, 1, 1, 1, 0, 0, 0, 0});
        return Value(Undefined{});
    });
}

} // namespace quillmere::swf::avm1
