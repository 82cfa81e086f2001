// Playing movies, without drawing them: frame actions steering timelines, sprites playing on
// their own, and what a click on a button may open.

#include <QtTest>

#include "support/strict_warnings.h"
#include "swf/movie_reader.h"
#include "swf/player.h"
#include "action_writer.h"
#include "swf_writer.h"

using namespace quillmere::swf;
using quillmere::testing::failOnUnexpectedWarnings;
using Writer = SwfWriter;
using Actions = Writer::Actions;

namespace {

const std::string kNextFrame("\x04", 1);
const std::string kPreviousFrame("\x05", 1);
const std::string kJump("\x99\x02\x00\x01\x00", 5); // a branch over the action after it

// GotoFrame2: go to the frame (1-based) or label on the stack, playing on when `play`.
std::string gotoFrame2(bool play)
{
    return std::string("\x9F\x01\x00", 3) + (play ? '\x01' : '\x00');
}

std::shared_ptr<const Movie> read(const std::string& file)
{
    return std::make_shared<const Movie>(readMovie(file));
}

Matrix at(double x)
{
    Matrix m;
    m.tx = x;
    return m;
}

// A movie of five frames, a square moving a step each frame, with `actions` on frame `frame`
// (0-based) and the label "four" on frame 3.
std::string steered(std::size_t frame, const std::string& actions)
{
    Writer w(100, 100);
    w.defineRectangle(1, {0, 200, 0, 200}, FillStyle{});
    for (std::size_t i = 0; i < 5; ++i) {
        w.place({.depth = 1, .characterId = 1, .move = i > 0, .matrix = at(double(i) * 200)});
        if (i == 3)
            w.frameLabel("four");
        if (i == frame)
            w.doAction(actions);
        w.showFrame();
    }
    return w.finish();
}

// if (typeof counter == "undefined") counter = 0; if (++counter < 3) gotoAndPlay(2); else stop();
std::string countToThree()
{
    using namespace avm1;
    ActionWriter code;
    code.push("counter").op(op::GetVariable).op(op::TypeOf).push("undefined").op(op::StringEquals).op(op::Not);
    code.ifTrue("counting").push("counter").push(0.0).op(op::SetVariable);
    code.label("counting").push("counter").push("counter").op(op::GetVariable).op(op::Increment);
    code.op(op::SetVariable).push("counter").op(op::GetVariable).push(3.0).op(op::Less2).op(op::Not);
    code.ifTrue("done").push(2.0).gotoFrame2(true).jump("end");
    code.label("done").op(op::Stop).label("end");
    return code.bytes();
}

std::uint64_t instanceAt(const Player& player, std::uint16_t depth)
{
    return player.root().displayList().at(depth).instance;
}

} // namespace

class SwfPlayerTest : public QObject {
    Q_OBJECT

private slots:
    void init() { failOnUnexpectedWarnings(); }

    // Where the main timeline is after some ticks, and whether it still plays.
    void frameActionsSteerTheTimeline_data()
    {
        QTest::addColumn<std::string>("movie");
        QTest::addColumn<int>("ticks");
        QTest::addColumn<int>("frame");
        QTest::addColumn<bool>("playing");
        QTest::newRow("no actions: loops") << steered(9, {}) << 7 << 2 << true;
        QTest::newRow("stop") << steered(1, Actions::stop()) << 10 << 1 << false;
        QTest::newRow("goto frame stops there") << steered(1, Actions::gotoFrame(3)) << 10 << 3 << false;
        QTest::newRow("goto label, play") << steered(0, Actions::gotoLabel("four") + Actions::play()) << 1 << 4 << true;
        QTest::newRow("a missing label goes nowhere") << steered(1, Actions::gotoLabel("none")) << 2 << 2 << true;
        QTest::newRow("GotoFrame2, a frame number pushed")
            << steered(1, Actions::push("5") + gotoFrame2(false)) << 10 << 4 << false;
        QTest::newRow("GotoFrame2, a frame number pushed, short of the last")
            << steered(1, Actions::push("3") + gotoFrame2(false)) << 10 << 2 << false;
        QTest::newRow("GotoFrame2, a label pushed, playing on")
            << steered(1, Actions::push("four") + gotoFrame2(true)) << 2 << 4 << true;
        QTest::newRow("next frame stops") << steered(1, kNextFrame) << 9 << 2 << false;
        QTest::newRow("previous frame stops") << steered(2, kPreviousFrame) << 9 << 1 << false;
        QTest::newRow("a jump over a stop") << steered(1, kJump + Actions::stop()) << 4 << 4 << true;
        // Frame 2 sends the timeline back to frame 1 twice, counting in a variable, then stops.
        QTest::newRow("a counting loop, looping") << steered(2, countToThree()) << 3 << 1 << true;
        QTest::newRow("a counting loop, done") << steered(2, countToThree()) << 10 << 2 << false;
        // A frame that jumps back to the one before it: each tick moves on, and none hangs.
        QTest::newRow("two frames jumping to each other")
            << steered(2, Actions::gotoFrame(1) + Actions::play()) << 1000 << 1 << true;
    }

