// Scripts that build and move what a movie shows, as banners write them: a preloader, a clip
// drawn and tweened from a frame script, clips attached in a loop, and clips on the timeline
// that scripts and clip events take over from the frames.

#include <QtTest>

#include <algorithm>
#include <functional>
#include <numbers>

#include "action_writer.h"
#include "support/strict_warnings.h"
#include "swf/movie_reader.h"
#include "swf/avm1/natives.h"
#include "swf/drawing.h"
#include "swf/limits.h"
#include "swf/player.h"
#include "swf/script_clip.h"
#include "swf/script_painter.h"
#include "swf_writer.h"

using namespace quillmere::swf;
using namespace quillmere::swf::avm1;
using quillmere::testing::failOnUnexpectedWarnings;
using Writer = SwfWriter;

namespace {

std::shared_ptr<const Movie> read(const std::string& file)
{
    return std::make_shared<const Movie>(readMovie(file));
}

// A movie whose first frame goes on to the second and stops, where `actions` run: so that they
// can send the main timeline back a frame. `first` adds to the first frame before that.
std::shared_ptr<const Movie> secondFrameRuns(const ActionWriter& actions,
                                             const std::function<void(SwfWriter&)>& first = {})
{
    SwfWriter w(100, 100);
    if (first)
        first(w);
    w.doAction(ActionWriter().gotoFrame(1).op(op::Stop).actions());
    w.showFrame();
    w.doAction(actions.actions());
    w.showFrame();
    return read(w.finish());
}

Matrix at(double x)
{
    Matrix m;
    m.tx = x;
    return m;
}

// `target.method(arguments)`, its result left on the stack: the arguments go on last first,
// then their count, the object and the method's name.
ActionWriter& call(ActionWriter& code, const std::string& target, const std::string& method,
                   const std::vector<PushOperand>& arguments)
{
    std::vector<PushOperand> operands(arguments.rbegin(), arguments.rend());
    operands.emplace_back(std::in_place_type<Value>, double(arguments.size()));
    operands.emplace_back(std::in_place_type<Value>, target);
    return code.push(operands).op(op::GetVariable).push(method).op(op::CallMethod);
}

// `this.name += step`, through the members of `this`, as AS2 compilers write it.
ActionWriter& addToMember(ActionWriter& code, const std::string& name, double step)
{
    code.push("this").op(op::GetVariable).push(name);
    code.push("this").op(op::GetVariable).push(name).op(op::GetMember);
    return code.push(step).op(op::Add2).op(op::SetMember);
}

// Sprite 2: a 10 by 10 pixel square (shape 1) at its depth 1.
void defineSquareSprite(Writer& w)
{
    w.defineRectangle(1, {0, 200, 0, 200}, FillStyle{});
    w.beginSprite(2);
    w.place({.depth = 1, .characterId = 1});
    w.showFrame();
    w.endSprite();
}

// Counts the clips and bitmaps it is asked to draw, and paints nothing.
class CountingPainter : public ScriptPainter {
public:
    int draws = 0;
    void draw(const DisplayList&, const Matrix&, const ColorTransform&, const Over&, Bitmap&) override { ++draws; }
    void draw(const Bitmap&, const Matrix&, const ColorTransform&, const Over&, Bitmap&) override { ++draws; }
    void filter(const Bitmap&, Area, const Filter&, Bitmap&, bool) override {}
    bool covers(const DisplayList&, const Matrix&, Point) override { return false; }
    FieldLayout layOut(const EditText& field) override { return {field.bounds}; }
    std::optional<Bitmap> decoded(std::uint16_t) override { return std::nullopt; }
};

} // namespace

class SwfScriptsTest : public QObject {
    Q_OBJECT

private slots:
    void init() { failOnUnexpectedWarnings(); }

    // Frame 1: call("sub"); x = y * 2; stop(); frame 2, labelled "sub": y = 21; call(sub) twice
    // when `endless`. A called frame's actions run there and then, and the frame stays; one that
    // calls itself ends at the depth or the budget.
    void aCalledFrameRunsAsASubroutine()
    {
        for (const bool endless : {false, true}) {
            ActionWriter first;
            first.push("sub").op(op::Call).push({Value("x"), Value("y")}).op(op::GetVariable);
            first.push(2.0).op(op::Multiply).op(op::SetVariable).op(op::Stop);
            ActionWriter sub;
            sub.push({Value("y"), Value(21.0)}).op(op::SetVariable);
            if (endless)
                sub.push("sub").op(op::Call).push("sub").op(op::Call);
            Writer w(100, 100);
            w.doAction(first.actions());
            w.showFrame();
            w.frameLabel("sub");
            w.doAction(sub.actions());
            w.showFrame();
            Player player(read(w.finish()));
            QCOMPARE(player.variable("x"), endless ? Value(Undefined{}) : Value(42.0));
            QCOMPARE(player.scriptStopped(), endless);
            QCOMPARE(int(player.root().currentFrame()), 0);
        }
    }

    // gotoAndStop("/s:2") and gotoAndStop("s:end"): a frame after a target path goes there.
    void aFrameAfterATargetPathIsThatClips()
    {
        for (const char* frame : {"/s:2", "s:end"}) {
            Writer w(100, 100);
            w.beginSprite(1);
            w.showFrame();
            w.frameLabel("end");
            w.showFrame();
            w.endSprite();
            w.place({.depth = 1, .characterId = 1, .name = "s"});
            w.doAction(ActionWriter().push(frame).gotoFrame2(false).actions());
            w.showFrame();
            Player player(read(w.finish()));
            QCOMPARE(int(player.root().displayList().at(1).sprite->currentFrame()), 1);
            QCOMPARE(int(player.root().currentFrame()), 0);
        }
    }

    // if (_framesloaded > this._totalframes - 1) this.gotoAndStop(3); else play(); with frame 2
    // looping back to 1: a whole movie is all loaded, so the first frame goes on to the third.
    // Not written as >=, which compilers make true for an undefined property: here a property
    // the player fails to give keeps the movie waiting.
    void aPreloaderGoesOnOnceAllIsLoaded()
    {
        ActionWriter check;
        check.push("_framesloaded").op(op::GetVariable);
        check.push("this").op(op::GetVariable).push("_totalframes").op(op::GetMember).push(1.0).op(op::Subtract);
        check.op(op::Greater).ifTrue("loaded").op(op::Play).jump("end");
        call(check.label("loaded"), "this", "gotoAndStop", {Value(3.0)}).op(op::Pop).label("end");

        Writer w(100, 100);
        w.defineRectangle(1, {0, 200, 0, 200}, FillStyle{});
        w.doAction(check.actions());
        w.showFrame();
        w.doAction(ActionWriter().gotoFrame(0).op(op::Play).actions());
        w.showFrame();
        w.place({.depth = 1, .characterId = 1});
        w.showFrame();
        Player player(read(w.finish()));
        player.tick();
        QCOMPARE(int(player.root().currentFrame()), 2);
        QVERIFY(!player.root().playing());
        QCOMPARE(player.root().displayList().count(1), 1u);
        QCOMPARE(player.root().displayList().at(1).characterId, 1);
    }

    // A frame script makes an empty clip, draws a red 40 pixel square in it, and gives it an
    // onEnterFrame that moves it 10 pixels a frame and deletes itself at 50.
    void anEnterFrameHandlerTweensADrawnClip()
    {
        ActionWriter step;
        addToMember(step, "_x", 10);
        step.push("this").op(op::GetVariable).push("_x").op(op::GetMember).push(50.0).op(op::Less2);
        step.ifTrue("moving");
        step.push("this").op(op::GetVariable).push("onEnterFrame").op(op::Delete).op(op::Pop);
        step.label("moving");

        ActionWriter frame;
        frame.push("box");
        call(frame, "this", "createEmptyMovieClip", {Value("box"), Value(1.0)}).op(op::SetVariable);
        call(frame, "box", "beginFill", {Value(double(0xFF0000))}).op(op::Pop);
        call(frame, "box", "moveTo", {Value(0.0), Value(0.0)}).op(op::Pop);
        const std::pair<double, double> corners[] = {{40, 0}, {40, 40}, {0, 40}, {0, 0}};
        for (const auto& [x, y] : corners)
            call(frame, "box", "lineTo", {Value(x), Value(y)}).op(op::Pop);
        call(frame, "box", "endFill", {}).op(op::Pop);
        frame.push("box").op(op::GetVariable).push("onEnterFrame").function("", {}, step).op(op::SetMember);

        Writer w(100, 100);
        w.doAction(frame.actions());
        w.showFrame();
        Player player(read(w.finish()));
        const DisplayList& list = player.root().displayList();
        QCOMPARE(list.count(kScriptDepths + 1), 1u);
        const DisplayObject& box = list.at(kScriptDepths + 1);
        QCOMPARE(box.name, std::string("box"));
        QVERIFY(box.sprite);
        const Shape* drawn = box.sprite->drawing();
        QVERIFY(drawn);
        QCOMPARE(drawn->bounds.xMin, 0);
        QCOMPARE(drawn->bounds.xMax, 800);
        QCOMPARE(drawn->bounds.yMin, 0);
        QCOMPARE(drawn->bounds.yMax, 800);
        QCOMPARE(drawn->layers.front().fills.front().color, (Rgba{255, 0, 0, 255}));

        QCOMPARE(box.matrix.tx, 0.0);
        QVERIFY(player.animates()); // a one-frame movie, but its handler keeps the frames coming
        for (int i = 0; i < 4; ++i)
            player.tick();
        QCOMPARE(box.matrix.tx, 800.0);
        for (int i = 0; i < 6; ++i)
            player.tick();
        QCOMPARE(box.matrix.tx, 1000.0); // the handler is gone: it stays at 50
        QVERIFY(!player.animates());
    }

