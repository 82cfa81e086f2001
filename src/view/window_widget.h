#pragma once

#include <map>

#include <QCursor>
#include <QWidget>

#include "app/control_id.h"

class QLabel;

namespace quillmere {

class ClickLabel;
class Label;
class ListBox;
class ListBoxView;
class Main;
class Picture;

// The window on screen. It is built from the model, shows every change the model announces,
// and hands the user's clicks and selections to the model; it decides nothing itself.
class WindowWidget : public QWidget, public WindowView {
    Q_OBJECT
public:
    explicit WindowWidget(Main& model);
    ~WindowWidget() override;

    QLabel* bannerArea() const { return banner_; }

    void controlChanged(ControlId id) override;
    void listAboutToChange(ControlId id, const ListChange& change) override;
    void listChanged(ControlId id, const ListChange& change) override;
    void unloaded() override;

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    struct LabelView {
        const Label* model;
        ClickLabel* widget;
    };

    void addPicture(const Picture& model, const char* resource);
    void addLabel(const Label& label, const QFont& font, const QColor& colour);
    ListBoxView* addList(const ListBox& list, const QFont& font, int rowHeight);
    void applyLabel(const LabelView& label);

    Main& model_;
    QCursor hand_;
    std::map<ControlId, LabelView> labels_;
    std::map<ControlId, ListBoxView*> lists_;
    QLabel* banner_ = nullptr;
};

} // namespace quillmere
