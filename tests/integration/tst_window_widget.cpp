// The real window, offscreen: how it looks and how it passes the user's input to the model.

#include <QtTest>

#include <QAccessible>
#include <QLabel>
#include <QToolTip>

#include "view/window_widget.h"
#include "fakes/model_on_fakes.h"
#include "base/text_stream.h"
#include "view/list_box_view.h"
#include "support/qt_compare.h"
#include "support/strict_warnings.h"

using namespace quillmere;
using namespace quillmere::testing;

namespace {

struct Shown {
    ModelOnFakes fake;
    WindowWidget window{fake.main};
    Shown()
    {
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
    }
    template <typename T = QWidget>
    T* child(const char* name)
    {
        return window.findChild<T*>(QString::fromLatin1(name));
    }
};

} // namespace

class WindowWidgetTest : public QObject {
    Q_OBJECT

private slots:
    void init() { failOnUnexpectedWarnings(); }

    // Where each control stands, from the window's own table: the independent truth, so that
    // a wrong coordinate in the model fails here too.
    void titleSizeAndLayout()
    {
        Shown s;
        QCOMPARE(s.window.windowTitle(), "Quillmere V 1.0");
        QCOMPARE(s.window.size(), QSize(451, 614));
        const std::pair<const char*, QRect> table[] = {
            {"Image1", {-72, 0, 624, 57}},  {"Label2", {104, 64, 216, 21}},  {"Image2", {64, 104, 93, 24}},
            {"List1", {8, 120, 193, 354}},  {"List2", {248, 120, 193, 353}}, {"Image6", {64, 472, 50, 50}},
            {"Image4", {135, 480, 43, 41}}, {"Image3", {199, 472, 55, 51}},  {"Image7", {275, 472, 48, 42}},
            {"Image5", {344, 472, 49, 44}}, {"flash1", {0, 520, 449, 65}},
        };
        for (const auto& [name, rect] : table) {
            QVERIFY2(s.child(name), name);
            QCOMPARE(s.child(name)->geometry(), rect);
        }
    }

    void fontsAndColours()
    {
        Shown s;
        auto* label1 = s.child<QLabel>("Label1");
        QCOMPARE(label1->font().pixelSize(), 16);
        QVERIFY(label1->font().bold());
        QCOMPARE(label1->palette().color(QPalette::WindowText), QColor(Qt::red));
        QCOMPARE(s.child<QLabel>("Label2")->palette().color(QPalette::WindowText), QColor(Qt::blue));
        QCOMPARE(s.child<QLabel>("Label4")->font().pixelSize(), 13);
        QVERIFY(!s.child<QLabel>("Label4")->font().bold());
        auto* list1 = s.child<ListBoxView>("List1");
        QCOMPARE(list1->palette().color(QPalette::Text), QColor(Qt::blue));
        QCOMPARE(list1->font().pixelSize(), 13);
        QCOMPARE(s.child<ListBoxView>("List2")->font().pixelSize(), 11);
        QCOMPARE(s.window.palette().color(QPalette::Window), QColor(Qt::white));
    }

    void listsAndBannerLieAboveThePictures()
    {
        Shown s;
        auto owner = [&](QPoint at) {
            QWidget* w = s.window.childAt(at);
            while (w && w->parentWidget() != &s.window)
                w = w->parentWidget();
            return w ? w->objectName() : QString();
        };
        QCOMPARE(owner({100, 125}), "List1");  // bottom rows of Image2
        QCOMPARE(owner({200, 472}), "List1");  // top-left corner of Image3
        QCOMPARE(owner({250, 472}), "List2");  // top row of Image3's right columns
        QCOMPARE(owner({220, 521}), "flash1"); // bottom of Image3
        QCOMPARE(owner({100, 200}), "List1");
        QCOMPARE(owner({220, 490}), "Image3");
    }

