// flash.geom's Point, Rectangle, Matrix and ColorTransform: plain objects with numbers, and the
// methods banners use to measure, move and combine them.

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

double number(Machine& m, const Value& object, const char* name)
{
    return m.toNumber(m.member(object, name));
}

Value made(Machine& m, Object* prototype, std::initializer_list<std::pair<const char*, double>> fields)
{
    Object* object = m.makeObject(prototype);
    for (const auto& [name, value] : fields)
        m.setMember(object, name, value);
    return object;
}

// Getter and setter, hidden from enumeration like the rest of the prototype.
void accessor(Machine& m, Object* prototype, const char* name, Function::Native get, Function::Native set)
{
    prototype->putAccessor(m.key(name), m.makeNative(std::move(get)), m.makeNative(std::move(set)));
    prototype->setFlags(m.key(name), Property::DontEnum, 0);
}

// toString's "(x=1, y=2)": each field under its label, `label` or `label=field`.
Function::Native listing(std::vector<std::string> names)
{
    return [names = std::move(names)](Machine& m, Value self, Arguments&) {
        std::string text = "(";
        for (const std::string& name : names) {
            const std::size_t equals = name.find('=');
            text += (text.size() > 1 ? ", " : "") + name.substr(0, equals) + "="
                    + m.toString(m.member(self, equals == std::string::npos ? name : name.substr(equals + 1)));
            if (text.size() > Machine::kLongestString)
                break;
        }
        text.resize(std::min(text.size(), Machine::kLongestString - 1));
        return Value(text + ")");
    };
}

constexpr const char* kColorFields[] = {"redMultiplier", "greenMultiplier", "blueMultiplier", "alphaMultiplier",
                                        "redOffset",     "greenOffset",     "blueOffset",     "alphaOffset"};

void installPoint(Machine& m, Object* geom)
{
    Object* point = m.makeObject(m.objectPrototype());
    const auto at = [point](Machine& m, double x, double y) { return made(m, point, {{"x", x}, {"y", y}}); };
    Function* type = m.defineClass(geom, "Point", point, [](Machine& m, Value self, Arguments& a) {
        setNumbers(m, self, a, {"x", "y"}, {0, 0});
        return Value(Undefined{});
    });
    m.defineMethod(point, "toString", listing({"x", "y"}));
    const auto combined = [at](double sign) {
        return [at, sign](Machine& m, Value self, Arguments& a) {
            const Value other = argument(a, 0);
            return at(m, number(m, self, "x") + sign * number(m, other, "x"),
                      number(m, self, "y") + sign * number(m, other, "y"));
        };
    };
    m.defineMethod(point, "add", combined(1));
    m.defineMethod(point, "subtract", combined(-1));
    m.defineMethod(point, "clone", [at](Machine& m, Value self, Arguments&) {
        return at(m, number(m, self, "x"), number(m, self, "y"));
    });
    m.defineMethod(point, "equals", [](Machine& m, Value self, Arguments& a) {
        return Value(number(m, self, "x") == number(m, argument(a, 0), "x")
                     && number(m, self, "y") == number(m, argument(a, 0), "y"));
    });
    m.defineMethod(point, "offset", [](Machine& m, Value self, Arguments& a) {
        m.setMember(self, "x", number(m, self, "x") + m.toNumber(argument(a, 0)));
        m.setMember(self, "y", number(m, self, "y") + m.toNumber(argument(a, 1)));
        return Value(Undefined{});
    });
    // normalize(length): the same direction, that long; a point at the origin stays there.
    m.defineMethod(point, "normalize", [](Machine& m, Value self, Arguments& a) {
        const double x = number(m, self, "x"), y = number(m, self, "y"), length = std::hypot(x, y);
        if (length > 0) {
            const double scale = m.toNumber(argument(a, 0)) / length;
            m.setMember(self, "x", x * scale);
            m.setMember(self, "y", y * scale);
        }
        return Value(Undefined{});
    });
    accessor(
        m, point, "length",
        [](Machine& m, Value self, Arguments&) {
            return Value(std::hypot(number(m, self, "x"), number(m, self, "y")));
        },
        [](Machine&, Value, Arguments&) { return Value(Undefined{}); });
    m.defineMethod(type, "distance", [](Machine& m, Value, Arguments& a) {
        return Value(std::hypot(number(m, argument(a, 0), "x") - number(m, argument(a, 1), "x"),
                                number(m, argument(a, 0), "y") - number(m, argument(a, 1), "y")));
    });
    // interpolate(p1, p2, f): p1 at f = 1, p2 at f = 0.
    m.defineMethod(type, "interpolate", [at](Machine& m, Value, Arguments& a) {
        const double f = m.toNumber(argument(a, 2));
        const auto between = [&](const char* axis) {
            const double to = number(m, argument(a, 1), axis);
            return to + f * (number(m, argument(a, 0), axis) - to);
        };
        return at(m, between("x"), between("y"));
    });
    m.defineMethod(type, "polar", [at](Machine& m, Value, Arguments& a) {
        const double length = m.toNumber(argument(a, 0)), angle = m.toNumber(argument(a, 1));
        return at(m, length * std::cos(angle), length * std::sin(angle));
    });
}

