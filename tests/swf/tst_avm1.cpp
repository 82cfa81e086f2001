// The script machine on its own: values as each version of the format converts them, actions
// that compute and branch, and scripts that would never end or never stop growing.

#include <QtTest>

#include <cmath>

#include "action_writer.h"
#include "support/strict_warnings.h"
#include "swf/avm1/machine.h"
#include "swf/avm1/natives.h"

using namespace quillmere::swf;
using namespace quillmere::swf::avm1;
using quillmere::testing::failOnUnexpectedWarnings;

namespace {

// Records what the scripts ask of the timeline, one line each.
class RecordingHost : public Host {
public:
    std::vector<std::string> calls;
    double now = 0;

    void nextFrame() override { calls.push_back("next"); }
    void previousFrame() override { calls.push_back("previous"); }
    void play() override { calls.push_back("play"); }
    void stop() override { calls.push_back("stop"); }
    void gotoFrame(std::uint32_t frame, bool play) override
    {
        calls.push_back("frame " + std::to_string(frame) + (play ? " play" : ""));
    }
    void gotoLabel(const std::string& label, bool play) override
    {
        calls.push_back("label " + label + (play ? " play" : ""));
    }
    void getUrl(const std::string& address, const std::string& target) override
    {
        calls.push_back("url " + address + " " + target);
    }
    double milliseconds() const override { return now; }
};

Machine::Ending run(Machine& machine, const ActionWriter& actions, Host& host)
{
    return machine.run(std::make_shared<const Code>(decode(actions.bytes())), host);
}

std::string text(const Value& value)
{
    return Conversions(7).toString(value);
}

} // namespace

class TestAvm1 : public QObject {
    Q_OBJECT

private slots:
    void init() { failOnUnexpectedWarnings(); }

    void valuesConvertByTheMoviesVersion()
    {
        const Conversions v4(4), v6(6), v7(7);
        const auto number = [](const Conversions& c, const Value& v) { return c.toNumber(v); };
        QCOMPARE(number(v7, std::string(" 12\n")), 12.0);
        QCOMPARE(number(v7, std::string("0x1F")), 31.0);
        QCOMPARE(number(v7, std::string("-1.5e3")), -1500.0);
        QCOMPARE(number(v7, std::string("1e999")), INFINITY);
        QVERIFY(std::isnan(number(v7, std::string("12px"))));
        QVERIFY(std::isnan(number(v7, std::string("Infinity"))));
        QCOMPARE(number(v4, std::string("12px")), 0.0); // the first players read no number as 0
        QVERIFY(std::isnan(number(v7, Undefined{})));
        QCOMPARE(number(v6, Undefined{}), 0.0);
        QVERIFY(std::isnan(number(v7, std::string(""))));
        QCOMPARE(number(v6, std::string("")), 0.0);

        QCOMPARE(v7.toString(0.1 + 0.2), std::string("0.3"));
        QCOMPARE(v7.toString(123456789012345.0), std::string("123456789012345"));
        QCOMPARE(v7.toString(1e15), std::string("1e+15"));
        QCOMPARE(v7.toString(0.00001), std::string("1e-5"));
        QCOMPARE(v7.toString(-0.0), std::string("0"));
        QCOMPARE(v7.toString(-INFINITY), std::string("-Infinity"));
        QCOMPARE(v7.toString(Undefined{}), std::string("undefined"));
        QCOMPARE(v6.toString(Undefined{}), std::string(""));

        QVERIFY(!v6.toBoolean(std::string("0")));
        QVERIFY(v7.toBoolean(std::string("0")));
        QVERIFY(!v7.toBoolean(std::string("")));
        QVERIFY(!v7.toBoolean(NAN));

        QCOMPARE(Conversions::toInt32(4294967297.0), 1);
        QCOMPARE(Conversions::toInt32(-1.9), -1);
        QCOMPARE(Conversions::toInt32(2147483648.0), -2147483647 - 1);
    }

