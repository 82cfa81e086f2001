#pragma once

#include <functional>

#include <QObject>

class QSocketNotifier;

namespace quillmere::platform {

// Turns SIGINT, SIGTERM and SIGHUP into a call of `onSignal` from the event loop, so that a
// program stopped from a terminal or by the session ends as if its window were closed, and
// cleans up after itself. One instance per process.
class TerminationSignals : public QObject {
    Q_OBJECT
public:
    explicit TerminationSignals(std::function<void()> onSignal);
    ~TerminationSignals() override;

private:
    std::function<void()> onSignal_;
    QSocketNotifier* notifier_ = nullptr;
};

} // namespace quillmere::platform