    // The two matrices a Flash MX script may give beginGradientFill for the same 200-pixel square
    // at (100, 100): {matrixType: "box", x, y, w, h} and the 3 by 3 {a, ..., i}, whose unit square
    // is the gradient's. Both span the square, where reading the nine as a 2 by 3 matrix would
    // make a gradient 327,680 pixels wide.
    void bothFormsOfAGradientMatrixSpanTheirSquare()
    {
        ActionWriter frame;
        const auto fill = [&frame](const std::string& clip, double depth,
                                   const std::vector<std::pair<std::string, Value>>& matrix) {
            frame.push(clip);
            call(frame, "this", "createEmptyMovieClip", {Value(clip), Value(depth)}).op(op::SetVariable);
            for (const auto& [name, value] : matrix)
                frame.push({name, value});
            frame.push(double(matrix.size())).op(op::InitObject);
            for (const double ratio : {255.0, 0.0})
                frame.push(ratio);
            frame.push(2.0).op(op::InitArray);
            frame.push({Value(100.0), Value(100.0), Value(2.0)}).op(op::InitArray);
            frame.push({Value(double(0x0000FF)), Value(double(0xFF0000)), Value(2.0)}).op(op::InitArray);
            frame.push({Value("linear"), Value(5.0), Value(clip)}).op(op::GetVariable);
            frame.push("beginGradientFill").op(op::CallMethod).op(op::Pop);
            call(frame, clip, "lineTo", {Value(300.0), Value(300.0)}).op(op::Pop);
        };
        fill("box", 1,
             {{"matrixType", Value("box")}, {"x", 100.0}, {"y", 100.0}, {"w", 200.0}, {"h", 200.0}, {"r", 0.0}});
        std::vector<std::pair<std::string, Value>> nine;
        const double rows[] = {200, 0, 0, 0, 200, 0, 200, 200, 1};
        for (std::size_t i = 0; i < std::size(rows); ++i)
            nine.emplace_back(std::string(1, char('a' + i)), rows[i]);
        fill("nine", 2, nine);
        Player player(secondFrameRuns(frame));
        player.tick();

        for (const int depth : {1, 2}) {
            const DisplayObject& clip = player.root().displayList().at(kScriptDepths + depth);
            QVERIFY(clip.sprite && clip.sprite->drawing());
            const FillStyle& gradient = clip.sprite->drawing()->layers.front().fills.front();
            QCOMPARE(gradient.kind, FillStyle::Kind::LinearGradient);
            QCOMPARE(gradient.matrix.a * 32768, 4000.0); // the square, 200 pixels, in twips
            QCOMPARE(gradient.matrix.d * 32768, 4000.0);
            QCOMPARE(gradient.matrix.tx, 4000.0);
            QCOMPARE(gradient.matrix.ty, 4000.0);
        }
    }

    // d = createEmptyMovieClip("d", 1); d.lineStyle(2); d.lineStyle(); d.lineTo(10, 10): in a
    // version 6 movie too, where undefined is 0 as a number, no thickness is no line.
    void lineStyleWithNoThicknessDrawsNoLine()
    {
        ActionWriter frame;
        frame.push("d");
        call(frame, "this", "createEmptyMovieClip", {Value("d"), Value(1.0)}).op(op::SetVariable);
        call(frame, "d", "lineStyle", {Value(2.0)}).op(op::Pop);
        call(frame, "d", "lineStyle", {}).op(op::Pop);
        call(frame, "d", "lineTo", {Value(10.0), Value(10.0)}).op(op::Pop);
        Writer w(100, 100, 12, 6);
        w.doAction(frame.actions());
        w.showFrame();
        Player player(read(w.finish()));
        const Shape* drawn = player.root().displayList().at(kScriptDepths + 1).sprite->drawing();
        QVERIFY(!drawn || std::all_of(drawn->layers.begin(), drawn->layers.end(), [](const ShapeLayer& layer) {
            return layer.linePaths.empty();
        }));
    }

    // box.onEnterFrame = function () { this.removeMovieClip(); this._x = 5; this.gotoAndStop(2); }
    // The clip leaves the stage while its handler runs; the handler finishes on a clip that is
    // no longer there, and nothing it does reaches the stage.
    void aClipRemovedByItsOwnHandlerFinishesIt()
    {
        ActionWriter handler;
        call(handler, "this", "removeMovieClip", {}).op(op::Pop);
        handler.push("this").op(op::GetVariable).push({Value("_x"), Value(5.0)}).op(op::SetMember);
        call(handler, "this", "gotoAndStop", {Value(2.0)}).op(op::Pop);
        ActionWriter frame;
        call(frame, "this", "createEmptyMovieClip", {Value("box"), Value(0.0)}).op(op::Pop);
        frame.push("box").op(op::GetVariable).push("onEnterFrame").function("", {}, handler).op(op::SetMember);

        Writer w(100, 100);
        w.doAction(frame.actions());
        w.showFrame();
        Player player(read(w.finish()));
        QCOMPARE(player.root().displayList().count(kScriptDepths), 1u);
        player.tick();
        QVERIFY(player.root().displayList().empty());
        QVERIFY(!player.scriptStopped());
        player.tick(); // what was removed is freed here
        QVERIFY(!player.animates());
    }

    // count = 0; id = setInterval(function () { if (++count == 3) clearInterval(id); }, 150);
    // loadMovie("http://example.com/a.swf"); loadMovie(...) again; new LoadVars().load(...):
    // the interval runs on the player's clock, a frame at 10 frames a second being 100 ms, and
    // stops itself; loading does nothing and is told once for each kind.
    void intervalsRunOnThePlayersClockAndLoadingIsRefused()
    {
        ActionWriter tick;
        tick.push({Value("count"), Value("count")}).op(op::GetVariable).op(op::Increment).op(op::SetVariable);
        tick.push("count").op(op::GetVariable).push(3.0).op(op::Equals2).op(op::Not).ifTrue("on");
        tick.push("id").op(op::GetVariable).push({Value(1.0), Value("clearInterval")}).op(op::CallFunction).op(op::Pop);
        tick.label("on");
        ActionWriter frame;
        frame.push({Value("count"), Value(0.0)}).op(op::SetVariable);
        frame.push({Value("id"), Value(150.0)}).function("", {}, tick);
        frame.push({Value(2.0), Value("setInterval")}).op(op::CallFunction).op(op::SetVariable);
        for (int i = 0; i < 2; ++i)
            frame.push({Value("http://example.com/a.swf"), Value(1.0), Value("loadMovie")})
                .op(op::CallFunction)
                .op(op::Pop);
        frame.push({Value("http://example.com/v"), Value(1.0), Value(0.0), Value("LoadVars")}).op(op::NewObject);
        frame.push("load").op(op::CallMethod).op(op::Pop);
        frame.op(op::Stop);

        Writer w(100, 100, 10);
        w.doAction(frame.actions());
        w.showFrame();
        Player player(read(w.finish()));
        // The main timeline is a clip: loadMovie is its method before it is a global function.
        QCOMPARE(player.takeRefusals(), (std::vector<std::string>{"MovieClip.loadMovie", "LoadVars.load"}));
        const auto count = [&] { return std::get<double>(player.variable("count")); };
        QVERIFY(player.animates());
        const double expected[] = {0, 1, 2, 2, 3, 3, 3}; // ticks at 100, 200... ms; due at 150, 300, 450
        for (const double wanted : expected) {
            player.tick();
            QCOMPARE(count(), wanted);
        }
        QVERIFY(!player.animates());
        QVERIFY(player.takeRefusals().empty());
    }

    // s = new Sound(); s.attachSound("beep"), a quarter of a second; s.onSoundComplete =
    // function () { done = getTimer(); }; s.start(0, 2); onEnterFrame = function () { at =
    // s.position; }: unheard, the sound still takes its time, and its end is heard of once its
    // second loop has played, at 10 frames a second.
    void soundsEndWhenTheyWouldHavePlayed()
    {
        ActionWriter complete;
        complete.push("done").push(0.0).push("getTimer").op(op::CallFunction).op(op::SetVariable);
        ActionWriter follow;
        follow.push("at").push("s").op(op::GetVariable).push("position").op(op::GetMember).op(op::SetVariable);
        ActionWriter frame;
        frame.push("this").op(op::GetVariable).push("onEnterFrame").function("", {}, follow).op(op::SetMember);
        frame.push({Value("s"), Value(0.0), Value("Sound")}).op(op::NewObject).op(op::SetVariable);
        call(frame, "s", "attachSound", {Value("beep")}).op(op::Pop);
        frame.push("s").op(op::GetVariable).push("onSoundComplete").function("", {}, complete).op(op::SetMember);
        call(frame, "s", "start", {Value(0.0), Value(2.0)}).op(op::Pop);
        frame.push("length");
        call(frame, "s", "getDuration", {}).op(op::SetVariable);
        frame.op(op::Stop);

        Writer w(100, 100, 10);
        // DefineSound: 11,025 samples at 44,100 a second, 16-bit mono, no data
        w.tag(14, std::string("\x05\x00\x0E\x11\x2B\x00\x00", 7));
        w.exportAssets(5, "beep");
        w.doAction(frame.actions());
        w.showFrame();
        Player player(read(w.finish()));
        QCOMPARE(player.variable("length"), Value(250.0));
        for (int i = 0; i < 3; ++i)
            player.tick();
        QCOMPARE(player.variable("at"), Value(50.0)); // 300 ms in: 50 into the second loop
        QCOMPARE(player.variable("done"), Value(Undefined{}));
        for (int i = 0; i < 2; ++i)
            player.tick();
        QCOMPARE(player.variable("done"), Value(500.0));
    }

    // a.setMask("_level0:_root.m") by a path; then a.setMask() and a.setMask("none") leave it;
    // a.setMask(null) takes it away, and m is drawn again.
    void aMaskIsSetByPathAndTakenAwayByNull()
    {
        ActionWriter frame;
        for (const char* name : {"a", "m"})
            call(frame, "this", "createEmptyMovieClip", {Value(name), Value(name[0] == 'a' ? 0.0 : 1.0)}).op(op::Pop);
        call(frame, "a", "setMask", {Value("_level0:_root.m")}).op(op::Pop);
        call(frame, "a", "setMask", {}).op(op::Pop);
        call(frame, "a", "setMask", {Value("none")}).op(op::Pop);
        ActionWriter clear;
        call(clear, "a", "setMask", {Value(Null{})}).op(op::Pop).op(op::Stop);

        Writer w(100, 100);
        w.doAction(frame.actions());
        w.showFrame();
        w.doAction(clear.actions());
        w.showFrame();
        Player player(read(w.finish()));
        const DisplayList& list = player.root().displayList();
        const DisplayObject& a = list.at(kScriptDepths);
        const DisplayObject& m = list.at(kScriptDepths + 1);
        QCOMPARE(a.maskedBy.lock(), std::shared_ptr<const TimelinePlayer>(m.sprite));
        QVERIFY(m.isMask);
        player.tick();
        QVERIFY(!a.maskedBy.lock());
        QVERIFY(!m.isMask);
    }