    // A loop in registers and branches: the sum of 1 to 100, then strings built from it.
    void loopsAndStringsCompute()
    {
        ActionWriter code;
        code.push(0.0).storeRegister(1).op(op::Pop); // the sum
        code.push(1.0).storeRegister(2).op(op::Pop); // the counter
        code.label("loop");
        code.push({RegisterOperand{1}, RegisterOperand{2}}).op(op::Add2).storeRegister(1).op(op::Pop);
        code.push({RegisterOperand{2}}).op(op::Increment).storeRegister(2).op(op::Pop);
        code.push({RegisterOperand{2}, Value(100.0)}).op(op::Greater).op(op::Not).ifTrue("loop");
        code.push({Value("Sum"), Value("sum is "), RegisterOperand{1}}).op(op::Add2).op(op::SetVariable);
        code.constantPool({"Word", "héllo"});
        code.push({PoolOperand{0}, PoolOperand{1}, Value(2.0), Value(3.0)}).op(op::MBStringExtract).op(op::SetVariable);
        code.push({Value("Length"), PoolOperand{1}}).op(op::MBStringLength).op(op::SetVariable);
        code.push({Value("Code"), Value("é")}).op(op::MBCharToAscii).op(op::SetVariable);

        RecordingHost host;
        Machine v6(6, 1);
        QCOMPARE(run(v6, code, host), Machine::Ending::Finished);
        QCOMPARE(text(v6.variable("sum")), std::string("sum is 5050")); // names are case-blind to 6
        QCOMPARE(text(v6.variable("word")), std::string("éll"));
        QCOMPARE(text(v6.variable("length")), std::string("5"));
        QCOMPARE(text(v6.variable("code")), std::string("233"));

        Machine v7(7, 1);
        run(v7, code, host);
        QCOMPARE(text(v7.variable("Sum")), std::string("sum is 5050"));
        QVERIFY(std::holds_alternative<Undefined>(v7.variable("sum")));

        Machine v5(5, 1); // strings are bytes before version 6
        run(v5, code, host);
        QCOMPARE(text(v5.variable("length")), std::string("6"));
    }

    void timelineActionsReachTheHost()
    {
        ActionWriter code;
        code.op(op::Stop).op(op::NextFrame).gotoFrame(4);
        code.push(3.0).gotoFrame2(true);
        code.push("intro").gotoFrame2(false);
        code.push({Value("http://a.example/"), Value("_blank")}).getUrl2();
        code.getUrl("http://b.example/", "_self");
        RecordingHost host;
        Machine machine(8, 1);
        QCOMPARE(run(machine, code, host), Machine::Ending::Finished);
        const std::vector<std::string> expected{"stop",
                                                "next",
                                                "frame 4",
                                                "frame 2 play",
                                                "label intro",
                                                "url http://a.example/ _blank",
                                                "url http://b.example/ _self"};
        QCOMPARE(host.calls, expected);
    }

