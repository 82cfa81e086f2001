#pragma once

#include <memory>

#include <QObject>
#include <QPointer>
#include <QTimer>

#include "swf/player.h"
#include "swf/renderer_qt.h"

class QLabel;

namespace quillmere::platform {

// Plays a SWF movie as the picture of a label, the whole stage shown with its aspect kept.
// A frame is drawn only when the display list changed. No timer runs while the window is
// minimised or hidden, or when the movie has nothing to animate.
class SwfBanner : public QObject {
    Q_OBJECT
public:
    SwfBanner(std::shared_ptr<const swf::Movie> movie, QLabel* display);
    ~SwfBanner() override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void tick();
    void redraw();
    void runTimerIfShown();

    QPointer<QLabel> display_;
    swf::Player player_;
    swf::Renderer renderer_;
    QTimer frames_;
};

} // namespace quillmere::platform