struct Box {
    double x, y, width, height;
    double right() const { return x + width; }
    double bottom() const { return y + height; }
    bool empty() const { return !(width > 0 && height > 0); }
};

Box boxOf(Machine& m, const Value& object)
{
    return {number(m, object, "x"), number(m, object, "y"), number(m, object, "width"), number(m, object, "height")};
}

void installRectangle(Machine& m, Object* geom, Object* point)
{
    Object* rectangle = m.makeObject(m.objectPrototype());
    const auto box = [rectangle](Machine& m, const Box& b) {
        return made(m, rectangle, {{"x", b.x}, {"y", b.y}, {"width", b.width}, {"height", b.height}});
    };
    m.defineClass(geom, "Rectangle", rectangle, [](Machine& m, Value self, Arguments& a) {
        setNumbers(m, self, a, {"x", "y", "width", "height"}, {0, 0, 0, 0});
        return Value(Undefined{});
    });
    m.defineMethod(rectangle, "toString", listing({"x", "y", "w=width", "h=height"}));
    m.defineMethod(rectangle, "clone", [box](Machine& m, Value self, Arguments&) { return box(m, boxOf(m, self)); });
    m.defineMethod(rectangle, "isEmpty",
                   [](Machine& m, Value self, Arguments&) { return Value(boxOf(m, self).empty()); });
    m.defineMethod(rectangle, "setEmpty", [](Machine& m, Value self, Arguments&) {
        Arguments none;
        setNumbers(m, self, none, {"x", "y", "width", "height"}, {0, 0, 0, 0});
        return Value(Undefined{});
    });
    m.defineMethod(rectangle, "equals", [](Machine& m, Value self, Arguments& a) {
        const Box b = boxOf(m, self), o = boxOf(m, argument(a, 0));
        return Value(b.x == o.x && b.y == o.y && b.width == o.width && b.height == o.height);
    });
    const auto contains = [](const Box& b, double x, double y) {
        return Value(x >= b.x && x < b.right() && y >= b.y && y < b.bottom());
    };
    m.defineMethod(rectangle, "contains", [contains](Machine& m, Value self, Arguments& a) {
        return contains(boxOf(m, self), m.toNumber(argument(a, 0)), m.toNumber(argument(a, 1)));
    });
    m.defineMethod(rectangle, "containsPoint", [contains](Machine& m, Value self, Arguments& a) {
        return contains(boxOf(m, self), number(m, argument(a, 0), "x"), number(m, argument(a, 0), "y"));
    });
    m.defineMethod(rectangle, "containsRectangle", [](Machine& m, Value self, Arguments& a) {
        const Box b = boxOf(m, self), o = boxOf(m, argument(a, 0));
        return Value(o.x >= b.x && o.y >= b.y && o.right() <= b.right() && o.bottom() <= b.bottom());
    });
    // The overlap, or an empty rectangle at the origin where there is none.
    const auto overlap = [](const Box& b, const Box& o) {
        const Box both{std::max(b.x, o.x), std::max(b.y, o.y), 0, 0};
        const Box out{both.x, both.y, std::min(b.right(), o.right()) - both.x,
                      std::min(b.bottom(), o.bottom()) - both.y};
        return out.empty() ? Box{0, 0, 0, 0} : out;
    };
    m.defineMethod(rectangle, "intersection", [box, overlap](Machine& m, Value self, Arguments& a) {
        return box(m, overlap(boxOf(m, self), boxOf(m, argument(a, 0))));
    });
    m.defineMethod(rectangle, "intersects", [overlap](Machine& m, Value self, Arguments& a) {
        return Value(!overlap(boxOf(m, self), boxOf(m, argument(a, 0))).empty());
    });
    m.defineMethod(rectangle, "union", [box](Machine& m, Value self, Arguments& a) {
        const Box b = boxOf(m, self), o = boxOf(m, argument(a, 0));
        if (b.empty() || o.empty())
            return box(m, b.empty() ? o : b);
        const double x = std::min(b.x, o.x), y = std::min(b.y, o.y);
        return box(m, {x, y, std::max(b.right(), o.right()) - x, std::max(b.bottom(), o.bottom()) - y});
    });
    // inflate(dx, dy) grows each side; offset(dx, dy) moves the whole. Their Point forms too.
    const auto change = [](bool grow, bool byPoint) {
        return [grow, byPoint](Machine& m, Value self, Arguments& a) {
            const double dx = byPoint ? number(m, argument(a, 0), "x") : m.toNumber(argument(a, 0));
            const double dy = byPoint ? number(m, argument(a, 0), "y") : m.toNumber(argument(a, 1));
            const Box b = boxOf(m, self);
            m.setMember(self, "x", b.x - (grow ? dx : -dx));
            m.setMember(self, "y", b.y - (grow ? dy : -dy));
            if (grow) {
                m.setMember(self, "width", b.width + 2 * dx);
                m.setMember(self, "height", b.height + 2 * dy);
            }
            return Value(Undefined{});
        };
    };
    m.defineMethod(rectangle, "inflate", change(true, false));
    m.defineMethod(rectangle, "inflatePoint", change(true, true));
    m.defineMethod(rectangle, "offset", change(false, false));
    m.defineMethod(rectangle, "offsetPoint", change(false, true));

    // Sides: left and top move one edge and keep the other where it was.
    const auto side = [&m, rectangle](const char* name, const char* origin, const char* extent, bool near) {
        accessor(
            m, rectangle, name,
            [=](Machine& m, Value self, Arguments&) {
                return Value(number(m, self, origin) + (near ? 0 : number(m, self, extent)));
            },
            [=](Machine& m, Value self, Arguments& a) {
                const double v = m.toNumber(argument(a, 0)), at = number(m, self, origin);
                if (near) {
                    m.setMember(self, extent, number(m, self, extent) + at - v);
                    m.setMember(self, origin, v);
                } else {
                    m.setMember(self, extent, v - at);
                }
                return Value(Undefined{});
            });
    };
    side("left", "x", "width", true);
    side("top", "y", "height", true);
    side("right", "x", "width", false);
    side("bottom", "y", "height", false);
    const auto corner = [&m, rectangle, point](const char* name, const char* xName, const char* yName) {
        accessor(
            m, rectangle, name,
            [=](Machine& m, Value self, Arguments&) {
                return made(m, point, {{"x", number(m, self, xName)}, {"y", number(m, self, yName)}});
            },
            [=](Machine& m, Value self, Arguments& a) {
                m.setMember(self, xName, m.member(argument(a, 0), "x"));
                m.setMember(self, yName, m.member(argument(a, 0), "y"));
                return Value(Undefined{});
            });
    };
    corner("topLeft", "left", "top");
    corner("bottomRight", "right", "bottom");
    corner("size", "width", "height");
}

