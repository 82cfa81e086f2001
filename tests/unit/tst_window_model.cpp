// The window model: its state at creation, how events reach it, its list boxes and its timers.

#include <QtTest>

#include "base/text_stream.h"
#include "fakes/model_on_fakes.h"
#include "support/qt_compare.h"
#include "support/strict_warnings.h"

using namespace quillmere;
using namespace quillmere::testing;

namespace {

class RecordingView : public WindowView {
public:
    void controlChanged(ControlId) override {}
    void listAboutToChange(ControlId, const ListChange& change) override { before.push_back(change); }
    void listChanged(ControlId, const ListChange& change) override { after.push_back(change); }
    void unloaded() override {}
    std::vector<ListChange> before;
    std::vector<ListChange> after;
};

} // namespace

class WindowModelTest : public QObject {
    Q_OBJECT

private slots:
    void init() { failOnUnexpectedWarnings(); }

    void creationState()
    {
        ModelOnFakes w;
        Main& m = w.main;
        QCOMPARE(m.Label2.caption(), "Label2");
        QVERIFY(m.Label2.visible());
        QCOMPARE(m.Label1.caption(), "Top 20  Proxy List");
        QCOMPARE(m.Label3.caption(), "Other Proxy List");
        QCOMPARE(m.Label4.caption(), "http://www.quillmere.example");
        QCOMPARE(m.List1.count(), 0u);
        QCOMPARE(m.List2.count(), 0u);
        QVERIFY(!m.List1.selectedRow() && !m.List2.selectedRow());
        QVERIFY(m.Image3.enabled());
        QCOMPARE(m.mousePointer(), 0);
        QCOMPARE(m.Timer1.interval(), 0);
        QCOMPARE(m.Timer2.interval(), 100);
        QCOMPARE(m.Timer3.interval(), 300);
        QVERIFY(m.SelectedProxy.empty());
        QVERIFY(m.FileSystem == nullptr && m.ListReader == nullptr && !m.CurrentLine);
        QCOMPARE(m.Image3.toolTip(), "reload proxy list");
        QCOMPARE(m.Image4.toolTip(), "Add your proxy site to list");
        QCOMPARE(m.Image5.toolTip(), "Navigate to proxy web site");
        QCOMPARE(m.Image6.toolTip(), "Exit Quillmere");
        QCOMPARE(m.Image7.toolTip(), "Copy Proxy Name");
        QVERIFY(m.Image1.toolTip().empty() && m.Image2.toolTip().empty());
        QVERIFY(w.journal.empty());
    }

    void eventsNobodyHandlesChangeNothing()
    {
        ModelOnFakes w;
        for (ControlId id : {ControlId::Image1, ControlId::Image2, ControlId::Label1, ControlId::Label2,
                             ControlId::Label3, ControlId::flash1, ControlId::Inet1, ControlId::Timer1})
            w.click(id);
        w.main.raise(ControlId::Image3, Event::Tick);
        w.main.raise(ControlId::List1, Event::Load);
        QVERIFY(w.journal.empty());
        QCOMPARE(w.main.Label2.caption(), "Label2");
        QVERIFY(w.messages.shown.empty() && w.clipboard.history.empty());
    }

    void disabledReloadIgnoresClicks()
    {
        ModelOnFakes w;
        w.main.Image3.setEnabled(false);
        w.click(ControlId::Image3);
        QVERIFY(w.journal.empty());
        QCOMPARE(w.main.mousePointer(), 0);

        w.main.Image3.setEnabled(true);
        w.click(ControlId::Image3);
        QVERIFY(!w.journalOf("fetch").empty());
    }