    void frameActionsSteerTheTimeline()
    {
        QFETCH(std::string, movie);
        QFETCH(int, ticks);
        QFETCH(int, frame);
        QFETCH(bool, playing);
        Player player(read(movie));
        for (int i = 0; i < ticks; ++i)
            player.tick();
        QCOMPARE(int(player.root().currentFrame()), frame);
        QCOMPARE(player.root().playing(), playing);
        QCOMPARE(player.root().displayList().at(1).matrix.tx, frame * 200.0); // the frame's own place
        QCOMPARE(player.animates(), playing);
    }

    // A frame script that never ends is stopped at the frame's budget, and says so; the
    // timeline plays on.
    void anEndlessScriptIsStopped()
    {
        ActionWriter endless;
        endless.label("top").jump("top");
        Player player(read(steered(1, endless.bytes())));
        QVERIFY(!player.scriptStopped());
        for (int i = 0; i < 3; ++i)
            player.tick();
        QVERIFY(player.scriptStopped());
        QCOMPARE(int(player.root().currentFrame()), 3);
    }

    // A sprite plays its own frames; removing it ends it, placing it again starts a new one, and
    // its parent's loop back keeps the one that is there playing on.
    void spritesPlayOnTheirOwn()
    {
        Writer w(100, 100);
        w.defineRectangle(1, {0, 200, 0, 200}, FillStyle{});
        w.beginSprite(2);
        for (int i = 0; i < 3; ++i) {
            w.place({.depth = 1, .characterId = 1, .move = i > 0, .matrix = at(i * 200)});
            w.showFrame();
        }
        w.endSprite();
        w.place({.depth = 1, .characterId = 2});
        w.showFrame();
        w.showFrame();
        w.remove(1);
        w.showFrame();
        w.place({.depth = 1, .characterId = 2});
        w.showFrame();
        Player player(read(w.finish()));
        const auto sprite = [&] {
            const auto& list = player.root().displayList();
            return list.count(1) ? list.at(1).sprite : nullptr;
        };
        const auto first = sprite();
        QCOMPARE(first->currentFrame(), 0u);
        player.tick();
        QCOMPARE(first->currentFrame(), 1u);
        player.tick();
        QVERIFY(!sprite());
        player.tick();
        const auto second = sprite();
        QVERIFY(second && second != first);
        QCOMPARE(second->currentFrame(), 0u);
        player.tick(); // back to the parent's first frame, which places the same sprite
        QCOMPARE(sprite(), second);
        QCOMPARE(second->currentFrame(), 1u);
    }

    // A move that names a character keeps the sprite there when it is that character, playing
    // on, and otherwise swaps in the new character where the old one stood, with its matrix,
    // filters and blend mode. A move changes only what it gives.
    void aMoveThatNamesACharacterKeepsOrSwapsIt()
    {
        Writer w(100, 100);
        w.defineRectangle(1, {0, 200, 0, 200}, FillStyle{});
        w.beginSprite(2);
        for (int i = 0; i < 3; ++i)
            w.showFrame();
        w.endSprite();
        Filter blur;
        blur.blurX = blur.blurY = 4;
        w.place(
            {.depth = 1, .characterId = 2, .matrix = at(300), .filters = {{blur}}, .blendMode = BlendMode::Multiply});
        w.showFrame();
        w.place({.depth = 1, .characterId = 2, .move = true});
        w.showFrame();
        w.place({.depth = 1, .characterId = 1, .move = true});
        w.showFrame();
        w.place({.depth = 1, .move = true, .blendMode = BlendMode::Screen});
        w.showFrame();
        Player player(read(w.finish()));
        const auto& list = player.root().displayList();
        const auto sprite = list.at(1).sprite;
        player.tick();
        QCOMPARE(list.at(1).sprite, sprite);
        QCOMPARE(sprite->currentFrame(), 1u);
        player.tick();
        QCOMPARE(list.at(1).characterId, 1);
        QVERIFY(!list.at(1).sprite);
        QCOMPARE(list.at(1).matrix.tx, 300.0);
        QCOMPARE(list.at(1).effects.blendMode, BlendMode::Multiply);
        player.tick();
        QCOMPARE(list.at(1).effects.blendMode, BlendMode::Screen);
        QCOMPARE(list.at(1).effects.filters.size(), 1u);
    }