struct Affine {
    double a, b, c, d, tx, ty;
};

Affine affineOf(Machine& m, const Value& object)
{
    return {number(m, object, "a"), number(m, object, "b"),  number(m, object, "c"),
            number(m, object, "d"), number(m, object, "tx"), number(m, object, "ty")};
}

void setAffine(Machine& m, const Value& self, const Affine& f)
{
    Arguments values{f.a, f.b, f.c, f.d, f.tx, f.ty};
    setNumbers(m, self, values, {"a", "b", "c", "d", "tx", "ty"}, {1, 0, 0, 1, 0, 0});
}

void installMatrix(Machine& m, Object* geom, Object* point)
{
    Object* matrix = m.makeObject(m.objectPrototype());
    m.defineClass(geom, "Matrix", matrix, [](Machine& m, Value self, Arguments& a) {
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
            setAffine(m, self, {cos * sx, sin * sy, -sin * sx, cos * sy, tx, ty});
            return Value(Undefined{});
        };
    };
    m.defineMethod(matrix, "createBox", box(false));
    m.defineMethod(matrix, "createGradientBox", box(true));
    m.defineMethod(matrix, "identity", [](Machine& m, Value self, Arguments&) {
        setAffine(m, self, {1, 0, 0, 1, 0, 0});
        return Value(Undefined{});
    });
    m.defineMethod(matrix, "clone", [matrix](Machine& m, Value self, Arguments&) {
        Value copy = m.makeObject(matrix);
        setAffine(m, copy, affineOf(m, self));
        return copy;
    });
    // concat(second): this matrix, then the second.
    m.defineMethod(matrix, "concat", [](Machine& m, Value self, Arguments& a) {
        const Affine f = affineOf(m, self), s = affineOf(m, argument(a, 0));
        setAffine(m, self,
                  {f.a * s.a + f.b * s.c, f.a * s.b + f.b * s.d, f.c * s.a + f.d * s.c, f.c * s.b + f.d * s.d,
                   f.tx * s.a + f.ty * s.c + s.tx, f.tx * s.b + f.ty * s.d + s.ty});
        return Value(Undefined{});
    });
    // invert(): a matrix that flattens the plane has no inverse, and becomes the identity.
    m.defineMethod(matrix, "invert", [](Machine& m, Value self, Arguments&) {
        const Affine f = affineOf(m, self);
        const double det = f.a * f.d - f.b * f.c;
        if (det == 0 || !std::isfinite(det)) {
            setAffine(m, self, {1, 0, 0, 1, 0, 0});
            return Value(Undefined{});
        }
        setAffine(m, self,
                  {f.d / det, -f.b / det, -f.c / det, f.a / det, (f.c * f.ty - f.d * f.tx) / det,
                   (f.b * f.tx - f.a * f.ty) / det});
        return Value(Undefined{});
    });
    m.defineMethod(matrix, "toString", listing({"a", "b", "c", "d", "tx", "ty"}));
    // The point's image, through the whole matrix or, for deltaTransformPoint, its linear part.
    const auto transform = [point](bool translate) {
        return [point, translate](Machine& m, Value self, Arguments& a) {
            const Affine f = affineOf(m, self);
            const double x = number(m, argument(a, 0), "x"), y = number(m, argument(a, 0), "y");
            return made(
                m, point,
                {{"x", f.a * x + f.c * y + (translate ? f.tx : 0)}, {"y", f.b * x + f.d * y + (translate ? f.ty : 0)}});
        };
    };
    m.defineMethod(matrix, "transformPoint", transform(true));
    m.defineMethod(matrix, "deltaTransformPoint", transform(false));
    m.defineMethod(matrix, "translate", [](Machine& m, Value self, Arguments& a) {
        m.setMember(self, "tx", number(m, self, "tx") + m.toNumber(argument(a, 0)));
        m.setMember(self, "ty", number(m, self, "ty") + m.toNumber(argument(a, 1)));
        return Value(Undefined{});
    });
    m.defineMethod(matrix, "scale", [](Machine& m, Value self, Arguments& a) {
        const double sx = m.toNumber(argument(a, 0)), sy = m.toNumber(argument(a, 1));
        for (const auto& [name, factor] : {std::pair{"a", sx}, {"c", sx}, {"tx", sx}, {"b", sy}, {"d", sy}, {"ty", sy}})
            m.setMember(self, name, number(m, self, name) * factor);
        return Value(Undefined{});
    });
    m.defineMethod(matrix, "rotate", [](Machine& m, Value self, Arguments& a) {
        const double angle = m.toNumber(argument(a, 0));
        const double cos = std::cos(angle), sin = std::sin(angle);
        for (const auto& [x, y] : {std::pair{"a", "b"}, {"c", "d"}, {"tx", "ty"}}) {
            const double u = number(m, self, x), v = number(m, self, y);
            m.setMember(self, x, u * cos - v * sin);
            m.setMember(self, y, u * sin + v * cos);
        }
        return Value(Undefined{});
    });
}

