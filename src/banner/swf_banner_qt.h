#pragma once

#include <memory>

#include <QImage>
#include <QObject>
#include <QPointer>

#include "platform/event_loop.h"
#include "swf/player.h"
#include "swf/qt/renderer.h"

class QLabel;
class QMouseEvent;

namespace quillmere::platform {
class AddressOpener;
}

namespace quillmere::banner {

// Plays a SWF movie as the picture of a label, the whole stage shown with its aspect kept.
// A frame is drawn only when the display list changed. No timer runs while the window is
// minimised or hidden, or when the movie has nothing left to animate.
// Buttons follow the pointer, with the hand cursor over their hit areas; a click whose actions
// ask for an http or https address opens it, once, through `opener`. Nothing else a movie asks
// for is opened or run.
class SwfBanner : public QObject {
    Q_OBJECT
public:
    SwfBanner(std::shared_ptr<const swf::Movie> movie, QLabel* display, platform::EventLoop& loop,
              platform::AddressOpener& opener);
    ~SwfBanner() override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void tick();
    void redraw();
    void runTimerIfShown();
    void mouseEvent(const QMouseEvent& event);
    void pointerMoved(QPointF at);

    QPointer<QLabel> display_;
    platform::AddressOpener& opener_;
    bool reportedFrameAddress_ = false;
    bool reportedStoppedScript_ = false;
    swf::Player player_;
    swf::Renderer renderer_;
    QImage frame_;      // what the label shows, at its device pixels
    int frameInterval_; // milliseconds
    std::unique_ptr<platform::Timer> frames_;
};

} // namespace quillmere::banner