    // A script that never ends stops at the frame's budget, and the frame runs no more scripts;
    // the next frame has a new budget. Scripts that only grow the stack, a string or the
    // variables stop at their caps.
    void endlessScriptsEnd()
    {
        ActionWriter endless;
        endless.label("top").push(1.0).op(op::Pop).jump("top");
        ActionWriter once;
        once.op(op::Play);
        RecordingHost host;
        Machine machine(8, 1);
        QCOMPARE(run(machine, endless, host), Machine::Ending::OverBudget);
        QCOMPARE(run(machine, once, host), Machine::Ending::OverBudget);
        QVERIFY(host.calls.empty());
        machine.startFrame();
        QCOMPARE(run(machine, once, host), Machine::Ending::Finished);
        QCOMPARE(host.calls, std::vector<std::string>{"play"});

        ActionWriter growing;
        growing.label("top").push("x").jump("top");
        machine.startFrame();
        QCOMPARE(run(machine, growing, host), Machine::Ending::Overflow);

        ActionWriter doubling; // a string that doubles each turn is cut at its cap
        doubling.push({Value("s"), Value("x")}).op(op::SetVariable);
        doubling.label("top").push({Value("s"), Value("s")}).op(op::GetVariable);
        doubling.push("s").op(op::GetVariable).op(op::StringAdd).op(op::SetVariable).jump("top");
        machine.startFrame();
        QCOMPARE(run(machine, doubling, host), Machine::Ending::OverBudget);
        QCOMPARE(std::get<std::string>(machine.variable("s")).size(), Machine::kLongestString);

        ActionWriter counting;
        counting.push(0.0).storeRegister(1);
        machine.startFrame();
        run(machine, counting, host);
        ActionWriter hoarding; // the long string again under a new name each turn, frame after frame
        hoarding.label("top").push({RegisterOperand{1}}).op(op::Increment).storeRegister(1).op(op::Pop);
        hoarding.push({Value("v"), RegisterOperand{1}}).op(op::Add2).push("s").op(op::GetVariable);
        hoarding.op(op::SetVariable).jump("top");
        Machine::Ending ending = Machine::Ending::OverBudget;
        for (int frame = 0; frame < 10 && ending == Machine::Ending::OverBudget; ++frame) {
            machine.startFrame();
            ending = run(machine, hoarding, host);
        }
        QCOMPARE(ending, Machine::Ending::OutOfMemory);
        QCOMPARE(std::get<std::string>(machine.variable("v1")).size(), Machine::kLongestString);
        QVERIFY(std::holds_alternative<Undefined>(machine.variable("v64")));

        ActionWriter recursing; // a function that calls itself without end
        recursing.function("f", {}, ActionWriter().push({Value(0.0), Value("f")}).op(op::CallFunction));
        recursing.push({Value(0.0), Value("f")}).op(op::CallFunction);
        machine.startFrame();
        QCOMPARE(run(machine, recursing, host), Machine::Ending::Overflow);
    }