void installColorTransform(Machine& m, Object* geom)
{
    Object* colors = m.makeObject(m.objectPrototype());
    m.defineClass(geom, "ColorTransform", colors, [](Machine& m, Value self, Arguments& a) {
        setNumbers(m, self, a,
                   {"redMultiplier", "greenMultiplier", "blueMultiplier", "alphaMultiplier", "redOffset", "greenOffset",
                    "blueOffset", "alphaOffset"},
                   {1, 1, 1, 1, 0, 0, 0, 0});
        return Value(Undefined{});
    });
    // rgb: a colour that replaces, as offsets over multipliers of nought.
    accessor(
        m, colors, "rgb",
        [](Machine& m, Value self, Arguments&) {
            const auto channel
                = [&](const char* name) { return std::uint32_t(Conversions::toInt32(number(m, self, name))) & 0xFF; };
            return Value(double(channel("redOffset") << 16 | channel("greenOffset") << 8 | channel("blueOffset")));
        },
        [](Machine& m, Value self, Arguments& a) {
            const auto rgb = std::uint32_t(Conversions::toInt32(m.toNumber(argument(a, 0))));
            for (const char* name : {"redMultiplier", "greenMultiplier", "blueMultiplier"})
                m.setMember(self, name, 0.0);
            m.setMember(self, "redOffset", double(rgb >> 16 & 0xFF));
            m.setMember(self, "greenOffset", double(rgb >> 8 & 0xFF));
            m.setMember(self, "blueOffset", double(rgb & 0xFF));
            return Value(Undefined{});
        });
    // concat(second): the second's change, then this one's.
    m.defineMethod(colors, "concat", [](Machine& m, Value self, Arguments& a) {
        const Value second = argument(a, 0);
        for (int i = 0; i < 4; ++i) {
            const double multiplier = number(m, self, kColorFields[i]);
            m.setMember(self, kColorFields[i + 4],
                        number(m, self, kColorFields[i + 4]) + multiplier * number(m, second, kColorFields[i + 4]));
            m.setMember(self, kColorFields[i], multiplier * number(m, second, kColorFields[i]));
        }
        return Value(Undefined{});
    });
    m.defineMethod(colors, "toString", listing({std::begin(kColorFields), std::end(kColorFields)}));
}

} // namespace

void Machine::installGeometry()
{
    Object* flash = makeObject(objectPrototype_);
    Object* geom = makeObject(objectPrototype_);
    global_->put(key("flash"), Value(flash), Property::DontEnum);
    flash->put(key("geom"), Value(geom), Property::DontEnum);
    installPoint(*this, geom);
    Object* point = objectIn(member(member(geom, "Point"), "prototype"));
    installRectangle(*this, geom, point);
    installMatrix(*this, geom, point);
    installColorTransform(*this, geom);
}

} // namespace quillmere::swf::avm1