    // box.onRollOver = function () { this._alpha = 50; };
    // box.onRelease = function () { getURL("http://example.com/", "_blank"); };
    // A clip with pointer handlers is pressed and released as a button is, and what its release
    // opens is the click's, once.
    void aClipHandlesThePointerAsAButtonDoes()
    {
        ActionWriter over;
        over.push("this").op(op::GetVariable).push({Value("_alpha"), Value(50.0)}).op(op::SetMember);
        ActionWriter release;
        release.getUrl("http://example.com/", "_blank");
        ActionWriter frame;
        call(frame, "this", "createEmptyMovieClip", {Value("box"), Value(0.0)}).op(op::Pop);
        frame.push("box").op(op::GetVariable).push("onRollOver").function("", {}, over).op(op::SetMember);
        frame.push("box").op(op::GetVariable).push("onRelease").function("", {}, release).op(op::SetMember);

        Writer w(100, 100);
        w.doAction(frame.actions());
        w.showFrame();
        Player player(read(w.finish()));
        const DisplayObject& box = player.root().displayList().at(kScriptDepths);
        QVERIFY(box.sprite->handlesPointer());
        QVERIFY(player.pointerOver(box.instance));
        QCOMPARE(box.colorTransform.mult[3], 0.5);
        player.pointerPressed();
        QCOMPARE(player.pointerReleased(), std::optional<std::string>("http://example.com/"));
        QVERIFY(!player.ignoredAddress());
    }

    // on (rollOver) { log += "o"; } and so on for each of a button's transitions. Pressed, it
    // hears the pointer leave and come back as drags; let go off it, the press is undone and
    // opens nothing. A button a script disabled hears nothing and is not under the pointer; one
    // whose useHandCursor is false takes the pointer without a hand.
    void aButtonsTransitionsRunTheirActions()
    {
        const auto logs = [](const char* letter) {
            ActionWriter code;
            code.push({Value("log"), Value("log")}).op(op::GetVariable).push(letter).op(op::Add2);
            return code.op(op::SetVariable).getUrl("http://example.com/", "_blank").bytes();
        };
        ActionWriter frame;
        frame.push({Value("log"), Value("")}).op(op::SetVariable);
        frame.push("off").op(op::GetVariable).push({Value("enabled"), Value(false)}).op(op::SetMember);
        frame.push("on").op(op::GetVariable).push({Value("useHandCursor"), Value(false)}).op(op::SetMember);
        Writer w(100, 100);
        w.defineRectangle(1, {0, 1000, 0, 1000}, FillStyle{});
        w.defineButton(2, {{1 << Button::Up | 1 << Button::HitTest, 1, 1}},
                       {{0x01, logs("o")},
                        {0x02, logs("u")},
                        {0x04, logs("p")},
                        {0x08, logs("r")},
                        {0x10, logs("x")},
                        {0x20, logs("v")},
                        {0x40, logs("R")}});
        w.place({.depth = 1, .characterId = 2, .name = "on"});
        w.place({.depth = 2, .characterId = 2, .name = "off"});
        w.doAction(frame.actions());
        w.showFrame();
        Player player(read(w.finish()));
        const std::uint64_t on = player.root().displayList().at(1).instance;
        const std::uint64_t off = player.root().displayList().at(2).instance;
        const auto log = [&] { return std::get<std::string>(player.variable("log")); };

        player.pointerOver(on);
        QVERIFY(!player.showsHand());
        player.pointerPressed();
        player.pointerOver(0);
        player.pointerOver(on);
        player.pointerOver(off);
        QCOMPARE(player.pointerReleased(), std::nullopt);
        QCOMPARE(log(), "opxvxR");
        player.pointerOver(on);
        player.pointerPressed();
        QCOMPARE(player.pointerReleased(), std::optional<std::string>("http://example.com/"));
        player.pointerOver(off);
        QCOMPARE(log(), "opxvxRopru");
        QCOMPARE(player.buttonUnderPointer(), 0u);
        player.pointerPressed();
        QCOMPARE(player.pointerReleased(), std::nullopt);
        QCOMPARE(log(), "opxvxRopru");
    }

    // createEmptyMovieClip("box", 0); box._x = box._y = 10; box.startDrag(false, 0, 0, 50, 50);
    // on a click, startDrag("box", true); on the next, stopDrag(). The box keeps its distance
    // from the pointer within its bounds; locked, its origin is on the pointer; then it stays.
    void aDraggedClipFollowsThePointer()
    {
        ActionWriter frame;
        call(frame, "this", "createEmptyMovieClip", {Value("box"), Value(0.0)}).op(op::Pop);
        for (const char* axis : {"_x", "_y"})
            frame.push("box").op(op::GetVariable).push({Value(axis), Value(10.0)}).op(op::SetMember);
        call(frame, "box", "startDrag", {Value(false), Value(0.0), Value(0.0), Value(50.0), Value(50.0)}).op(op::Pop);
        ActionWriter click;
        click.push({Value(false), Value(true), Value("box")}).op(op::StartDrag);
        click.push("onMouseDown").function("", {}, ActionWriter().op(op::EndDrag)).op(op::SetVariable);
        frame.push("onMouseDown").function("", {}, click).op(op::SetVariable);
        Writer w(200, 200);
        w.doAction(frame.actions());
        w.showFrame();
        Player player(read(w.finish()));
        const DisplayObject& box = player.root().displayList().at(kScriptDepths);
        const auto moveTo = [&](std::int32_t x, std::int32_t y) {
            player.pointerAt({x * 20, y * 20});
            player.pointerMoved();
            return std::pair(box.matrix.tx / 20, box.matrix.ty / 20);
        };
        QCOMPARE(moveTo(20, 5), std::pair(30.0, 15.0));
        QCOMPARE(moveTo(100, -20), std::pair(50.0, 0.0));
        player.pointerPressed();
        QCOMPARE(moveTo(120, 130), std::pair(120.0, 130.0));
        player.pointerPressed();
        QCOMPARE(moveTo(0, 0), std::pair(120.0, 130.0));
    }

    // onClipEvent (initialize) { _x = 7; } on a sprite whose first frame says _x *= 2: a
    // component's parameters are set before its own scripts read them.
    void initializeEventsRunBeforeTheClipsOwnScripts()
    {
        ActionWriter parameters;
        parameters.push({Value("_x"), Value(7.0)}).op(op::SetVariable);
        ActionWriter doubled;
        doubled.push({Value("_x"), Value("_x")}).op(op::GetVariable).push(2.0).op(op::Multiply).op(op::SetVariable);
        Writer w(100, 100);
        w.beginSprite(1);
        w.doAction(doubled.actions());
        w.showFrame();
        w.endSprite();
        w.place({.depth = 1, .characterId = 1, .clipActions = {{ClipAction::Initialize, parameters.actions()}}});
        w.showFrame();
        Player player(read(w.finish()));
        QCOMPARE(player.root().displayList().at(1).matrix.tx, 280.0);
    }

    // A placed clip with onClipEvent (unload) { _root.placed = "gone"; } that the second frame
    // removes, and e = createEmptyMovieClip("e", 1); e.onUnload = function () { _root.made =
    // "gone"; }; e.removeMovieClip(): each hears of it as the next frame begins, and so does
    // e.c, a clip within e, whose onUnload sets _root.child.
    void clipsHearTheyAreUnloaded()
    {
        ActionWriter placedGone;
        placedGone.push({Value("_root.placed"), Value("gone")}).op(op::SetVariable);
        ActionWriter madeGone;
        madeGone.push({Value("_root.made"), Value("gone")}).op(op::SetVariable);
        ActionWriter frame;
        frame.push("e");
        call(frame, "this", "createEmptyMovieClip", {Value("e"), Value(1.0)}).op(op::SetVariable);
        frame.push("e").op(op::GetVariable).push("onUnload").function("", {}, madeGone).op(op::SetMember);
        call(frame, "e", "createEmptyMovieClip", {Value("c"), Value(1.0)}).op(op::Pop);
        ActionWriter childGone;
        childGone.push({Value("_root.child"), Value("gone")}).op(op::SetVariable);
        frame.push("e.c").op(op::GetVariable).push("onUnload").function("", {}, childGone).op(op::SetMember);
        call(frame, "e", "removeMovieClip", {}).op(op::Pop).op(op::Stop);
        Writer w(100, 100);
        defineSquareSprite(w);
        w.place({.depth = 1, .characterId = 2, .clipActions = {{ClipAction::Unload, placedGone.actions()}}});
        w.showFrame();
        w.remove(1);
        w.doAction(frame.actions());
        w.showFrame();
        Player player(read(w.finish()));
        player.tick();
        QCOMPARE(player.variable("placed"), Value(Undefined{}));
        QCOMPARE(player.variable("made"), Value(Undefined{}));
        player.tick();
        QCOMPARE(player.variable("placed"), Value("gone"));
        QCOMPARE(player.variable("made"), Value("gone"));
        QCOMPARE(player.variable("child"), Value("gone"));
    }

    // onClipEvent (mouseMove) { _x = _root._xmouse; getURL("http://moved.example/"); } on a placed
    // clip, and Mouse.addListener(o) with o.onMouseUp = function () { getURL("http://example.com/"); }:
    // the pointer reaches them wherever it is, but only a click opens an address.
    void mouseEventsReachClipsAndListenersWhereverThePointerIs()
    {
        ActionWriter follow;
        follow.push({Value("_x"), Value("_root")}).op(op::GetVariable).push("_xmouse").op(op::GetMember);
        follow.op(op::SetVariable).getUrl("http://moved.example/", "_blank");
        ActionWriter up;
        up.getUrl("http://example.com/", "_blank");
        ActionWriter frame;
        frame.push("o").push(0.0).op(op::InitObject).op(op::SetVariable);
        frame.push("o").op(op::GetVariable).push("onMouseUp").function("", {}, up).op(op::SetMember);
        frame.push("o").op(op::GetVariable).push({Value(1.0), Value("Mouse")}).op(op::GetVariable);
        frame.push("addListener").op(op::CallMethod).op(op::Pop);

        Writer w(100, 100);
        defineSquareSprite(w);
        w.place({.depth = 1, .characterId = 2, .clipActions = {{ClipAction::MouseMove, follow.actions()}}});
        w.doAction(frame.actions());
        w.showFrame();
        Player player(read(w.finish()));
        const DisplayObject& follower = player.root().displayList().at(1);
        player.pointerAt({400, 0});
        QVERIFY(player.pointerMoved());
        QCOMPARE(follower.matrix.tx, 400.0);
        QVERIFY(player.ignoredAddress());
        QVERIFY(!player.pointerMoved()); // it has not moved since
        QVERIFY(!player.pointerPressed());
        QCOMPARE(player.pointerReleased(), std::optional<std::string>("http://example.com/"));
    }