    // Functions with their closures and registers, objects with prototypes and accessors, arrays
    // and strings through their methods, and exceptions through try, catch and finally.
    void functionsAndObjectsWork()
    {
        ActionWriter code;
        // function counter() { var n = 0; return function () { return ++n; }; }
        ActionWriter inner;
        inner.push("n").push("n").op(op::GetVariable).op(op::Increment).op(op::SetVariable);
        inner.push("n").op(op::GetVariable).op(op::Return);
        ActionWriter outer;
        outer.push({Value("n"), Value(0.0)}).op(op::DefineLocal).function("", {}, inner).op(op::Return);
        code.function("counter", {}, outer);
        code.push({Value("c"), Value(0.0), Value("counter")}).op(op::CallFunction).op(op::SetVariable);
        code.push({Value(0.0), Value("c")}).op(op::CallFunction).op(op::Pop);
        code.push({Value("Counted"), Value(0.0), Value("c")}).op(op::CallFunction).op(op::SetVariable);
        // function2 area(w, h) in registers 1 and 2 { return w * h; }
        ActionWriter area;
        area.push({RegisterOperand{1}, RegisterOperand{2}}).op(op::Multiply).op(op::Return);
        code.function2("area", {{"w", 1}, {"h", 2}}, 3, 0, area);
        code.push({Value("Area"), Value(6.0), Value(7.0), Value(2.0), Value("area")}).op(op::CallFunction);
        code.op(op::SetVariable);
        // A prototype's method through an instance: Box.prototype.twice = function () { return this.v * 2 }
        ActionWriter box;
        box.push({Value("this")}).op(op::GetVariable).push({Value("v"), Value(21.0)}).op(op::SetMember);
        code.function("Box", {}, box);
        ActionWriter twice;
        twice.push("this").op(op::GetVariable).push("v").op(op::GetMember).push(2.0).op(op::Multiply).op(op::Return);
        code.push("Box").op(op::GetVariable).push("prototype").op(op::GetMember).push("twice").function("", {}, twice);
        code.op(op::SetMember);
        code.push({Value("Doubled"), Value(0.0), Value(0.0), Value("Box")}).op(op::NewObject);
        code.push("twice").op(op::CallMethod).op(op::SetVariable);
        // ["b", "c", "a"].sort().join("-") and "x,y,z".split(",").length
        code.push({Value("Joined"), Value("-"), Value(1.0)});
        code.push({Value("a"), Value("c"), Value("b"), Value(3.0)}).op(op::InitArray);
        code.push({Value(0.0)}).op(op::StackSwap).push("sort").op(op::CallMethod);
        code.push("join").op(op::CallMethod).op(op::SetVariable);
        code.push({Value("Parts"), Value(","), Value(1.0), Value("x,y,z"), Value("split")}).op(op::CallMethod);
        code.push("length").op(op::GetMember).op(op::SetVariable);
        // try { throw new Error("oops") } catch (e) { caught = "" + e } finally { tidied = true }
        code.tryCatch(ActionWriter().push({Value("oops"), Value(1.0), Value("Error")}).op(op::NewObject).op(op::Throw),
                      "e",
                      ActionWriter()
                          .push({Value("Caught"), Value(""), Value("e")})
                          .op(op::GetVariable)
                          .op(op::Add2)
                          .op(op::SetVariable),
                      ActionWriter().push({Value("Tidied"), Value(true)}).op(op::SetVariable));

        // o = {}; AsBroadcaster.initialize(o); l = {hit: function (n) { Heard = n; }};
        // o.addListener(l) twice; o.broadcastMessage("hit", 7); Listening = o._listeners.length;
        code.push({Value("o"), Value(0.0)}).op(op::InitObject).op(op::SetVariable);
        code.push("o").op(op::GetVariable).push(1.0).push("AsBroadcaster").op(op::GetVariable);
        code.push("initialize").op(op::CallMethod).op(op::Pop);
        ActionWriter hit;
        hit.push({Value("Heard"), Value("n")}).op(op::GetVariable).op(op::SetVariable);
        code.push({Value("l"), Value("hit")}).function("", {"n"}, hit).push(1.0).op(op::InitObject).op(op::SetVariable);
        for (int i = 0; i < 2; ++i) {
            code.push("l").op(op::GetVariable).push(1.0).push("o").op(op::GetVariable);
            code.push("addListener").op(op::CallMethod).op(op::Pop);
        }
        code.push({Value(7.0), Value("hit"), Value(2.0), Value("o")}).op(op::GetVariable);
        code.push("broadcastMessage").op(op::CallMethod).op(op::Pop);
        code.push({Value("Listening"), Value("o")}).op(op::GetVariable).push("_listeners").op(op::GetMember);
        code.push("length").op(op::GetMember).op(op::SetVariable);

        RecordingHost host;
        Machine machine(7, 1);
        QCOMPARE(run(machine, code, host), Machine::Ending::Finished);
        QCOMPARE(text(machine.variable("Heard")), std::string("7"));
        QCOMPARE(text(machine.variable("Listening")), std::string("1"));
        QCOMPARE(text(machine.variable("Counted")), std::string("2"));
        QCOMPARE(text(machine.variable("Area")), std::string("42"));
        QCOMPARE(text(machine.variable("Doubled")), std::string("42"));
        QCOMPARE(text(machine.variable("Joined")), std::string("a-b-c"));
        QCOMPARE(text(machine.variable("Parts")), std::string("3"));
        QCOMPARE(text(machine.variable("Caught")), std::string("oops"));
        QCOMPARE(text(machine.variable("Tidied")), std::string("true"));

        // What no variable reaches is freed between frames; what they reach stays.
        const std::size_t before = machine.objects();
        ActionWriter litter;
        litter.push({Value(0.0), Value(0.0)}).op(op::InitArray).op(op::Pop);
        for (int i = 0; i < 50; ++i)
            litter.push({Value(0.0)}).op(op::InitObject).op(op::Pop);
        run(machine, litter, host);
        QCOMPARE(machine.objects(), before + 51);
        machine.startFrame();
        QVERIFY(machine.objects() < before);
        QCOMPARE(text(machine.variable("Counted")), std::string("2"));
        ActionWriter again;
        again.push({Value("Counted"), Value(0.0), Value("c")}).op(op::CallFunction).op(op::SetVariable);
        run(machine, again, host);
        QCOMPARE(text(machine.variable("Counted")), std::string("3"));
    }