    void focusStartsOnTheFirstListAndTabsThroughListsAndBanner()
    {
        Shown s;
        QTRY_COMPARE(QApplication::focusWidget(), s.child("List1"));
        QVERIFY(!s.fake.main.List1.selectedRow());
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), s.child("List2"));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), s.child("flash1"));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), s.child("List1"));
        for (const char* name : {"Image1", "Image3", "Label2", "Label4"})
            QCOMPARE(s.child(name)->focusPolicy(), Qt::NoFocus);
    }

    void pictureButtonsShowTheHandAndTheirTooltip()
    {
        Shown s;
        for (const char* name : {"Image3", "Image4", "Image5", "Image6", "Image7"}) {
            const QCursor cursor = s.child(name)->cursor();
            QCOMPARE(cursor.shape(), Qt::BitmapCursor);
            QCOMPARE(cursor.hotSpot(), QPoint(12, 1));
            QCOMPARE(cursor.pixmap().size(), QSize(32, 32));
            QVERIFY(!s.child(name)->toolTip().isEmpty());
        }
        QCOMPARE(s.child("Image1")->cursor().shape(), Qt::ArrowCursor);
        QVERIFY(s.child("Image5")->toolTip().contains("Navigate to proxy web site"));

        // As shown: a button's tooltip on one line, a long failure reason in lines of a
        // readable width, not a narrow column.
        s.fake.main.Label2.setToolTip("http://lists.example/prx/top20.bin: " + std::string(30, 'x')
                                      + " the server closed the connection before it sent the whole file");
        const auto shownTip = [&](const char* name) {
            QToolTip::showText(s.child(name)->mapToGlobal(QPoint(2, 2)), s.child(name)->toolTip(), s.child(name));
            for (QWidget* window : QApplication::topLevelWidgets())
                if (window->objectName() == "qtooltip_label" && window->isVisible())
                    return window->size();
            return QSize();
        };
        const int line = s.window.fontMetrics().height();
        QVERIFY(shownTip("Image4").height() < 2 * line);
        const QSize reason = shownTip("Label2");
        QVERIFY2(reason.height() >= 2 * line && reason.height() < 3 * line && reason.width() > 40 * line,
                 qPrintable(QString("%1 x %2").arg(reason.width()).arg(reason.height())));
        QToolTip::hideText();
    }

    void aDisabledReloadLooksTheSameAndIgnoresClicks()
    {
        Shown s;
        QWidget* reload = s.child("Image3");
        const QImage before = reload->grab().toImage();
        s.fake.main.Image3.setEnabled(false);
        QCOMPARE(reload->grab().toImage(), before);
        QTest::mouseClick(reload, Qt::LeftButton);
        QVERIFY(s.fake.journal.empty());

        s.fake.main.Image3.setEnabled(true);
        QTest::mouseClick(reload, Qt::LeftButton);
        QVERIFY(!s.fake.journalOf("fetch").empty());
    }

    void selectingWithKeysOrMouseRaisesClick()
    {
        Shown s;
        for (const char* entry : {"c.example", "b.example", "a.example"})
            s.fake.main.List1.insert(entry, 0);
        auto* list = s.child<ListBoxView>("List1");
        list->setFocus();
        QTest::keyClick(list, Qt::Key_Down);
        QCOMPARE(s.fake.main.SelectedProxy, "a.example");
        QTest::keyClick(list, Qt::Key_Down);
        QCOMPARE(s.fake.main.SelectedProxy, "b.example");

        s.fake.main.List2.insert("other.example", 0);
        auto* list2 = s.child<ListBoxView>("List2");
        QTest::mouseClick(list2->viewport(), Qt::LeftButton, {}, list2->rowRect(0).center());
        QCOMPARE(s.fake.main.SelectedProxy, "other.example");

        s.fake.main.List1.insert("new.example", 0); // inserted in code: no Click
        QCOMPARE(s.fake.main.SelectedProxy, "other.example");
    }

    // Real mouse input through the window, as the platform delivers it: a double click is a
    // press, a release, a second press that is a double click, and a release.
    void everyClickOnAnEntryPicksItAndADoubleClickIsOneClick()
    {
        Shown s;
        Main& m = s.fake.main;
        m.List1.insert("one.example", 0);
        m.List2.insert("two.example", 0);
        QWindow* window = s.window.windowHandle();
        const auto entry = [&](const char* name, int row) {
            auto* view = s.child<ListBoxView>(name);
            return view->viewport()->mapTo(&s.window, view->rowRect(row).center());
        };
        QTest::mouseClick(window, Qt::LeftButton, {}, entry("List1", 0));
        QTest::mouseClick(window, Qt::LeftButton, {}, entry("List2", 0));
        QCOMPARE(m.SelectedProxy, "two.example");
        QTest::mouseClick(window, Qt::LeftButton, {}, entry("List1", 0)); // still highlighted there
        QCOMPARE(m.SelectedProxy, "one.example");
        QTest::mouseClick(window, Qt::LeftButton, {}, entry("List2", 3)); // below the last entry
        QCOMPARE(m.SelectedProxy, "one.example");

        for (const char* name : {"Image4", "Image5", "Image7", "Label4"})
            QTest::mouseDClick(window, Qt::LeftButton, {}, s.child(name)->geometry().center());
        QCOMPARE(qt(s.fake.opener.opened), QStringList({"http://submit.quillmere.example", "http://www.one.example",
                                                        "http://www.quillmere.example"}));
        QCOMPARE(qt(s.fake.clipboard.history), QStringList({"one.example"}));
    }

    // What a screen reader meets: every control named, in its role; a press of a picture button
    // clicks it; the status label's name is its caption, which Qt announces as a name change
    // while the label has no name of its own (offscreen, no event reaches a screen reader).
    void assistiveTechnologyMeetsEveryControlByNameAndRole()
    {
        Shown s;
        QMap<QString, QAccessible::Role> met;
        QAccessibleInterface* window = QAccessible::queryAccessibleInterface(&s.window);
        for (int i = 0; i < window->childCount(); ++i)
            if (QAccessibleInterface* child = window->child(i); !child->text(QAccessible::Name).isEmpty())
                met.insert(child->text(QAccessible::Name), child->role());
        const QMap<QString, QAccessible::Role> expected{
            {"Exit Quillmere", QAccessible::Button},
            {"Add your proxy site to list", QAccessible::Button},
            {"reload proxy list", QAccessible::Button},
            {"Copy Proxy Name", QAccessible::Button},
            {"Navigate to proxy web site", QAccessible::Button},
            {"Top 20  Proxy List", QAccessible::List},
            {"Other Proxy List", QAccessible::List},
            {"Advertisement", QAccessible::StaticText},
            {"http://www.quillmere.example", QAccessible::Link},
        };
        for (auto it = expected.begin(); it != expected.end(); ++it)
            QVERIFY2(met.value(it.key(), QAccessible::NoRole) == it.value(), qPrintable(it.key()));

        s.fake.main.SelectedProxy = "picked.example";
        QAccessible::queryAccessibleInterface(s.child("Image7"))
            ->actionInterface()
            ->doAction(QAccessibleActionInterface::pressAction());
        QCOMPARE(qt(s.fake.clipboard.history), QStringList({"picked.example"}));

        s.fake.main.Label2.setCaption(std::string(kCompleteCaption));
        QVERIFY(s.child("Label2")->accessibleName().isEmpty());
        QCOMPARE(QAccessible::queryAccessibleInterface(s.child("Label2"))->text(QAccessible::Name), "Loading Complete");
        for (const char* name : {"Image3", "Label2", "Label4"})
            QCOMPARE(s.child(name)->focusPolicy(), Qt::NoFocus); // none of this adds a stop for Tab
    }

    // A long list: the keys move the selection a row, a page or to either end, each move a
    // Click, and the selected row is always in sight; a drag with the button down moves it along.
    void keysAndDragsMoveTheSelectionAndKeepItInSight()
    {
        Shown s;
        Main& m = s.fake.main;
        std::string file;
        for (int i = 0; i < 1000; ++i)
            file += "site" + std::to_string(i) + ".example\n";
        m.List2.insertLinesAtTop(TextStream{Bytes(file)}.readRemainingLines());
        auto* list = s.child<ListBoxView>("List2");
        const int page = list->viewport()->height() / list->rowHeight();
        list->setFocus();
        const std::pair<Qt::Key, int> steps[] = {
            {Qt::Key_Down, 0},        {Qt::Key_Down, 1},   {Qt::Key_PageDown, page},
            {Qt::Key_End, 999},       {Qt::Key_Down, 999}, {Qt::Key_PageUp, 999 - page + 1},
            {Qt::Key_Up, 999 - page}, {Qt::Key_Home, 0},
        };
        for (const auto& [key, expected] : steps) {
            QTest::keyClick(list, key);
            const int row = int(*m.List2.selectedRow());
            QCOMPARE(row, expected);
            QVERIFY(list->viewport()->rect().contains(list->rowRect(row)));
            QCOMPARE(m.SelectedProxy, "site" + std::to_string(999 - row) + ".example"); // the file reversed
        }

        const int top = list->rowAt({1, 1});
        QTest::mousePress(list->viewport(), Qt::LeftButton, {}, list->rowRect(top + 2).center());
        QMouseEvent drag(QEvent::MouseMove, list->rowRect(top + 5).center(),
                         list->viewport()->mapToGlobal(list->rowRect(top + 5).center()), Qt::NoButton, Qt::LeftButton,
                         Qt::NoModifier);
        QApplication::sendEvent(list->viewport(), &drag);
        QCOMPARE(m.List2.selectedRow(), std::optional<std::size_t>(top + 5));
        QTest::mouseRelease(list->viewport(), Qt::LeftButton, {}, list->rowRect(top + 5).center());

        // What assistive technology meets: an item an entry, made when asked for, the selected
        // one selected and focused, found where it is on screen; a cleared list has none.
        QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(list);
        QCOMPARE(accessible->childCount(), 1000);
        QAccessibleInterface* item = accessible->child(top + 5);
        QCOMPARE(item->role(), QAccessible::ListItem);
        QCOMPARE(item->text(QAccessible::Name), QString::fromStdString(m.SelectedProxy));
        QVERIFY(item->state().selected);
        QCOMPARE(accessible->indexOfChild(item), top + 5);
        QCOMPARE(accessible->focusChild(), item);
        const QPoint centre = list->viewport()->mapToGlobal(list->rowRect(top + 5).center());
        QCOMPARE(accessible->childAt(centre.x(), centre.y()), item);
        QCOMPARE(item->rect().center(), centre);
        QVERIFY(!accessible->child(1000));
        m.List2.clear();
        QCOMPARE(accessible->childCount(), 0);
    }

    // The keyboard alone: a focus mark shows where it is, Left and Right step like Up and Down,
    // and typed letters find the next entry that starts with them, wrapping around. Each move
    // is a Click.
    void theKeyboardFindsEntriesAndShowsWhereItIs()
    {
        Shown s;
        Main& m = s.fake.main;
        for (const char* entry : {"bravo", "\xE9t\xE9.example", "cherry", "blueberry", "Banana", "apple"})
            m.List1.insert(entry, 0); // apple on top
        auto* list = s.child<ListBoxView>("List1");
        const QColor text = list->palette().color(QPalette::Text);
        const QColor highlightedText = list->palette().color(QPalette::HighlightedText);
        const auto markedPixels = [&](QRect rect, const QColor& colour) {
            const QImage shown = list->viewport()->grab().toImage();
            int count = 0;
            for (int x = rect.left(); x <= rect.right(); ++x)
                count += shown.pixelColor(x, rect.top()) == colour;
            return count;
        };
        list->setFocus();
        QVERIFY(markedPixels(list->viewport()->rect(), text) > 20); // around the whole list
        s.child("List2")->setFocus();
        QCOMPARE(markedPixels(list->viewport()->rect(), text), 0);
        list->setFocus();

        const std::pair<QString, const char*> steps[] = {
            {"Right", "apple"},
            {"Right", "Banana"},
            {"Left", "apple"},
            {"b", "Banana"},
            {"b", "blueberry"},
            {"b", "bravo"},
            {"b", "Banana"},
            {"Home", "apple"},
            {"BL", "blueberry"},
            {"Home", "apple"},
            {"\u00C9", "\xC3\xA9t\xC3\xA9.example"},
        };
        for (const auto& [keys, selected] : steps) {
            if (keys == "Right" || keys == "Left" || keys == "Home")
                QTest::keyClick(list, keys == "Right" ? Qt::Key_Right : keys == "Left" ? Qt::Key_Left : Qt::Key_Home);
            else
                QTest::keyClicks(list, keys);
            QCOMPARE(m.SelectedProxy, selected);
        }
        const QRect selectedRow = list->rowRect(int(*m.List1.selectedRow()));
        QVERIFY(markedPixels(selectedRow, highlightedText) > 20);
    }

    // A row shows the beginning of the very text Copy gives, however long the line and whatever
    // its encoding.
    void aRowShowsTheStartOfWhatCopyGives()
    {
        Shown s;
        Main& m = s.fake.main;
        m.List1.insert(std::string(10000, '\x85'), 0);                                     // Windows-1252
        m.List1.insert("caf\xC3\xA9-long" + std::string(5000, 'x') + "\xE9", 0);           // 1252 after the cut
        m.List1.insert(std::string(4095, 'x') + "\xE2\x82\xAC" + std::string(10, 'y'), 0); // UTF-8 across the cut
        auto* list = s.child<ListBoxView>("List1");
        for (int row = 0; row < 3; ++row) {
            m.selectByUser(ControlId::List1, std::size_t(row));
            const QString copied = QString::fromStdString(m.SelectedProxy);
            const QString shown = list->rowText(row);
            QVERIFY2(shown.size() >= 4095 && copied.startsWith(shown), qPrintable(shown.left(20)));
        }
    }

    void serverTextIsShownAsPlainText()
    {
        Shown s;
        s.fake.main.List1.insert("<b>bold</b>.example", 0);
        QCOMPARE(s.child<ListBoxView>("List1")->rowText(0), "<b>bold</b>.example");
        s.fake.main.Label2.setCaption("<i>status</i>");
        s.fake.main.Label2.setToolTip("<img src=x>");
        auto* label = s.child<QLabel>("Label2");
        QCOMPARE(label->textFormat(), Qt::PlainText);
        QCOMPARE(label->text(), "<i>status</i>");
        QVERIFY(label->toolTip().contains("&lt;img src=x&gt;"));
    }

    void theWindowFollowsTheModel()
    {
        Shown s;
        Main& m = s.fake.main;
        m.Label2.setVisible(false);
        QVERIFY(!s.child("Label2")->isVisible());
        m.Label2.setVisible(true);
        m.Label2.setCaption(std::string(kCompleteCaption));
        QCOMPARE(s.child<QLabel>("Label2")->text(), "Loading Complete");
        QCOMPARE(s.child("Label2")->geometry(), QRect(104, 64, 216, 21));
        m.setMousePointer(kHourglassPointer);
        QCOMPARE(s.window.cursor().shape(), Qt::WaitCursor);
        m.setMousePointer(kDefaultPointer);
        QCOMPARE(s.window.cursor().shape(), Qt::ArrowCursor);
        m.List2.insert("x", 0);
        m.List2.clear();
        QCOMPARE(s.child<ListBoxView>("List2")->list().count(), 0u);
    }
};

QTEST_MAIN(WindowWidgetTest)
#include "tst_window_widget.moc"