    // box.filters = [new flash.filters.BlurFilter(8, 6, 2)]; box.blendMode = "multiply";
    // box.cacheAsBitmap = true; box.opaqueBackground = 0xFF8000; t = box.transform;
    // m = t.matrix; m.a = 2; m.tx = 40; t.matrix = m;
    // t.colorTransform = new flash.geom.ColorTransform(1, 1, 1, 0.5);
    // shown = t.concatenatedColorTransform.alphaMultiplier; f = box.filters; f.push(new flash.filters.BevelFilter(6,
    // 90, 0x00FF00, 1, 0xFF0000, 0.5, 2, 2, 1, 1, "full")); box.filters = f; box.filters = box.filters; what scripts
    // set is what the renderer draws with, and what they read back sets it again.
    void effectsSetByScriptsReachThePlacement()
    {
        ActionWriter frame;
        call(frame, "this", "createEmptyMovieClip", {Value("box"), Value(0.0)}).op(op::Pop);
        frame.push("box").op(op::GetVariable).push("filters");
        frame.push({Value(2.0), Value(6.0), Value(8.0), Value(3.0), Value("flash")}).op(op::GetVariable);
        frame.push("filters").op(op::GetMember).push("BlurFilter").op(op::NewMethod);
        frame.push(1.0).op(op::InitArray).op(op::SetMember);
        frame.push("box").op(op::GetVariable).push({Value("blendMode"), Value("multiply")}).op(op::SetMember);
        frame.push("box").op(op::GetVariable).push({Value("cacheAsBitmap"), Value(true)}).op(op::SetMember);
        frame.push("box").op(op::GetVariable).push({Value("opaqueBackground"), Value(double(0xFF8000))});
        frame.op(op::SetMember);
        frame.push({Value("t"), Value("box")}).op(op::GetVariable).push("transform").op(op::GetMember);
        frame.op(op::SetVariable).push({Value("m"), Value("t")}).op(op::GetVariable).push("matrix");
        frame.op(op::GetMember).op(op::SetVariable);
        frame.push("m").op(op::GetVariable).push({Value("a"), Value(2.0)}).op(op::SetMember);
        frame.push("m").op(op::GetVariable).push({Value("tx"), Value(40.0)}).op(op::SetMember);
        frame.push("t").op(op::GetVariable).push({Value("matrix"), Value("m")}).op(op::GetVariable).op(op::SetMember);
        frame.push({Value("ct"), Value(0.5), Value(1.0), Value(1.0), Value(1.0), Value(4.0), Value("flash")});
        frame.op(op::GetVariable).push("geom").op(op::GetMember).push("ColorTransform").op(op::NewMethod);
        frame.op(op::SetVariable).push("t").op(op::GetVariable).push({Value("colorTransform"), Value("ct")});
        frame.op(op::GetVariable).op(op::SetMember);
        frame.push({Value("shown"), Value("t")}).op(op::GetVariable).push("concatenatedColorTransform");
        frame.op(op::GetMember).push("alphaMultiplier").op(op::GetMember).op(op::SetVariable);
        frame.push({Value("f"), Value("box")}).op(op::GetVariable).push("filters").op(op::GetMember);
        frame.op(op::SetVariable).push({Value("full"), Value(1.0), Value(1.0), Value(2.0), Value(2.0), Value(0.5)});
        frame.push({Value(double(0xFF0000)), Value(1.0), Value(double(0x00FF00)), Value(90.0), Value(6.0)});
        frame.push({Value(11.0), Value("flash")}).op(op::GetVariable).push("filters").op(op::GetMember);
        frame.push("BevelFilter").op(op::NewMethod).push({Value(1.0), Value("f")}).op(op::GetVariable);
        frame.push("push").op(op::CallMethod).op(op::Pop);
        frame.push("box").op(op::GetVariable).push({Value("filters"), Value("f")}).op(op::GetVariable);
        frame.op(op::SetMember).push("box").op(op::GetVariable).push({Value("filters"), Value("box")});
        frame.op(op::GetVariable).push("filters").op(op::GetMember).op(op::SetMember);

        Writer w(100, 100, 12, 8);
        w.doAction(frame.actions());
        w.showFrame();
        Player player(read(w.finish()));
        const DisplayObject::Effects& effects = player.root().displayList().at(kScriptDepths).effects;
        QCOMPARE(effects.filters.size(), 2u);
        const Filter& bevel = effects.filters.back(); // read back and set again twice
        QCOMPARE(bevel.kind, Filter::Kind::Bevel);
        QCOMPARE(bevel.colors, (std::vector<Rgba>{{255, 0, 0, 128}, {0, 255, 0, 255}}));
        QVERIFY(bevel.onTop);
        QCOMPARE(bevel.distance, 6.0);
        QCOMPARE(bevel.angle, std::numbers::pi / 2);
        QCOMPARE(effects.filters.front().kind, Filter::Kind::Blur);
        QCOMPARE(effects.filters.front().blurX, 8.0);
        QCOMPARE(effects.filters.front().blurY, 6.0);
        QCOMPARE(effects.filters.front().passes, 2);
        QCOMPARE(effects.blendMode, BlendMode::Multiply);
        QVERIFY(effects.cacheAsBitmap);
        QCOMPARE(effects.opaqueBackground, (Rgba{255, 128, 0, 255}));
        const DisplayObject& box = player.root().displayList().at(kScriptDepths);
        QCOMPARE(box.matrix, (Matrix{2, 0, 0, 1, 800, 0}));
        QCOMPARE(box.colorTransform.mult[3], 0.5);
        QCOMPARE(player.variable("shown"), Value(0.5));
    }

    // Frame 1 goes to frame 2, which runs: createEmptyMovieClip("a", 0); createEmptyMovieClip("b", 1);
    // a._x = {valueOf: function () { a.removeMovieClip(); return 5; }};
    // b._y = {valueOf: function () { _root.gotoAndStop(1); return 7; }};
    // a clip its value removes is left as it went, and one placed anew by its parent going back
    // a frame takes the value where it is now.
    void aValueThatRemovesOrMovesItsClipIsSetWhereTheClipIsNow()
    {
        ActionWriter drop, back;
        call(drop, "a", "removeMovieClip", {}).op(op::Pop).push(5.0).op(op::Return);
        call(back, "_root", "gotoAndStop", {Value(1.0)}).op(op::Pop).push(7.0).op(op::Return);
        ActionWriter frame;
        call(frame, "this", "createEmptyMovieClip", {Value("a"), Value(0.0)}).op(op::Pop);
        call(frame, "this", "createEmptyMovieClip", {Value("b"), Value(1.0)}).op(op::Pop);
        frame.push("a").op(op::GetVariable).push({Value("_x"), Value("valueOf")}).function("", {}, drop);
        frame.push(1.0).op(op::InitObject).op(op::SetMember);
        frame.push("b").op(op::GetVariable).push({Value("_y"), Value("valueOf")}).function("", {}, back);
        frame.push(1.0).op(op::InitObject).op(op::SetMember);

        Player player(secondFrameRuns(frame));
        QVERIFY(!player.scriptStopped());
        QCOMPARE(int(player.root().currentFrame()), 0);
        const DisplayList& list = player.root().displayList();
        QCOMPARE(list.count(kScriptDepths), 0u);
        QCOMPARE(list.at(kScriptDepths + 1).name, std::string("b"));
        QCOMPARE(list.at(kScriptDepths + 1).matrix.ty, 140.0);
    }

    // As above, from frame 2: createEmptyMovieClip("c", 0);
    // c.filters = [new flash.filters.BlurFilter({valueOf: function () { c.removeMovieClip(); return 5; }})];
    // t = createTextField("t", 1, 0, 0, 100, 20);
    // t.text = {toString: function () { _root.gotoAndStop(1); return "moved"; }};
    void filtersOrTextThatRemoveOrMoveTheirObjectAreSetWhereItIsNow()
    {
        ActionWriter drop, back;
        call(drop, "c", "removeMovieClip", {}).op(op::Pop).push(5.0).op(op::Return);
        call(back, "_root", "gotoAndStop", {Value(1.0)}).op(op::Pop).push("moved").op(op::Return);
        ActionWriter frame;
        call(frame, "this", "createEmptyMovieClip", {Value("c"), Value(0.0)}).op(op::Pop);
        frame.push("c").op(op::GetVariable).push({Value("filters"), Value("valueOf")}).function("", {}, drop);
        frame.push(1.0).op(op::InitObject).push({Value(1.0), Value("flash")}).op(op::GetVariable);
        frame.push("filters").op(op::GetMember).push("BlurFilter").op(op::NewMethod);
        frame.push(1.0).op(op::InitArray).op(op::SetMember);
        frame.push("t");
        call(frame, "this", "createTextField",
             {Value("t"), Value(1.0), Value(0.0), Value(0.0), Value(100.0), Value(20.0)});
        frame.op(op::SetVariable).push("t").op(op::GetVariable).push({Value("text"), Value("toString")});
        frame.function("", {}, back).push(1.0).op(op::InitObject).op(op::SetMember);

        Player player(secondFrameRuns(frame));
        QVERIFY(!player.scriptStopped());
        const DisplayList& list = player.root().displayList();
        QCOMPARE(list.count(kScriptDepths), 0u);
        const auto& field = std::get<EditText>(*list.at(kScriptDepths + 1).character);
        QCOMPARE(field.paragraphs.at(0).spans.at(0).text, std::u16string(u"moved"));
        QCOMPARE(player.variable("t.text"), Value(std::string("moved")));
    }

    // Frame 1 places a shape at the depth scripts count as 0, and goes to frame 2, which runs:
    // createEmptyMovieClip("d", 0); d.createEmptyMovieClip({toString: function () {
    // _root.gotoAndStop(1); return "e"; }}, 0);
    // going back takes the depth for the frame's shape again: d goes as removed clips do, and the
    // method still running in it finishes there.
    void aClipWhoseDepthAFrameTakesBackGoesAsRemovedOnesDo()
    {
        ActionWriter back;
        call(back, "_root", "gotoAndStop", {Value(1.0)}).op(op::Pop).push("e").op(op::Return);
        ActionWriter frame;
        call(frame, "this", "createEmptyMovieClip", {Value("d"), Value(0.0)}).op(op::Pop);
        frame.push(0.0).push("toString").function("", {}, back).push(1.0).op(op::InitObject);
        frame.push({Value(2.0), Value("d")}).op(op::GetVariable).push("createEmptyMovieClip").op(op::CallMethod);
        frame.op(op::Pop);

        Player player(secondFrameRuns(frame, [](SwfWriter& w) {
            w.defineRectangle(1, {0, 200, 0, 200}, FillStyle{});
            w.place({.depth = std::uint16_t(kScriptDepths), .characterId = 1});
        }));
        QVERIFY(!player.scriptStopped());
        QCOMPARE(int(player.root().currentFrame()), 0);
        QCOMPARE(player.root().displayList().at(kScriptDepths).characterId, 1);
        player.tick(); // what went is freed here
    }