    // Collections that find nothing new made are skipped, but a heap that refused an object is
    // collected, or a script that let go of a full heap could never make anything again.
    void aFullHeapIsCollectedOnceItRefuses()
    {
        Heap heap;
        std::vector<Object*> all;
        while (Object* made = heap.make<Object>())
            all.push_back(made);
        QCOMPARE(all.size(), Heap::kMostObjects);
        heap.collect(all);
        heap.collect({});
        QCOMPARE(heap.objects(), Heap::kMostObjects);
        QVERIFY(!heap.make<Object>());
        heap.collect({});
        QCOMPARE(heap.objects(), std::size_t(0));
    }

    // Branches into an action or out of the code, operands cut short, unknown push types and
    // actions longer than the block: decoded without reading past the bytes, run without harm.
    // Classes A extends B extends C, each constructor calling super() first and each name()
    // returning its letter and super.name(): new A().name() is "ABC", and every constructor ran
    // once.
    void superGoesUpOneClassAtATime()
    {
        ActionWriter code;
        const auto superCall = [](ActionWriter& body, const std::string& method) {
            // An empty method name calls super itself: the constructor above.
            body.push(0.0).push("super").op(op::GetVariable).push(method).op(op::CallMethod);
        };
        std::string below;
        for (const std::string letter : {"C", "B", "A"}) {
            ActionWriter constructor;
            if (!below.empty())
                superCall(constructor, ""), constructor.op(op::Pop);
            constructor.push({Value("ran"), Value("ran")}).op(op::GetVariable).push(letter).op(op::Add2);
            constructor.op(op::SetVariable);
            code.function(letter, {}, constructor);
            if (!below.empty())
                code.push(letter).op(op::GetVariable).push(below).op(op::GetVariable).op(op::Extends);
            ActionWriter name;
            name.push(letter);
            if (!below.empty())
                superCall(name, "name"), name.op(op::Add2);
            name.op(op::Return);
            code.push(letter).op(op::GetVariable).push("prototype").op(op::GetMember).push("name");
            code.function("", {}, name).op(op::SetMember);
            below = letter;
        }
        code.push({Value("ran"), Value("")}).op(op::SetVariable);
        code.push({Value("s"), Value(0.0), Value(0.0), Value("A")}).op(op::NewObject).push("name");
        code.op(op::CallMethod).op(op::SetVariable);
        Machine machine(8, 1);
        RecordingHost host;
        QCOMPARE(run(machine, code, host), Machine::Ending::Finished);
        QCOMPARE(text(machine.variable("s")), std::string("ABC"));
        QCOMPARE(text(machine.variable("ran")), std::string("CBA")); // each constructor once, the top first
    }

    // o = {a: 1, b: 2}; for (k in o) s += k; An object literal makes its last pair first, and
    // for..in goes from the latest made: "ab", as movies that lay out one item per key expect.
    // o.isPropertyEnumerable tells which it goes through.
    void forInGoesFromTheLatestMade()
    {
        ActionWriter code;
        code.push({Value("o"), Value("a"), Value(1.0), Value("b"), Value(2.0), Value(2.0)}).op(op::InitObject);
        code.op(op::SetVariable).push({Value("s"), Value("")}).op(op::SetVariable);
        code.push("o").op(op::GetVariable).op(op::Enumerate2);
        code.label("top").storeRegister(0).push({Value(Null{})}).op(op::Equals2).ifTrue("done");
        code.push({Value("s"), Value("s")}).op(op::GetVariable).push({RegisterOperand{0}}).op(op::Add2);
        code.op(op::SetVariable).jump("top").label("done");
        Machine machine(8, 1);
        RecordingHost host;
        QCOMPARE(run(machine, code, host), Machine::Ending::Finished);
        QCOMPARE(text(machine.variable("s")), std::string("ab"));
        const Value o = machine.variable("o");
        const auto enumerable = [&](const char* name) {
            Arguments given{Value(name)};
            return machine.call(machine.member(o, "isPropertyEnumerable"), o, given);
        };
        QCOMPARE(enumerable("a"), Value(true));
        QCOMPARE(enumerable("toString"), Value(false)); // not its own
        QCOMPARE(enumerable("__proto__"), Value(false));
    }