    void entriesInsertedAtTheTopStayWhereTheyAre()
    {
        ModelOnFakes w;
        ListBox& list = w.main.List1;
        list.insert("A", 0);
        list.insert("B", 0);
        QCOMPARE(qt(ModelOnFakes::entries(list)), QStringList({"B", "A"}));

        w.main.selectByUser(ControlId::List1, 1);
        QCOMPARE(w.main.SelectedProxy, "A");
        list.insert("C", 0);
        list.insert("Z", 3);
        QCOMPARE(qt(ModelOnFakes::entries(list)), QStringList({"C", "B", "A", "Z"}));
        QCOMPARE(list.selectedRow(), std::optional<std::size_t>(2));
        QCOMPARE(list.text(), "A");

        list.clear();
        QCOMPARE(list.count(), 0u);
        QVERIFY(!list.selectedRow());
        QCOMPARE(list.text(), "");
        QCOMPARE(w.main.SelectedProxy, "A"); // changing entries in code raises no Click
    }

    // A file's lines go in at the top one after the other, told to the view once; a later file
    // lands above, and an entry inserted in code among them splits their run.
    void filesReadInKeepTheirOrderAndTheSelection()
    {
        ModelOnFakes w;
        RecordingView view;
        w.main.attachView(&view);
        ListBox& list = w.main.List2;
        const auto linesOf = [](std::string text) { return TextStream{Bytes(std::move(text))}.readRemainingLines(); };
        list.insertLinesAtTop(linesOf("a\n\nb\r\nc\rd"));
        QCOMPARE(view.after.size(), 1u);
        QCOMPARE(view.after.back().count, 4u);
        w.main.selectByUser(ControlId::List2, 1); // "b"
        list.insertLinesAtTop(linesOf("x\ny\n"));
        list.insert("mid", 3); // between "b" and "" of the first file
        QCOMPARE(qt(ModelOnFakes::entries(list)), QStringList({"y", "x", "c\rd", "mid", "b", "", "a"}));
        QCOMPARE(list.text(), "b");
        QCOMPARE(list.selectedRow(), std::optional<std::size_t>(4));
        list.insertLinesAtTop(linesOf("")); // an empty file adds nothing
        QCOMPARE(list.count(), 7u);
        w.main.attachView(nullptr);
    }

    void timersTickOneIntervalAfterStartUntilStopped()
    {
        ModelOnFakes w;
        std::vector<std::int64_t> ticks;
        Timer timer(ControlId::Timer1, 0, w.loop, [&] { ticks.push_back(w.loop.now()); });
        w.loop.advanceBy(500);
        QVERIFY(ticks.empty());

        timer.setInterval(100);
        w.loop.at(750, [&] { timer.setInterval(100); }); // restarts the count
        w.loop.at(1000, [&] { timer.setInterval(0); });
        w.loop.advanceBy(1000);
        QCOMPARE(ticks, (std::vector<std::int64_t>{600, 700, 850, 950}));

        w.loop.at(1700, [&] { timer.setInterval(300); }); // started anew
        w.loop.advanceBy(600);
        QCOMPARE(ticks, (std::vector<std::int64_t>{600, 700, 850, 950, 2000}));
    }

    void missedTicksAreNotMadeUp()
    {
        ModelOnFakes w;
        std::vector<std::int64_t> ticks;
        Timer timer(ControlId::Timer1, 100, w.loop, [&] { ticks.push_back(w.loop.now()); });
        w.loop.at(50, [&] { w.loop.busyFor(500); }); // a handler that keeps the thread busy
        w.loop.advanceBy(700);
        QCOMPARE(ticks, (std::vector<std::int64_t>{550, 650}));
    }

    void ticksRunOnlyWhenEventsAreProcessed()
    {
        ModelOnFakes w;
        int ticks = 0;
        Timer timer(ControlId::Timer1, 100, w.loop, [&] { ++ticks; });
        w.loop.busyFor(250);
        QCOMPARE(ticks, 0);
        w.main.letWaitingEventsRun(); // one pass: the one pending tick
        QCOMPARE(ticks, 1);
        w.main.letWaitingEventsRun();
        QCOMPARE(ticks, 1);
    }
};

QTEST_APPLESS_MAIN(WindowModelTest)
#include "tst_window_model.moc"