    // p = targetPath(createEmptyMovieClip("a", 1)); s = Key.SPACE; l = System.capabilities.language;
    // heard = Stage.addListener({}): what banners ask of the player and the stage is answered.
    void thePlayerAnswersWhatBannersAsk()
    {
        ActionWriter frame;
        frame.push("p");
        call(frame, "this", "createEmptyMovieClip", {Value("a"), Value(1.0)});
        frame.push(1.0).push("targetPath").op(op::CallFunction).op(op::SetVariable);
        frame.push("s").push("Key").op(op::GetVariable).push("SPACE").op(op::GetMember).op(op::SetVariable);
        frame.push("l").push("System").op(op::GetVariable).push("capabilities").op(op::GetMember);
        frame.push("language").op(op::GetMember).op(op::SetVariable);
        frame.push("heard").push(0.0).op(op::InitObject);
        frame.push({Value(1.0), Value("Stage")}).op(op::GetVariable).push("addListener").op(op::CallMethod);
        frame.op(op::SetVariable);
        Player player(secondFrameRuns(frame));
        QCOMPARE(player.variable("p"), Value("_level0.a"));
        QCOMPARE(player.variable("s"), Value(32.0));
        QCOMPARE(player.variable("l"), Value("en"));
        QCOMPARE(player.variable("heard"), Value(true));
    }

    // t = this.createTextField("t", 0, 10, 20, 100, 30); t.text = "Hi there";
    // t.setTextFormat(0, 2, new TextFormat("Serif", 20, 0xFF0000)); t.border = true;
    // f = t.getTextFormat(0, 2); f.size = 30; t.setTextFormat(0, 2, f); g = t.getTextFormat();
    // h = t.getTextFormat(2): "Hi" takes the format, the format read back sets the rest as it
    // was, the whole text's format has no one size, and the space after "Hi" has its own;
    // depth = u.getDepth() is where u was made. u.setTextFormat(new
    // TextFormat("Serif")); u.text = "x": text set after a format takes the new text's. A field, "gone", is made and
    // removed.
    void aTextFieldTakesItsTextAndFormat()
    {
        ActionWriter frame;
        const auto range = [](double begin, double end) {
            return std::vector<avm1::PushOperand>{Value(end), Value(begin)};
        };
        for (const char* name : {"t", "u"}) {
            frame.push(name);
            call(frame, "this", "createTextField",
                 {Value(name), Value(name[0] == 't' ? 0.0 : 2.0), Value(10.0), Value(20.0), Value(100.0), Value(30.0)});
            frame.op(op::SetVariable);
        }
        frame.push("t").op(op::GetVariable).push({Value("text"), Value("Hi there")}).op(op::SetMember);
        frame.push({Value(double(0xFF0000)), Value(20.0), Value("Serif"), Value(3.0), Value("TextFormat")});
        frame.op(op::NewObject).push(range(0, 2)).push({Value(3.0), Value("t")}).op(op::GetVariable);
        frame.push("setTextFormat").op(op::CallMethod).op(op::Pop);
        frame.push("t").op(op::GetVariable).push({Value("border"), Value(true)}).op(op::SetMember);
        frame.push("f").push(range(0, 2)).push({Value(2.0), Value("t")}).op(op::GetVariable);
        frame.push("getTextFormat").op(op::CallMethod).op(op::SetVariable);
        frame.push("f").op(op::GetVariable).push({Value("size"), Value(30.0)}).op(op::SetMember);
        frame.push("f").op(op::GetVariable).push(range(0, 2)).push({Value(3.0), Value("t")}).op(op::GetVariable);
        frame.push("setTextFormat").op(op::CallMethod).op(op::Pop);
        frame.push("g");
        call(frame, "t", "getTextFormat", {}).op(op::SetVariable);
        frame.push("h");
        call(frame, "t", "getTextFormat", {Value(2.0)}).op(op::SetVariable);
        frame.push("depth");
        call(frame, "u", "getDepth", {}).op(op::SetVariable);
        frame.push({Value("Serif"), Value(1.0), Value("TextFormat")}).op(op::NewObject);
        frame.push({Value(1.0), Value("u")}).op(op::GetVariable).push("setTextFormat").op(op::CallMethod).op(op::Pop);
        frame.push("u").op(op::GetVariable).push({Value("text"), Value("x")}).op(op::SetMember);
        call(frame, "this", "createTextField",
             {Value("gone"), Value(1.0), Value(0.0), Value(0.0), Value(10.0), Value(10.0)})
            .op(op::Pop);
        call(frame, "gone", "removeTextField", {}).op(op::Pop);

        Writer w(200, 100);
        w.doAction(frame.actions());
        w.showFrame();
        Player player(read(w.finish()));
        const DisplayObject& shown = player.root().displayList().at(kScriptDepths);
        QCOMPARE(shown.name, std::string("t"));
        QVERIFY(!player.root().displayList().contains(kScriptDepths + 1));
        QCOMPARE(shown.matrix.tx, 200.0);
        QCOMPARE(shown.matrix.ty, 400.0);
        const auto& field = std::get<EditText>(*shown.character);
        QCOMPARE(field.bounds.xMax, 2000);
        QCOMPARE(field.bounds.yMax, 600);
        QVERIFY(field.border);
        const std::vector<EditText::Span>& spans = field.paragraphs.at(0).spans;
        QCOMPARE(spans.size(), 2u);
        QCOMPARE(spans[0].text, std::u16string(u"Hi"));
        QCOMPARE(spans[0].face, std::u16string(u"Serif"));
        QCOMPARE(spans[0].color, (Rgba{255, 0, 0, 255}));
        QCOMPARE(spans[0].height, 600.0);
        QCOMPARE(spans[1].text, std::u16string(u" there"));
        QCOMPARE(spans[1].face, std::u16string(u"Times New Roman"));
        QCOMPARE(spans[1].color, (Rgba{0, 0, 0, 255}));
        QVERIFY(std::holds_alternative<avm1::Null>(player.variable("g.size")));
        QCOMPARE(player.variable("g.bold"), Value(false));
        QCOMPARE(player.variable("h.size"), Value(12.0));
        QCOMPARE(player.variable("depth"), Value(2.0));
        QCOMPARE(std::get<std::string>(player.variable("t.text")), std::string("Hi there"));
        const auto& later = std::get<EditText>(*player.root().displayList().at(kScriptDepths + 2).character);
        QCOMPARE(later.paragraphs.at(0).spans.at(0).face, std::u16string(u"Times New Roman"));
    }

    // t = createTextField("t", 0, 0, 0, 100, 30); t.html = html; t.htmlText = "<b>Hi</b>": a field
    // that is not HTML shows the tags as typed, in the face a new field has.
    void htmlTextIsMarkupOnlyInAnHtmlField()
    {
        for (const bool html : {false, true}) {
            ActionWriter frame;
            frame.push("t");
            call(frame, "this", "createTextField",
                 {Value("t"), Value(0.0), Value(0.0), Value(0.0), Value(100.0), Value(30.0)});
            frame.op(op::SetVariable).push("t").op(op::GetVariable).push({Value("html"), Value(html)});
            frame.op(op::SetMember).push("t").op(op::GetVariable).push({Value("htmlText"), Value("<b>Hi</b>")});
            frame.op(op::SetMember);
            Writer w(100, 100);
            w.doAction(frame.actions());
            w.showFrame();
            Player player(read(w.finish()));
            const auto& field = std::get<EditText>(*player.root().displayList().at(kScriptDepths).character);
            const EditText::Span& span = field.paragraphs.at(0).spans.at(0);
            QCOMPARE(span.text, html ? std::u16string(u"Hi") : std::u16string(u"<b>Hi</b>"));
            QCOMPARE(span.bold, html);
            QCOMPARE(span.face, std::u16string(u"Times New Roman"));
        }
    }

    // t = createTextField("t", 0, 0, 0, 100, 30); s = "a\n"; do s += s; while (s.length < 200000);
    // t.text = s; n = t.text.length: a field keeps what it can show, however much it is given.
    void aFieldKeepsNoMoreThanItShows()
    {
        ActionWriter frame;
        frame.push("t");
        call(frame, "this", "createTextField",
             {Value("t"), Value(0.0), Value(0.0), Value(0.0), Value(100.0), Value(30.0)});
        frame.op(op::SetVariable).push({Value("s"), Value("a\n")}).op(op::SetVariable).label("top");
        frame.push({Value("s"), Value("s")}).op(op::GetVariable).push("s").op(op::GetVariable).op(op::Add2);
        frame.op(op::SetVariable).push("s").op(op::GetVariable).push("length").op(op::GetMember);
        frame.push(200000.0).op(op::Less2).ifTrue("top");
        frame.push({Value("t")}).op(op::GetVariable).push("text").push("s").op(op::GetVariable).op(op::SetMember);
        frame.push({Value("n"), Value("t")}).op(op::GetVariable).push("text").op(op::GetMember).push("length");
        frame.op(op::GetMember).op(op::SetVariable);

        Writer w(200, 100);
        w.doAction(frame.actions());
        w.showFrame();
        Player player(read(w.finish()));
        const auto& field = std::get<EditText>(*player.root().displayList().at(kScriptDepths).character);
        QVERIFY(field.paragraphs.size() <= kMostFieldRuns);
        QCOMPARE(player.variable("n"), Value(double(kMostFieldCharacters)));
    }