    // Geometry as scripts combine it: a matrix undone by its inverse, rectangles joined and
    // cut, a side moved by its accessor, a colour transform that replaces.
    void geometryCombines()
    {
        Machine m(8, 1);
        const Value geom = m.member(m.member(m.global(), "flash"), "geom");
        const auto make = [&](const char* kind, Arguments arguments) {
            const Value type = m.member(geom, kind);
            Value made = m.makeObject(objectIn(m.member(type, "prototype")));
            m.call(type, made, arguments);
            return made;
        };
        const auto call = [&](const Value& self, const char* method, Arguments arguments = {}) {
            return m.call(m.member(self, method), self, arguments);
        };
        const Value matrix = make("Matrix", {2.0, 0.5, -1.0, 3.0, 10.0, -4.0});
        const Value undo = call(matrix, "clone");
        call(undo, "invert");
        call(matrix, "concat", {undo});
        QCOMPARE(text(call(matrix, "toString")), std::string("(a=1, b=0, c=0, d=1, tx=0, ty=0)"));
        const Value moved = make("Matrix", {});
        call(moved, "translate", {5.0, 0.0});
        call(moved, "concat", {make("Matrix", {2.0, 0.0, 0.0, 2.0, 0.0, 0.0})}); // moved, then scaled
        QCOMPARE(text(call(call(moved, "transformPoint", {make("Point", {1.0, 1.0})}), "toString")),
                 std::string("(x=12, y=2)"));

        const Value a = make("Rectangle", {0.0, 0.0, 10.0, 10.0}), b = make("Rectangle", {5.0, -5.0, 10.0, 10.0});
        QCOMPARE(text(call(call(a, "union", {b}), "toString")), std::string("(x=0, y=-5, w=15, h=15)"));
        QCOMPARE(text(call(call(a, "intersection", {b}), "toString")), std::string("(x=5, y=0, w=5, h=5)"));
        QCOMPARE(text(call(call(a, "intersection", {make("Rectangle", {20.0, 0.0, 1.0, 1.0})}), "toString")),
                 std::string("(x=0, y=0, w=0, h=0)"));
        m.setMember(b, "left", 0.0); // the right edge stays
        QCOMPARE(text(call(b, "toString")), std::string("(x=0, y=-5, w=15, h=10)"));
        QCOMPARE(text(m.member(m.member(b, "bottomRight"), "y")), std::string("5"));

        const Value tint = make("ColorTransform", {0.5, 1.0, 1.0, 1.0, 10.0, 0.0, 0.0, 0.0});
        call(tint, "concat", {make("ColorTransform", {1.0, 1.0, 1.0, 1.0, 20.0, 0.0, 0.0, 0.0})});
        QCOMPARE(text(m.member(tint, "redOffset")), std::string("20"));
        m.setMember(tint, "rgb", double(0x336699));
        QCOMPARE(text(m.member(tint, "redMultiplier")), std::string("0"));
        QCOMPARE(text(m.member(tint, "rgb")), std::to_string(0x336699));
        const Value quarter = call(m.member(geom, "Point"), "interpolate",
                                   {make("Point", {10.0, 0.0}), make("Point", {0.0, 0.0}), 0.25});
        QCOMPARE(text(m.member(quarter, "x")), std::string("2.5"));
    }