    // Addresses open only for a click: a frame action asking for one is refused; a press and
    // release on the same button give the address, one a click; a variable set by the movie
    // resolves, as banners' clickTAG does.
    void onlyAClickOnAButtonOpensAnAddress()
    {
        Writer w(100, 100);
        w.defineRectangle(1, {0, 1000, 0, 1000}, FillStyle{});
        w.defineButton(2, {{1 << Button::Up | 1 << Button::HitTest, 1, 1}},
                       Actions::push("clickTAG") + Actions::getVariable() + Actions::push("_blank")
                           + Actions::getUrl2(),
                       Actions::getUrl("http://pressed.example/"));
        w.defineButton(3, {{1 << Button::HitTest, 1, 1}}, Actions::getUrl("http://other.example/"));
        w.doAction(Actions::push("clickTAG") + Actions::push("http://advertiser.example/") + Actions::setVariable()
                   + Actions::getUrl("http://popup.example/"));
        w.place({.depth = 1, .characterId = 2});
        w.place({.depth = 2, .characterId = 3, .matrix = at(1000)});
        w.showFrame();
        Player player(read(w.finish()));
        QVERIFY(player.ignoredAddress()); // the frame's popup
        const std::uint64_t tagged = instanceAt(player, 1), other = instanceAt(player, 2);
        const auto state = [&](std::uint16_t depth) { return player.root().displayList().at(depth).button->state; };

        QVERIFY(!player.pointerPressed()); // over nothing
        QCOMPARE(player.pointerReleased(), std::nullopt);

        QVERIFY(player.pointerOver(tagged));
        QCOMPARE(state(1), Button::Over);
        QVERIFY(player.pointerPressed());
        QCOMPARE(state(1), Button::Down);
        QCOMPARE(player.pointerReleased(), std::optional<std::string>("http://pressed.example/")); // one a click
        QCOMPARE(state(1), Button::Over);

        player.pointerOver(0); // the pointer leaves: nothing to open without a press
        QCOMPARE(state(1), Button::Up);
        player.pointerOver(other);
        QCOMPARE(player.pointerReleased(), std::nullopt);
        player.pointerPressed();
        player.pointerOver(tagged); // released somewhere else than pressed
        QCOMPARE(player.pointerReleased(), std::nullopt);

        player.pointerPressed(); // on `tagged`, whose press and release both ask
        QCOMPARE(player.pointerReleased(), std::optional<std::string>("http://pressed.example/"));
    }

    // A button without a press action gives what its release asks for, the clickTAG's value.
    void theReleaseGivesAVariablesAddress()
    {
        Writer w(100, 100);
        w.defineRectangle(1, {0, 1000, 0, 1000}, FillStyle{});
        w.defineButton(2, {{1 << Button::HitTest, 1, 1}},
                       Actions::push("clickTAG") + Actions::getVariable() + Actions::push("_blank")
                           + Actions::getUrl2());
        w.doAction(Actions::push("clickTAG") + Actions::push("http://advertiser.example/") + Actions::setVariable());
        w.place({.depth = 1, .characterId = 2});
        w.showFrame();
        Player player(read(w.finish()));
        QVERIFY(!player.ignoredAddress());
        player.pointerOver(instanceAt(player, 1));
        player.pointerPressed();
        QCOMPARE(player.pointerReleased(), std::optional<std::string>("http://advertiser.example/"));
    }

    // A morph between a triangle and a curved shape: the edges, the curve a straight edge
    // becomes, and the colour, at each end and half way.
    void morphShapesBlendEdgesAndStyles()
    {
        MorphShape morph;
        FillStyle red, blue;
        red.color = {255, 0, 0, 255};
        blue.color = {0, 0, 255, 255};
        morph.fills.push_back({red, blue});
        const auto edge = [](Point from, Point to, bool curved = false, Point control = {}) {
            ShapeRecord r;
            r.from = from;
            r.segment = {control, to, curved};
            r.fill1 = 1;
            return r;
        };
        ShapeRecord move;
        move.move = true;
        morph.start = {move, edge({0, 0}, {100, 0}), edge({100, 0}, {0, 100}), edge({0, 100}, {0, 0})};
        ShapeRecord endMove = move;
        endMove.from = {0, 0};
        morph.end
            = {endMove, edge({0, 0}, {300, 0}, true, {150, -100}), edge({300, 0}, {0, 300}), edge({0, 300}, {0, 0})};

        const Shape half = morphShapeAt(morph, 0.5);
        QCOMPARE(half.layers.size(), 1u);
        const ShapeLayer& layer = half.layers.front();
        QCOMPARE(layer.fills.front().color, (Rgba{127, 0, 127, 255}));
        QCOMPARE(layer.fillPaths.front().size(), 1u); // one closed contour
        const Contour& contour = layer.fillPaths.front().front();
        QCOMPARE(contour.segments.size(), 3u);
        QVERIFY(contour.segments[0].curved); // straight at the start, curved at the end
        QCOMPARE(contour.segments[0].control, (Point{100, -50}));
        QCOMPARE(contour.segments[0].to, (Point{200, 0}));
        QCOMPARE(morphShapeAt(morph, 0).layers.front().fillPaths.front().front().segments[0].to, (Point{100, 0}));
        QCOMPARE(morphShapeAt(morph, 1).layers.front().fills.front().color, (Rgba{0, 0, 255, 255}));
    }
};

QTEST_GUILESS_MAIN(SwfPlayerTest)
#include "tst_swf_player.moc"