    // Init actions: _global.Ball = function () { this._x = 50; this.made = true; };
    // Ball.prototype = new MovieClip(); Ball.prototype.onEnterFrame = function () { this._x += 1; };
    // Object.registerClass("Ball", Ball); the frame places a Ball as b, then runs
    // r = b.made; c = attachMovie("Ball", "c", 5, {_y: 7}); cx = c._x; cy = c._y;
    // the placed clip is made of the class before the frame's actions, the attached one at once.
    void aRegisteredClassMakesItsSymbolsClips()
    {
        ActionWriter constructor, step, init;
        constructor.push("this").op(op::GetVariable).push({Value("_x"), Value(50.0)}).op(op::SetMember);
        constructor.push("this").op(op::GetVariable).push({Value("made"), Value(true)}).op(op::SetMember);
        addToMember(step, "_x", 1);
        init.push("_global").op(op::GetVariable).push("Ball").function("", {}, constructor).op(op::SetMember);
        init.push("Ball").op(op::GetVariable).push({Value("prototype"), Value(0.0), Value("MovieClip")});
        init.op(op::NewObject).op(op::SetMember);
        init.push("Ball").op(op::GetVariable).push("prototype").op(op::GetMember).push("onEnterFrame");
        init.function("", {}, step).op(op::SetMember);
        init.push("Ball").op(op::GetVariable).push({Value("BALL"), Value(2.0), Value("Object")}).op(op::GetVariable);
        init.push("registerClass").op(op::CallMethod).op(op::Pop);
        ActionWriter frame;
        frame.push({Value("r"), Value("b")}).op(op::GetVariable).push("made").op(op::GetMember).op(op::SetVariable);
        frame.push({Value("c"), Value("_y"), Value(7.0), Value(1.0)}).op(op::InitObject);
        frame.push({Value(5.0), Value("c"), Value("Ball"), Value(4.0), Value("this")}).op(op::GetVariable);
        frame.push("attachMovie").op(op::CallMethod).op(op::SetVariable);
        for (const char* axis : {"x", "y"})
            frame.push({Value(std::string("c") + axis), Value("c")})
                .op(op::GetVariable)
                .push(std::string("_") + axis)
                .op(op::GetMember)
                .op(op::SetVariable);

        Writer w(100, 100);
        defineSquareSprite(w);
        w.exportAssets(2, "Ball");
        w.tag(59, std::string("\x02\x00", 2) + init.bytes());
        w.place({.depth = 1, .characterId = 2, .name = "b"});
        w.doAction(frame.actions());
        w.showFrame();
        Player player(read(w.finish()));
        QCOMPARE(player.variable("r"), Value(true));
        QCOMPARE(player.variable("cx"), Value(50.0));
        QCOMPARE(player.variable("cy"), Value(7.0));
        player.tick();
        QCOMPARE(player.root().displayList().at(1).matrix.tx, 51.0 * 20); // the class's onEnterFrame
    }

    // a = attachMovie("dot", "a", 1); a._x = 50; b = a.duplicateMovieClip("b", 2); b.swapDepths(a);
    // p = {x: 5, y: 0}; a.localToGlobal(p); r = a.getBounds(_root); at = getInstanceAtDepth(1);
    // then the main timeline goes back to its first frame, and what scripts placed stays.
    void clipsMoveBetweenDepthsAndSpaces()
    {
        ActionWriter frame;
        frame.push("a");
        call(frame, "this", "attachMovie", {Value("dot"), Value("a"), Value(1.0)}).op(op::SetVariable);
        frame.push("a").op(op::GetVariable).push({Value("_x"), Value(50.0)}).op(op::SetMember);
        frame.push("b");
        call(frame, "a", "duplicateMovieClip", {Value("b"), Value(2.0)}).op(op::SetVariable);
        frame.push("a").op(op::GetVariable);
        frame.push({Value(1.0), Value("b")}).op(op::GetVariable).push("swapDepths").op(op::CallMethod).op(op::Pop);
        frame.push({Value("p"), Value("x"), Value(5.0), Value("y"), Value(0.0), Value(2.0)}).op(op::InitObject);
        frame.op(op::SetVariable).push("p").op(op::GetVariable);
        frame.push({Value(1.0), Value("a")}).op(op::GetVariable).push("localToGlobal").op(op::CallMethod).op(op::Pop);
        frame.push("r").push("_root").op(op::GetVariable);
        frame.push({Value(1.0), Value("a")}).op(op::GetVariable).push("getBounds").op(op::CallMethod);
        frame.op(op::SetVariable).push("at");
        call(frame, "this", "getInstanceAtDepth", {Value(1.0)}).push("_name").op(op::GetMember).op(op::SetVariable);

        Writer w(100, 100);
        defineSquareSprite(w);
        w.exportAssets(2, "dot");
        w.doAction(frame.actions());
        w.showFrame();
        w.showFrame();
        Player player(read(w.finish()));
        const auto number = [&](const char* name) { return std::get<double>(player.variable(name)); };
        const DisplayList& list = player.root().displayList();
        QCOMPARE(list.at(kScriptDepths + 2).name, std::string("a")); // swapped
        QCOMPARE(list.at(kScriptDepths + 1).name, std::string("b"));
        QCOMPARE(list.at(kScriptDepths + 1).matrix.tx, 1000.0); // the copy is where a was
        QCOMPARE(number("p.x"), 55.0);
        QCOMPARE(number("r.xMin"), 50.0);
        QCOMPARE(number("r.xMax"), 60.0);
        QCOMPARE(number("r.yMax"), 10.0);
        QCOMPARE(player.variable("at"), Value(std::string("b")));
        player.tick(); // frame 2
        player.tick(); // back to frame 1, whose script makes a and b again in their places
        QCOMPARE(list.size(), 2u);
        QCOMPARE(int(player.root().currentFrame()), 0);
    }

    // bd = new flash.display.BitmapData(4, 2, false, 0xFF0000FF); bd.fillRect(new
    // flash.geom.Rectangle(3, 0, -2, 5), 0x00FF00); this.attachBitmap(bd, 0); c = bd.getPixel(1, 1);
    // bd.colorTransform(new flash.geom.Rectangle(0, 0, 1, 1), new flash.geom.ColorTransform(0, 1, 1, 1, 255));
    // k = bd.clone(); k.scroll(1, 0); s = k.getPixel(1, 0); w = k.rectangle.width;
    // The negative width reaches back from x; the copy scrolls alone.
    void aBitmapIsFilledAndShown()
    {
        ActionWriter frame;
        frame.push("bd").push({Value(double(0xFF0000FF)), Value(false), Value(2.0), Value(4.0), Value(4.0)});
        frame.push("flash").op(op::GetVariable).push("display").op(op::GetMember).push("BitmapData").op(op::NewMethod);
        frame.op(op::SetVariable);
        frame.push({Value(double(0x00FF00)), Value(5.0), Value(-2.0), Value(0.0), Value(3.0), Value(4.0)});
        frame.push("flash").op(op::GetVariable).push("geom").op(op::GetMember).push("Rectangle").op(op::NewMethod);
        frame.push({Value(2.0), Value("bd")}).op(op::GetVariable).push("fillRect").op(op::CallMethod).op(op::Pop);
        frame.push({Value(255.0), Value(1.0), Value(1.0), Value(1.0), Value(0.0), Value(5.0)});
        frame.push("flash").op(op::GetVariable).push("geom").op(op::GetMember).push("ColorTransform");
        frame.op(op::NewMethod);
        frame.push({Value(1.0), Value(1.0), Value(0.0), Value(0.0), Value(4.0)});
        frame.push("flash").op(op::GetVariable).push("geom").op(op::GetMember).push("Rectangle").op(op::NewMethod);
        frame.push({Value(2.0), Value("bd")}).op(op::GetVariable).push("colorTransform").op(op::CallMethod);
        frame.op(op::Pop);
        frame.push({Value(0.0), Value("bd")}).op(op::GetVariable);
        frame.push({Value(2.0), Value("this")}).op(op::GetVariable).push("attachBitmap");
        frame.op(op::CallMethod).op(op::Pop);
        frame.push("c").push({Value(1.0), Value(1.0), Value(2.0), Value("bd")}).op(op::GetVariable);
        frame.push("getPixel").op(op::CallMethod).op(op::SetVariable);
        frame.push("k").push({Value(0.0), Value("bd")}).op(op::GetVariable).push("clone").op(op::CallMethod);
        frame.op(op::SetVariable).push({Value(0.0), Value(1.0), Value(2.0), Value("k")}).op(op::GetVariable);
        frame.push("scroll").op(op::CallMethod).op(op::Pop);
        frame.push("s").push({Value(0.0), Value(1.0), Value(2.0), Value("k")}).op(op::GetVariable);
        frame.push("getPixel").op(op::CallMethod).op(op::SetVariable);
        frame.push({Value("w"), Value("k")}).op(op::GetVariable).push("rectangle").op(op::GetMember);
        frame.push("width").op(op::GetMember).op(op::SetVariable);

        Writer w(100, 100);
        w.doAction(frame.actions());
        w.showFrame();
        Player player(read(w.finish()));
        QCOMPARE(std::get<double>(player.variable("c")), double(0x00FF00));
        QCOMPARE(std::get<double>(player.variable("s")), double(0xFF00FF));
        QCOMPARE(std::get<double>(player.variable("w")), 4.0);
        const auto& shape = std::get<Shape>(*player.root().displayList().at(kScriptDepths).character);
        const FillStyle& fill = shape.layers.at(0).fills.at(0);
        QVERIFY(fill.scriptBitmap);
        QCOMPARE(fill.scriptBitmap->argb, (std::vector<std::uint32_t>{0xFFFF00FF, 0xFF00FF00, 0xFF00FF00, 0xFF0000FF,
                                                                      0xFF0000FF, 0xFF00FF00, 0xFF00FF00, 0xFF0000FF}));
        QCOMPARE(shape.bounds.xMax, 80);
    }

    // A bitmap's pixels compared, filled, copied by channel, looked up and laid over, through
    // the class's own methods: each one's result is what the next one finds.
    void bitmapPixelsCompareFillAndCopy()
    {
        avm1::Machine m(8, 1);
        installBitmapDataClass(m);
        const auto make = [&](const char* package, const char* kind, Arguments arguments) {
            const Value type = m.member(m.member(m.member(m.global(), "flash"), package), kind);
            Value made = m.makeObject(objectIn(m.member(type, "prototype")));
            const Value constructed = m.call(type, made, arguments);
            return objectIn(constructed) ? constructed : made;
        };
        const auto call = [&](const Value& self, const char* method, Arguments arguments) {
            return m.call(m.member(self, method), self, arguments);
        };
        const auto pixel = [&](const Value& bitmap, double x, double y) {
            return std::uint32_t(std::get<double>(call(bitmap, "getPixel32", {x, y})));
        };
        const Value bd = make("display", "BitmapData", {4.0, 2.0, false, double(0xFF000000)});
        const Value origin = make("geom", "Point", {0.0, 0.0}), whole = m.member(bd, "rectangle");
        call(bd, "setPixel", {0.0, 0.0, double(0xFF0000)});
        call(bd, "setPixel", {1.0, 0.0, double(0x800000)});
        QCOMPARE(
            call(bd, "threshold", {bd, whole, origin, ">", double(0x700000), double(0xFF0000FF), double(0xFF0000)}),
            Value(2.0));
        call(bd, "floodFill", {3.0, 1.0, double(0xFF00FF00)});
        QCOMPARE(pixel(bd, 1, 0), 0xFF0000FFu);
        QCOMPARE(pixel(bd, 2, 0), 0xFF00FF00u);
        call(bd, "copyChannel",
             {bd, make("geom", "Rectangle", {0.0, 0.0, 1.0, 1.0}), make("geom", "Point", {3.0, 1.0}), 4.0, 1.0});
        QCOMPARE(pixel(bd, 3, 1), 0xFFFFFF00u);
        const Value bounds = call(bd, "getColorBoundsRect", {double(0xFFFFFFFF), double(0xFF0000FF)});
        QCOMPARE(m.toString(call(bounds, "toString", {})), std::string("(x=0, y=0, w=2, h=1)"));

        avm1::Array* greenToRed = m.makeArray();
        for (int level = 0; level < 256; ++level)
            greenToRed->put(std::to_string(level), double(level << 16));
        call(bd, "paletteMap",
             {bd, make("geom", "Rectangle", {0.0, 1.0, 1.0, 1.0}), make("geom", "Point", {0.0, 1.0}), Null{},
              Value(greenToRed)});
        QCOMPARE(pixel(bd, 0, 1), 0xFFFF0000u);

        const Value half = make("display", "BitmapData", {1.0, 1.0, true, double(0x80FFFFFF)});
        call(bd, "copyPixels",
             {half, m.member(half, "rectangle"), make("geom", "Point", {2.0, 0.0}), Null{}, Null{}, true});
        QCOMPARE(pixel(bd, 2, 0), 0xFF80FF80u); // half white over green
        call(bd, "copyPixels", {half, m.member(half, "rectangle"), make("geom", "Point", {3.0, 0.0})});
        QCOMPARE(pixel(bd, 3, 0), 0xFFFFFFFFu); // an opaque bitmap takes the colour alone
    }

