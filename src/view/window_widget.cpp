#include "view/window_widget.h"

#include <QCloseEvent>
#include <QIcon>
#include <QImageReader>
#include <QPixmap>
#include <QScreen>

#include "app/main_window.h"
#include "toolkit/fonts.h"
#include "view/accessible_controls.h"
#include "view/click_label.h"
#include "view/list_box_view.h"

namespace quillmere {

namespace {

// The window's layout is in pixels at 96 dpi, so fonts are sized in pixels too:
// 8.25 pt is 11 px, 9.75 pt is 13 px, 12 pt is 16 px.
using toolkit::sansSerif;

// Tooltips may carry text from the server, so they are escaped and never taken for markup.
// They stay on one line: Qt would wrap rich text into a narrow column. A long reason breaks
// between words, at most kToolTipColumns characters a line (a longer word goes on unbroken).
constexpr qsizetype kToolTipColumns = 80;

QString plainToolTip(const std::string& text)
{
    if (text.empty())
        return {};
    QStringList lines;
    for (const QString& word : QString::fromStdString(text).split(u' ')) {
        if (!lines.isEmpty() && lines.last().size() + 1 + word.size() <= kToolTipColumns)
            lines.last() += u' ' + word;
        else
            lines << word;
    }
    return QStringLiteral("<p style=\"white-space:pre\">%1</p>").arg(lines.join(u'\n').toHtmlEscaped());
}

// One of the program's PNG pictures. Told the format and to keep to it, Qt reads it with its own
// PNG reader; left to guess, it first loads every image plugin installed to ask each whether it
// knows the file better, which took a fifth of the window's start-up.
QPixmap pngPicture(const QString& resource)
{
    QImageReader reader(resource, "png");
    reader.setAutoDetectImageFormat(false);
    return QPixmap::fromImage(reader.read());
}

// A picture as the screen shows it best: its art drawn at twice the size ("@2x") where the
// screen's scale is above 1. A QPixmap made from a path never picks that file by itself.
QPixmap sharpPicture(const QString& resource, qreal devicePixelRatio)
{
    if (devicePixelRatio > 1) {
        QPixmap doubled = pngPicture(QString(resource).insert(resource.lastIndexOf(u'.'), QStringLiteral("@2x")));
        if (!doubled.isNull()) {
            doubled.setDevicePixelRatio(2);
            return doubled;
        }
    }
    return pngPicture(resource);
}

// The picture buttons' hand, its hot spot on the tip of the finger. Qt 6.4 hands the hot spot
// to X in the pixmap's own pixels, so the doubled art takes a doubled hot spot.
QCursor handPointer(qreal devicePixelRatio)
{
    const QPixmap hand = sharpPicture(QStringLiteral(":/assets/hand.png"), devicePixelRatio);
    const int scale = int(hand.devicePixelRatio());
    return QCursor(hand, 12 * scale, 1 * scale);
}

void place(QWidget* widget, const Geometry& g)
{
    widget->setGeometry(g.left, g.top, g.width, g.height);
}

} // namespace

WindowWidget::WindowWidget(Main& model) : model_(model), hand_(handPointer(screen()->devicePixelRatio()))
{
    setObjectName(QString::fromLatin1(controlName(ControlId::Main)));
    setWindowTitle(QStringLiteral("Quillmere V 1.0"));
    QIcon icon;
    for (const int size : {16, 32, 48, 64, 96, 256})
        icon.addPixmap(pngPicture(QStringLiteral(":/assets/icons/quillmere-%1.png").arg(size)));
    setWindowIcon(icon);
    static const bool accessible = [] {
        QAccessible::installFactory(accessibleControl);
        return true;
    }();
    Q_UNUSED(accessible);
    setFixedSize(451, 614);
    QPalette white = palette();
    white.setColor(QPalette::Window, Qt::white);
    setPalette(white);
    setAutoFillBackground(true);
    setFont(sansSerif(11, false));

    addPicture(model.Image1, ":/assets/title_strip.png");
    addPicture(model.Image2, ":/assets/stars.png");
    addPicture(model.Image3, ":/assets/reload.png");
    addPicture(model.Image4, ":/assets/add_site.png");
    addPicture(model.Image5, ":/assets/navigate.png");
    addPicture(model.Image6, ":/assets/exit.png");
    addPicture(model.Image7, ":/assets/copy.png");

    addLabel(model.Label1, sansSerif(16, true), Qt::red);
    addLabel(model.Label2, sansSerif(11, true), Qt::blue);
    addLabel(model.Label3, sansSerif(16, true), Qt::red);
    addLabel(model.Label4, sansSerif(13, false), Qt::blue);

    // List1 has its own font and colours; List2 keeps the window's font and the system colours.
    ListBoxView* list1 = addList(model.List1, sansSerif(13, true), 16);
    list1->setAccessibleName(QString::fromStdString(model.Label1.caption()));
    QPalette blueOnWhite = list1->palette();
    blueOnWhite.setColor(QPalette::Base, Qt::white);
    blueOnWhite.setColor(QPalette::Text, Qt::blue);
    list1->setPalette(blueOnWhite);
    ListBoxView* list2 = addList(model.List2, font(), 13);
    list2->setAccessibleName(QString::fromStdString(model.Label3.caption()));

    banner_ = new QLabel(this);
    banner_->setObjectName(QString::fromLatin1(controlName(ControlId::flash1)));
    place(banner_, model.flash1.geometry());
    banner_->setAlignment(Qt::AlignCenter);
    banner_->setFocusPolicy(Qt::StrongFocus);
    banner_->setAccessibleName(QStringLiteral("Advertisement"));

    // The lists and the banner lie above the pictures and labels they overlap.
    list1->raise();
    list2->raise();
    banner_->raise();
    setTabOrder(list1, list2);
    setTabOrder(list2, banner_);
    list1->setFocus();

    model_.attachView(this);
    for (const auto& [id, label] : labels_)
        applyLabel(label);
    controlChanged(ControlId::Main);
}

WindowWidget::~WindowWidget()
{
    model_.attachView(nullptr);
}

void WindowWidget::addPicture(const Picture& model, const char* resource)
{
    auto* picture = new ClickLabel(this);
    picture->setObjectName(QString::fromLatin1(controlName(model.id())));
    picture->setPixmap(sharpPicture(QString::fromLatin1(resource), screen()->devicePixelRatio()));
    place(picture, model.geometry());
    connect(picture, &ClickLabel::clicked, this, [this, id = model.id()] { model_.raise(id, Event::Click); });
    if (!model.toolTip().empty()) {                      // a picture button
        picture->setAccessibleRole(QAccessible::Button); // before anything asks for its interface
        picture->setCursor(hand_);
        picture->setToolTip(plainToolTip(model.toolTip()));
        picture->setAccessibleName(QString::fromStdString(model.toolTip()));
    }
}

void WindowWidget::addLabel(const Label& label, const QFont& font, const QColor& colour)
{
    auto* widget = new ClickLabel(this);
    widget->setObjectName(QString::fromLatin1(controlName(label.id())));
    widget->setTextFormat(Qt::PlainText);
    widget->setFont(font);
    widget->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    QPalette palette = widget->palette();
    palette.setColor(QPalette::WindowText, colour);
    widget->setPalette(palette);
    connect(widget, &ClickLabel::clicked, this, [this, id = label.id()] { model_.raise(id, Event::Click); });
    if (label.id() == ControlId::Label4) // the home link
        widget->setAccessibleRole(QAccessible::Link);
    labels_.emplace(label.id(), LabelView{&label, widget});
}

ListBoxView* WindowWidget::addList(const ListBox& list, const QFont& font, int rowHeight)
{
    auto* view = new ListBoxView(list, rowHeight, this);
    view->setObjectName(QString::fromLatin1(controlName(list.id())));
    view->setFont(font);
    place(view, list.geometry());
    view->setFrameShape(QFrame::Box);
    view->setFrameShadow(QFrame::Plain);
    view->setLineWidth(1);
    view->setFocusPolicy(Qt::StrongFocus);
    connect(view, &ListBoxView::entryPicked, this,
            [this, id = list.id()](int row) { model_.selectByUser(id, static_cast<std::size_t>(row)); });
    lists_.emplace(list.id(), view);
    return view;
}

void WindowWidget::applyLabel(const LabelView& label)
{
    const Label& model = *label.model;
    const QString caption = QString::fromStdString(model.caption());
    const Geometry& g = model.geometry();
    label.widget->setText(caption);
    if (model.sizing() == Label::Sizing::FitsText) {
        // The box fits the caption in this face, centred where the designed box was.
        const int width = label.widget->fontMetrics().horizontalAdvance(caption) + 2;
        label.widget->setGeometry(g.left + g.width / 2 - width / 2, g.top, width, g.height);
    } else {
        place(label.widget, g);
    }
    label.widget->setToolTip(plainToolTip(model.toolTip()));
    label.widget->setVisible(model.visible());
}

void WindowWidget::controlChanged(ControlId id)
{
    if (id == ControlId::Main) {
        if (model_.mousePointer() == kHourglassPointer)
            setCursor(Qt::WaitCursor);
        else
            unsetCursor();
        return;
    }
    if (const auto label = labels_.find(id); label != labels_.end())
        applyLabel(label->second);
    // Pictures change only their enabled flag, which the model enforces and which must not
    // change how they look.
}

void WindowWidget::listAboutToChange(ControlId, const ListChange&)
{
}

void WindowWidget::listChanged(ControlId id, const ListChange&)
{
    lists_.at(id)->entriesChanged();
}

void WindowWidget::unloaded()
{
    close();
}

void WindowWidget::closeEvent(QCloseEvent* event)
{
    model_.unload();
    event->accept();
}

} // namespace quillmere