    // What banners ask before they play: addresses they escape, the player's version, and a
    // sound whose volume a fade waits on. A broken escape stays as it is.
    void bannersChecksAreAnswered()
    {
        Machine m(8, 1);
        const auto call = [&](const Value& function, const Value& self, Arguments arguments = {}) {
            return m.call(function, self, arguments);
        };
        const auto global
            = [&](const char* name, const Value& given) { return text(call(m.variable(name), Undefined{}, {given})); };
        QCOMPARE(global("escape", std::string("a b&\xC3\xA9")), std::string("a%20b%26%C3%A9"));
        QCOMPARE(global("unescape", std::string("a%20b%26%C3%A9")), std::string("a b&\xC3\xA9"));
        QCOMPARE(global("unescape", std::string("%zz%4%u00e9%u20AC%u12")),
                 std::string("%zz%4\xC3\xA9\xE2\x82\xAC%u12"));
        QVERIFY(global("getVersion", Undefined{}).starts_with("LNX 8,"));

        const Value type = m.variable("Sound");
        const auto sound = [&] {
            Value made = m.makeObject(objectIn(m.member(type, "prototype")));
            call(type, made);
            return made;
        };
        const Value fading = sound(), other = sound();
        call(m.member(fading, "setVolume"), fading, {40.0});
        QCOMPARE(call(m.member(fading, "getVolume"), fading), Value(40.0));
        QCOMPARE(call(m.member(other, "getVolume"), other), Value(100.0));
    }

    // Dates as countdowns work them out: fields past their range carry into the next, setters
    // keep the fields they are not given, two-digit years are of the 1900s.
    void datesCarryAndKeepTheirFields()
    {
        Machine m(8, 1);
        const Value type = m.variable("Date");
        const auto date = [&](Arguments arguments) {
            Value made = m.makeObject(objectIn(m.member(type, "prototype")));
            m.call(type, made, arguments);
            return made;
        };
        const auto call = [&](const Value& self, const char* method, Arguments arguments = {}) {
            return m.call(m.member(self, method), self, arguments);
        };
        const Value eve = call(type, "UTC", {2026.0, 11.0, 31.0, 23.0, 59.0, 59.0, 500.0});
        QCOMPARE(eve, Value(1798761599500.0));
        const Value d = date({eve});
        call(d, "setUTCDate", {32.0});
        QCOMPARE(call(d, "getUTCFullYear"), Value(2027.0));
        QCOMPARE(call(d, "getUTCMonth"), Value(0.0));
        QCOMPARE(call(d, "getUTCDate"), Value(1.0));
        QCOMPARE(call(d, "getUTCMilliseconds"), Value(500.0));
        call(d, "setUTCHours", {0.0, 0.0, 0.0, 0.0});
        QCOMPARE(call(d, "getTime"), call(type, "UTC", {2027.0, 0.0, 1.0}));

        const Value local = date({99.0, 0.0, 1.0});
        QCOMPARE(call(local, "getFullYear"), Value(1999.0));
        call(local, "setMonth", {13.0});
        QCOMPARE(call(local, "getFullYear"), Value(2000.0));
        QCOMPARE(call(local, "getMonth"), Value(1.0));
        QVERIFY(text(call(local, "toString")).starts_with("Tue Feb 1 00:00:00 GMT"));
        QVERIFY(text(call(local, "toString")).ends_with(" 2000"));
        call(local, "setSeconds", {std::string("soon")});
        QCOMPARE(text(call(local, "toString")), std::string("Invalid Date"));
    }