    // Each method given an argument whose valueOf disposes the bitmap, as
    // bd.fillRect({x: 0, y: 0, height: 4, width: {valueOf: function() { bd.dispose(); return 1; }}}, 0xFF)
    // does: the pixels are not touched once gone, and the method does nothing.
    void bitmapDisposedByItsOwnArguments()
    {
        avm1::Machine m(8, 1);
        installBitmapDataClass(m);
        const Value type = m.member(m.member(m.member(m.global(), "flash"), "display"), "BitmapData");
        Value bd;
        const auto object = [&](std::initializer_list<std::pair<const char*, Value>> members) {
            Object* made = m.makeObject(m.objectPrototype());
            for (const auto& [name, value] : members)
                m.setMember(made, name, value);
            return Value(made);
        };
        const Value disposing = object({{"valueOf", Value(m.makeNative([&](Machine& machine, Value, Arguments&) {
                                             Arguments none;
                                             machine.call(machine.member(bd, "dispose"), bd, none);
                                             return Value(1.0);
                                         }))}});
        const Value whole = object({{"x", 0.0}, {"y", 0.0}, {"width", 4.0}, {"height", 4.0}});
        const Value rect = object({{"x", 0.0}, {"y", 0.0}, {"width", disposing}, {"height", 4.0}});
        const Value origin = object({{"x", 0.0}, {"y", 0.0}}), point = object({{"x", disposing}, {"y", 0.0}});
        const Value self("bd"); // stands for the bitmap itself, made anew for each call
        const std::vector<std::pair<const char*, Arguments>> calls{
            {"fillRect", {rect, 255.0}},
            {"fillRect", {whole, disposing}},
            {"colorTransform", {rect, object({})}},
            {"setPixel", {0.0, 0.0, disposing}},
            {"setPixel32", {0.0, disposing, 255.0}},
            {"getPixel", {0.0, disposing}},
            {"scroll", {disposing, 1.0}},
            {"noise", {1.0, disposing}},
            {"copyPixels", {self, rect, origin}},
            {"threshold", {self, rect, origin, ">", 0.0, 255.0}},
            {"copyChannel", {self, whole, point, 1.0, 2.0}},
            {"merge", {self, rect, origin, 1.0, 1.0, 1.0, 1.0}},
            {"paletteMap", {self, rect, origin}},
            {"floodFill", {0.0, 0.0, disposing}},
            {"getColorBoundsRect", {disposing, 0.0}},
        };
        for (auto [method, given] : calls) {
            Arguments size{4.0, 4.0};
            bd = m.call(type, Value(m.makeObject(m.objectPrototype())), size);
            std::replace(given.begin(), given.end(), self, bd);
            const Value result = m.call(m.member(bd, method), bd, given);
            QVERIFY2(result == Value(Undefined{}) || result == Value(0.0), method);
            Arguments none;
            QCOMPARE(m.call(m.member(bd, "getPixel32"), bd, none), Value(0.0)); // and it stays gone
        }
    }

    // Frame 1: for (i = 0; i < 500; i++) createEmptyMovieClip("c" + i, i);
    // frame 2: n = 0; while (true) { n++; if (renaming) c0._name = "c0"; y = x; }
    // Looking up a name no variable has looks among the timeline's 500 clips: by their names as
    // last indexed, which costs nothing more, and is paid for when a name changes and the index
    // is made again.
    void searchingManyClipsHasTheFramesBudget()
    {
        for (const bool renaming : {false, true}) {
            ActionWriter first, second;
            first.push({Value("i"), Value(0.0)}).op(op::SetVariable).label("top");
            first.push("i").op(op::GetVariable).push("c").push("i").op(op::GetVariable).op(op::Add2);
            first.push({Value(2.0), Value("this")}).op(op::GetVariable).push("createEmptyMovieClip").op(op::CallMethod);
            first.op(op::Pop).push({Value("i"), Value("i")}).op(op::GetVariable).op(op::Increment).op(op::SetVariable);
            first.push("i").op(op::GetVariable).push(500.0).op(op::Less2).ifTrue("top");
            second.push({Value("n"), Value(0.0)}).op(op::SetVariable).label("top");
            second.push({Value("n"), Value("n")}).op(op::GetVariable).op(op::Increment).op(op::SetVariable);
            if (renaming)
                second.push("c0").op(op::GetVariable).push({Value("_name"), Value("c0")}).op(op::SetMember);
            second.push({Value("y"), Value("x")}).op(op::GetVariable).op(op::SetVariable).jump("top");
            Writer w(100, 100);
            w.doAction(first.actions());
            w.showFrame();
            w.doAction(second.actions());
            w.showFrame();
            Player player(read(w.finish()));
            QCOMPARE(player.root().displayList().size(), 500u);
            player.tick();
            const double turns = std::get<double>(player.variable("n"));
            if (renaming)
                QVERIFY2(turns > 100 && turns < 5000, std::to_string(turns).c_str());
            else
                QCOMPARE(turns, 25000.0); // by its actions alone
        }
    }

