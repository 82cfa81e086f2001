#include "platform/transfer_deadline_qt.h"

#include <QNetworkReply>
#include <QTimer>

namespace quillmere::platform {

namespace {
constexpr char kMissedDeadline[] = "quillmere.missedDeadline";
}

void setDeadline(QNetworkReply* reply, std::chrono::milliseconds timeout)
{
    // The reply is the timer's context: a reply that is gone takes its deadline with it.
    QTimer::singleShot(timeout, reply, [reply] {
        if (reply->isFinished())
            return;
        reply->setProperty(kMissedDeadline, true);
        reply->abort();
    });
}

bool missedDeadline(const QNetworkReply* reply)
{
    return reply->property(kMissedDeadline).toBool();
}

std::string timedOutText(std::chrono::milliseconds timeout)
{
    const auto ms = timeout.count();
    return "timed out after " + (ms % 1000 == 0 ? std::to_string(ms / 1000) + " s" : std::to_string(ms) + " ms");
}

} // namespace quillmere::platform