    // Sorting with the options scripts pass, by fields, and with a compare function that
    // answers at random, as shuffles do: every element is still there once. An array within
    // itself joins once.
    void arraysSortByTheirOptions()
    {
        Machine m(8, 1);
        const auto call = [&](const Value& self, const char* method, Arguments arguments = {}) {
            return m.call(m.member(self, method), self, arguments);
        };
        const auto array = [&](const std::vector<Value>& values) {
            Array* made = m.makeArray();
            for (std::size_t i = 0; i < values.size(); ++i)
                made->put(std::to_string(i), values[i]);
            return Value(made);
        };
        const auto joined = [&](const Value& list) { return text(call(list, "join")); };
        const auto option = [&](const char* name) { return m.toNumber(m.member(m.variable("Array"), name)); };
        const Value numbers = array({10.0, 9.0, 100.0, 1.0});
        QCOMPARE(joined(call(numbers, "sort")), std::string("1,10,100,9"));
        const Value indices
            = call(numbers, "sort", {option("NUMERIC") + option("DESCENDING") + option("RETURNINDEXEDARRAY")});
        QCOMPARE(joined(indices), std::string("2,1,3,0"));
        QCOMPARE(joined(numbers), std::string("1,10,100,9")); // indices leave the array be
        QCOMPARE(call(array({"b", "a", "b"}), "sort", {option("UNIQUESORT")}), Value(0.0));
        const Value within = array({1.0});
        call(within, "push", {within});
        QCOMPARE(joined(within), std::string("1,")); // not itself again, level after level

        const auto point = [&](double z, const char* name) {
            Object* made = m.makeObject(m.objectPrototype());
            made->put("z", z);
            made->put("name", std::string(name));
            return Value(made);
        };
        const Value points = array({point(2, "b"), point(10, "c"), point(2, "a")});
        call(points, "sortOn", {array({"z", "name"}), array({option("NUMERIC") + option("DESCENDING"), 0.0})});
        QCOMPARE(text(m.member(m.member(points, "0"), "name")), std::string("c"));
        QCOMPARE(text(m.member(m.member(points, "1"), "name")), std::string("a"));

        Array* many = m.makeArray();
        for (int i = 0; i < 1000; ++i)
            many->put(std::to_string(i), double(i));
        const Value shuffled(many);
        Function* coin
            = m.makeNative([](Machine& m, Value, Arguments&) { return Value(double(m.random()() % 3) - 1); });
        call(shuffled, "sort", {Value(coin)});
        std::vector<double> seen;
        for (int i = 0; i < 1000; ++i)
            seen.push_back(m.toNumber(m.member(shuffled, std::to_string(i))));
        std::sort(seen.begin(), seen.end());
        for (int i = 0; i < 1000; ++i)
            QCOMPARE(seen[std::size_t(i)], double(i));
    }

    void brokenCodeEndsQuietly()
    {
        std::vector<std::string> blocks{
            std::string("\x99\x02\x00\xFF\x7F", 5),         // a jump far past the end
            std::string("\x99\x02\x00\xFD\xFF\x06", 6),     // a jump into its own operands
            std::string("\x96\x05\x00\x00\x61\x62", 6),     // a push whose string runs past it
            std::string("\x96\x02\x00\x0E\x01\x17", 6),     // an unknown push type
            std::string("\x8E\x20\x00\x66", 4),             // a function longer than the block
            std::string("\x8F\x07\x00\x00\x05\x00", 6),     // a try cut short
            std::string("\x8F\x00\x00\x06", 4),             // a try with no operands
            std::string("\x9B\x03\x00\x66\x00\x00\x06", 7), // a function without its size
            std::string("\x88\xFF\xFF\x61\x00", 5),         // a pool of more constants than bytes
            std::string("\x99\x02\x00\x00\x80\x06", 6),     // a jump before the code
        };
        blocks.push_back(ActionWriter().push(1e300).push("f").op(op::CallFunction).bytes()); // so many arguments
        for (const std::string& bytes : blocks) {
            for (std::size_t length = 0; length <= bytes.size(); ++length) {
                auto code = std::make_shared<const Code>(decode(std::string_view(bytes).substr(0, length)));
                RecordingHost host;
                Machine machine(8, 1);
                QCOMPARE(machine.run(code, host), Machine::Ending::Finished);
            }
        }
        const Code jumpInside = decode(std::string("\x99\x02\x00\xFD\xFF\x06", 6));
        QCOMPARE(jumpInside.instructions.front().target, kOutside);
    }
};

QTEST_GUILESS_MAIN(TestAvm1)
#include "tst_avm1.moc"