    // bd = new BitmapData(100, 100); r = bd.rectangle; p = {x: 0, y: 0}; n = 0;
    // while (true) { bd[method](...); n++; }
    // Each method's pixels, and each new bitmap's, count against what a frame may paint: the loop
    // stops there, long before the frame's actions run out.
    void bitmapPixelWorkHasTheFramesBudget()
    {
        const std::vector<std::pair<std::string, std::vector<Value>>> methods{
            // One of each way of charging: a rectangle, the whole bitmap, and where a copy lands.
            {"fillRect", {Value("r"), Value(0.0)}},
            {"noise", {Value(1.0)}},
            {"copyPixels", {Value("bd"), Value("r"), Value("p")}},
        };
        for (const auto& [method, arguments] : methods) {
            ActionWriter frame;
            frame.push({Value("bd"), Value(100.0), Value(100.0), Value(2.0)});
            frame.push("flash").op(op::GetVariable).push("display").op(op::GetMember).push("BitmapData");
            frame.op(op::NewMethod).op(op::SetVariable);
            frame.push({Value("r"), Value("bd")}).op(op::GetVariable).push("rectangle").op(op::GetMember);
            frame.op(op::SetVariable);
            frame.push({Value("p"), Value("x"), Value(0.0), Value("y"), Value(0.0), Value(2.0)}).op(op::InitObject);
            frame.op(op::SetVariable).push({Value("n"), Value(0.0)}).op(op::SetVariable);
            frame.label("top");
            for (auto given = arguments.rbegin(); given != arguments.rend(); ++given) {
                frame.push({*given});
                if (*given == Value("bd") || *given == Value("r") || *given == Value("p"))
                    frame.op(op::GetVariable);
            }
            frame.push({Value(double(arguments.size())), Value("bd")}).op(op::GetVariable);
            frame.push(method).op(op::CallMethod).op(op::Pop);
            frame.push({Value("n"), Value("n")}).op(op::GetVariable).op(op::Increment).op(op::SetVariable);
            frame.jump("top");

            Writer w(100, 100);
            w.doAction(frame.actions());
            w.showFrame();
            Player player(read(w.finish()), nullptr);
            const Value calls = player.variable("n");
            QVERIFY2(player.scriptStopped() && calls == Value(double((kMostPixelsPaintedAFrame - 10'000) / 10'000)),
                     method.c_str());
        }
    }

    // Bitmaps of the largest size made and kept: past what live bitmaps may hold, the
    // constructor gives undefined, until one is disposed or the objects are freed.
    void liveBitmapsHaveACap()
    {
        avm1::Machine m(8, 1);
        installBitmapDataClass(m);
        const Value type = m.member(m.member(m.member(m.global(), "flash"), "display"), "BitmapData");
        const auto largest = [&] {
            Arguments size{2880.0, 2880.0};
            return m.call(type, Value(m.makeObject(m.objectPrototype())), size);
        };
        const auto madeUntilRefused = [&] {
            std::vector<Value> made;
            for (Value bd = largest(); objectIn(bd) && made.size() < 9; bd = largest())
                made.push_back(bd);
            return made;
        };
        const std::vector<Value> kept = madeUntilRefused();
        QCOMPARE(kept.size(), std::size_t(8));
        Arguments none;
        m.call(m.member(kept[3], "dispose"), kept[3], none);
        QCOMPARE(madeUntilRefused().size(), std::size_t(1));
        m.startFrame(); // nothing holds them: their objects are freed
        QCOMPARE(madeUntilRefused().size(), std::size_t(8));
    }

    // Drawings that share a count hold so much altogether: past it they draw no more until
    // another lets go, and a copy that would pass it is left empty.
    void drawingsShareOneCount()
    {
        const auto count = std::make_shared<std::size_t>(Drawing::kMostPartsAltogether - 3);
        const auto triangle = [](Drawing& d) {
            d.beginFill(FillStyle{});
            d.lineTo({100, 0});
            d.lineTo({100, 100});
        };
        Drawing first(count), second(count), copy(count);
        triangle(first);
        triangle(second);
        QVERIFY(first.shape());
        QVERIFY(!second.shape());
        copy = first;
        QVERIFY(!copy.shape());
        first.clear();
        QCOMPARE(*count, Drawing::kMostPartsAltogether - 3);
        second.clear();
        triangle(second);
        QVERIFY(second.shape());
    }

    // bd = new flash.display.BitmapData(2880, 2880); bd.draw(this) three times; after = true;
    // Making one of the largest bitmaps and drawing it once are as much as a frame may paint: the
    // second draw stops the scripts.
    void paintingHasABudgetAFrame()
    {
        ActionWriter frame;
        frame.push({Value("bd"), Value(2880.0), Value(2880.0), Value(2.0)});
        frame.push("flash").op(op::GetVariable).push("display").op(op::GetMember).push("BitmapData").op(op::NewMethod);
        frame.op(op::SetVariable);
        for (int i = 0; i < 3; ++i) {
            frame.push("this").op(op::GetVariable).push({Value(1.0), Value("bd")}).op(op::GetVariable);
            frame.push("draw").op(op::CallMethod).op(op::Pop);
        }
        frame.push({Value("after"), Value(true)}).op(op::SetVariable);

        Writer w(100, 100);
        w.doAction(frame.actions());
        w.showFrame();
        const auto painter = std::make_shared<CountingPainter>();
        Player player(read(w.finish()), painter);
        QCOMPARE(painter->draws, 1);
        QVERIFY(player.scriptStopped());
        QCOMPARE(player.variable("after"), Value(Undefined{}));
    }

    // btn.onRollOver = function() { hovered = this._width; this._alpha = 50; };
    // btn.onRelease = function() { getURL("http://handler.example/", "_blank"); };
    // A named button's object takes handlers and has a clip's place and looks; what the handlers
    // open still waits for the click.
    void aButtonsHandlersRunForThePointer()
    {
        ActionWriter over;
        over.push({Value("hovered"), Value("this")}).op(op::GetVariable).push("_width").op(op::GetMember);
        over.op(op::SetVariable).push("this").op(op::GetVariable).push({Value("_alpha"), Value(50.0)});
        over.op(op::SetMember);
        ActionWriter release;
        release.getUrl("http://handler.example/", "_blank");
        ActionWriter frame;
        frame.push("btn").op(op::GetVariable).push("onRollOver").function("", {}, over).op(op::SetMember);
        frame.push("btn").op(op::GetVariable).push("onRelease").function("", {}, release).op(op::SetMember);

        Writer w(100, 100);
        w.defineRectangle(1, {0, 1000, 0, 1000}, FillStyle{});
        w.defineButton(2, {{1 << Button::Up | 1 << Button::HitTest, 1, 1}}, "");
        w.place({.depth = 1, .characterId = 2, .name = "btn"});
        w.doAction(frame.actions());
        w.showFrame();
        Player player(read(w.finish()));
        QVERIFY(!player.ignoredAddress());
        const std::uint64_t button = player.root().displayList().at(1).instance;
        player.pointerOver(button);
        QCOMPARE(player.variable("hovered"), Value(50.0));
        QCOMPARE(player.root().displayList().at(1).colorTransform.mult[3], 0.5);
        player.pointerPressed();
        QCOMPARE(player.pointerReleased(), std::optional<std::string>("http://handler.example/"));
    }

    // before = label.text; label.text = "after"; label._x = 30; for a field the movie placed.
    void aPlacedFieldTakesNewText()
    {
        ActionWriter frame;
        frame.push({Value("before"), Value("label")}).op(op::GetVariable).push("text").op(op::GetMember);
        frame.op(op::SetVariable);
        frame.push("label").op(op::GetVariable).push({Value("text"), Value("after")}).op(op::SetMember);
        frame.push("label").op(op::GetVariable).push({Value("_x"), Value(30.0)}).op(op::SetMember);

        Writer w(100, 100);
        w.defineEditText(1, {.bounds = {0, 2000, 0, 400}, .text = "first", .outlines = false});
        w.place({.depth = 1, .characterId = 1, .name = "label"});
        w.doAction(frame.actions());
        w.showFrame();
        Player player(read(w.finish()));
        QCOMPARE(player.variable("before"), Value(std::string("first")));
        const auto& field = std::get<EditText>(*player.root().displayList().at(1).character);
        QCOMPARE(field.paragraphs.at(0).spans.at(0).text, std::u16string(u"after"));
        QCOMPARE(player.root().displayList().at(1).matrix.tx, 600.0);
    }

    // Two fields that show variables: "percent", which the frame sets to 42 and then 43, and
    // "_root.note", which no script sets and so takes the field's text, until a script sets the
    // field's text, and so the variable.
    void fieldsShowTheVariablesTheyName()
    {
        ActionWriter first, second;
        first.push({Value("percent"), Value(42.0)}).op(op::SetVariable);
        first.push({Value("noted"), Value("note")}).op(op::GetVariable).op(op::SetVariable);
        second.push({Value("percent"), Value(43.0)}).op(op::SetVariable);
        second.push({Value("t")})
            .op(op::GetVariable)
            .push({Value("text"), Value("set")})
            .op(op::SetMember)
            .op(op::Stop);

        Writer w(100, 100);
        w.defineEditText(1, {.bounds = {0, 2000, 0, 400}, .text = "0", .variable = "percent", .outlines = false});
        w.defineEditText(2,
                         {.bounds = {0, 2000, 0, 400}, .text = "hello", .variable = "_root.note", .outlines = false});
        w.place({.depth = 1, .characterId = 1});
        w.place({.depth = 2, .characterId = 2, .name = "t"});
        w.doAction(first.actions());
        w.showFrame();
        w.doAction(second.actions());
        w.showFrame();
        Player player(read(w.finish()));
        const auto shown = [&](std::int32_t depth) {
            return std::get<EditText>(*player.root().displayList().at(depth).character)
                .paragraphs.at(0)
                .spans.at(0)
                .text;
        };
        QCOMPARE(shown(1), std::u16string(u"42"));
        QCOMPARE(player.variable("note"), Value(std::string("hello")));
        QVERIFY(std::holds_alternative<Undefined>(player.variable("noted"))); // set after the frame's actions
        player.tick();
        QCOMPARE(shown(1), std::u16string(u"43"));
        QCOMPARE(shown(2), std::u16string(u"set"));
        QCOMPARE(player.variable("note"), Value(std::string("set")));
    }

    // for (i = 0; i < 5; ++i) this.attachMovie("dot", "dot" + i, i, {_x: i * 20});
    void attachMovieInALoopPlacesEachCopy()
    {
        ActionWriter loop;
        loop.push({Value("i"), Value(0.0)}).op(op::SetVariable);
        loop.label("top").push("i").op(op::GetVariable).push(5.0).op(op::Less2).op(op::Not).ifTrue("done");
        loop.push({Value("_x"), Value("i")}).op(op::GetVariable).push(20.0).op(op::Multiply);
        loop.push(1.0).op(op::InitObject);
        loop.push("i").op(op::GetVariable);
        loop.push({Value("dot"), Value("i")}).op(op::GetVariable).op(op::Add2);
        loop.push({Value("dot"), Value(4.0), Value("this")}).op(op::GetVariable);
        loop.push("attachMovie").op(op::CallMethod).op(op::Pop);
        loop.push({Value("i"), Value("i")}).op(op::GetVariable).op(op::Increment).op(op::SetVariable);
        loop.jump("top").label("done");

        Writer w(100, 100);
        defineSquareSprite(w);
        w.exportAssets(2, "dot");
        w.doAction(loop.actions());
        w.showFrame();
        Player player(read(w.finish()));
        const DisplayList& list = player.root().displayList();
        QCOMPARE(list.size(), 5u);
        for (int i = 0; i < 5; ++i) {
            QCOMPARE(list.count(kScriptDepths + i), 1u);
            const DisplayObject& dot = list.at(kScriptDepths + i);
            QCOMPARE(dot.name, "dot" + std::to_string(i));
            QCOMPARE(dot.characterId, 2);
            QCOMPARE(dot.matrix.tx, i * 400.0);
            QVERIFY(dot.sprite);
            QCOMPARE(dot.sprite->displayList().count(1), 1u); // the exported sprite's own square
        }
    }

    // clip._alpha = 50; clip._x = 30; on a clip the timeline placed by name: the frame after
    // moves it and its neighbour, and only the neighbour follows.
    void aScriptedClipIsLeftAloneByTheFrames()
    {
        ActionWriter set;
        set.push({Value("clip")}).op(op::GetVariable).push({Value("_alpha"), Value(50.0)}).op(op::SetMember);
        set.push({Value("clip")}).op(op::GetVariable).push({Value("_x"), Value(30.0)}).op(op::SetMember);

        Writer w(100, 100);
        defineSquareSprite(w);
        w.place({.depth = 1, .characterId = 2, .matrix = at(0), .name = "clip"});
        w.place({.depth = 2, .characterId = 2, .matrix = at(0), .name = "other"});
        w.doAction(set.actions());
        w.showFrame();
        w.place({.depth = 1, .move = true, .matrix = at(1500)});
        w.place({.depth = 2, .move = true, .matrix = at(1500)});
        w.doAction(SwfWriter::Actions::stop());
        w.showFrame();
        Player player(read(w.finish()));
        const DisplayList& list = player.root().displayList();
        QCOMPARE(list.at(1).name, std::string("clip"));
        QCOMPARE(list.at(1).colorTransform.mult[3], 0.5);
        QCOMPARE(list.at(1).matrix.tx, 600.0);
        player.tick();
        QCOMPARE(int(player.root().currentFrame()), 1);
        QCOMPARE(list.at(2).matrix.tx, 1500.0);
        QCOMPARE(list.at(1).matrix.tx, 600.0);
        QCOMPARE(list.at(1).colorTransform.mult[3], 0.5);
    }

    // onClipEvent(enterFrame) { _x += 5; } on a placed sprite: 100 twips a tick, from the
    // first tick after it was placed. Movies before version 6 give events in two bytes, not four.
    void aClipEventMovesItsClipEachFrame_data()
    {
        QTest::addColumn<int>("version");
        QTest::newRow("two-byte events") << 5;
        QTest::newRow("four-byte events") << 8;
    }

    void aClipEventMovesItsClipEachFrame()
    {
        QFETCH(int, version);
        ActionWriter move;
        move.push({Value("_x"), Value("_x")}).op(op::GetVariable).push(5.0).op(op::Add2).op(op::SetVariable);

        Writer w(100, 100, 12, std::uint8_t(version));
        defineSquareSprite(w);
        w.place({.depth = 1,
                 .characterId = 2,
                 .matrix = at(0),
                 .name = "mover",
                 .clipActions = {{ClipAction::EnterFrame, move.actions()}}});
        w.showFrame();
        Player player(read(w.finish()));
        const DisplayObject& mover = player.root().displayList().at(1);
        QCOMPARE(mover.matrix.tx, 0.0);
        for (int tick = 1; tick <= 3; ++tick) {
            player.tick();
            QCOMPARE(mover.matrix.tx, tick * 100.0);
        }
    }
};

QTEST_GUILESS_MAIN(SwfScriptsTest)
#include "tst_swf_scripts.moc"
