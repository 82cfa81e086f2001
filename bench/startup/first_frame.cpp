#include "startup/first_frame.h"

#include <chrono>
#include <cstdio>
#include <fstream>
#include <string>

#include <QCoreApplication>
#include <QEvent>
#include <QTimer>

namespace quillmere::bench {

namespace {

long residentKib()
{
    std::ifstream status("/proc/self/status");
    std::string key;
    long value = 0;
    while (status >> key) {
        if (key == "VmRSS:") {
            status >> value;
            return value;
        }
        status.ignore(1 << 10, '\n');
    }
    return -1;
}

class FirstPaint : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Paint && !seen_) {
            seen_ = true;
            // Report once the paint has finished and the frame has been handed over.
            QTimer::singleShot(0, [] {
                const auto now = std::chrono::system_clock::now().time_since_epoch();
                std::printf("first_frame_ns %lld rss_kib %ld\n",
                            static_cast<long long>(std::chrono::duration_cast<std::chrono::nanoseconds>(now).count()),
                            residentKib());
                std::fflush(stdout);
                QCoreApplication::exit(0);
            });
        }
        return QObject::eventFilter(watched, event);
    }

private:
    bool seen_ = false;
};

} // namespace

void reportFirstFrame(QWidget& window)
{
    window.installEventFilter(new FirstPaint(&window));
}

} // namespace quillmere::bench

#include "first_frame.moc"
