#include "platform/transfer_qt.h"

#include <algorithm>
#include <optional>

#include <QCoreApplication>
#include <QEventLoop>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QUrl>

#include "platform/transfer_deadline_qt.h"

namespace quillmere::platform {

namespace {

// The body is taken from the reply as it arrives: the reply holds at most this much at a time.
constexpr qint64 kReadBufferBytes = qint64(1) << 20;
// Whatever length a server claims, no more is reserved for the body ahead of its bytes.
constexpr std::size_t kMostReservedBytes = std::size_t(256) << 20;

// A fetch in the background, given up with it: its reply is aborted, and nothing queued for
// its callback runs once `context` is gone.
class PendingReply : public Transfer::Pending {
public:
    explicit PendingReply(QNetworkReply* reply = nullptr) : reply_(reply) {}
    ~PendingReply() override
    {
        if (!reply_)
            return;
        reply_->disconnect();
        reply_->abort();
        reply_->deleteLater();
    }
    QObject context;

private:
    QPointer<QNetworkReply> reply_;
};

} // namespace

struct QtTransfer::Started {
    std::string address;
    QNetworkReply* reply;
    std::shared_ptr<QByteArray> body;
    QMetaObject::Connection draining;
};

QtTransfer::QtTransfer(QNetworkAccessManager& network, std::chrono::milliseconds timeout, std::size_t byteLimit)
    : network_(network), timeout_(timeout), byteLimit_(byteLimit)
{
}

QtTransfer::Started QtTransfer::start(const std::string& address)
{
    const QUrl url(QString::fromStdString(address), QUrl::StrictMode);
    if (!url.isValid() || url.scheme() != QLatin1String("http"))
        throw Failure(address + ": not an http address");

    QNetworkReply* reply = network_.get(QNetworkRequest(url));
    setDeadline(reply, timeout_);
    // The body is taken out of the reply as it arrives, into one buffer that is handed on as it
    // is. The reply holds at most a little of it at a time, so that the file is never in memory
    // twice, and a body over the limit is given up as soon as it is.
    reply->setReadBufferSize(kReadBufferBytes);
    auto body = std::make_shared<QByteArray>();
    const qint64 mostReserved = qint64(std::min(byteLimit_, kMostReservedBytes));
    const auto draining
        = QObject::connect(reply, &QNetworkReply::readyRead, reply, [reply, body, mostReserved, limit = byteLimit_] {
              if (body->isEmpty())
                  body->reserve(std::clamp(reply->header(QNetworkRequest::ContentLengthHeader).toLongLong(), qint64(0),
                                           mostReserved));
              body->append(reply->readAll());
              if (std::size_t(body->size()) > limit) {
                  reply->setProperty("tooLarge", true);
                  reply->abort();
              }
          });
    return {address, reply, std::move(body), draining};
}

Bytes QtTransfer::finish(const Started& started)
{
    const std::string& address = started.address;
    QNetworkReply* reply = started.reply;
    QObject::disconnect(started.draining); // the reply goes later; its hold on the body goes now
    reply->deleteLater();

    // A nested loop also returns when the application quits under it: the transfer is then
    // given up.
    const bool abandoned = !reply->isFinished() || reply->property("abandoned").toBool();
    if (abandoned) {
        reply->abort();
        throw Failure(address + ": abandoned");
    }
    if (reply->property("tooLarge").toBool())
        throw Failure(address + ": larger than " + std::to_string(byteLimit_ >> 20) + " MiB");
    const int status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    const bool statusOk = status >= 200 && status <= 299;
    if (status != 0 && !statusOk) {
        const QString phrase = reply->attribute(QNetworkRequest::HttpReasonPhraseAttribute).toString();
        throw Failure(address + ": HTTP " + std::to_string(status) + " " + phrase.toStdString());
    }
    if (missedDeadline(reply))
        throw Failure(address + ": " + timedOutText(timeout_));
    if (reply->error() != QNetworkReply::NoError)
        throw Failure(address + ": " + reply->errorString().toStdString());
    if (!statusOk)
        throw Failure(address + ": no HTTP status");
    started.body->append(reply->readAll());
    if (std::size_t(started.body->size()) > byteLimit_)
        throw Failure(address + ": larger than " + std::to_string(byteLimit_ >> 20) + " MiB");
    // Under load, a connection closed mid-body can reach a finished reply with no error and the
    // bytes that came: a body that is not sent compressed is held to the length it was promised.
    const QVariant promised = reply->header(QNetworkRequest::ContentLengthHeader);
    const QByteArray encoding = reply->rawHeader("Content-Encoding").trimmed().toLower();
    if (promised.isValid() && (encoding.isEmpty() || encoding == "identity")
        && promised.toLongLong() != started.body->size())
        throw Failure(address + ": the connection closed after " + std::to_string(started.body->size()) + " of "
                      + std::to_string(promised.toLongLong()) + " bytes");
    const std::string_view view(started.body->constData(), static_cast<std::size_t>(started.body->size()));
    return Bytes(started.body, view);
}

Bytes QtTransfer::fetch(const std::string& address)
{
    const Started started = start(address);
    active_.emplace_back(started.reply);
    QEventLoop wait;
    QObject::connect(started.reply, &QNetworkReply::finished, &wait, &QEventLoop::quit);
    if (!started.reply->isFinished())
        wait.exec();
    std::erase(active_, started.reply);
    return finish(started);
}

std::unique_ptr<Transfer::Pending> QtTransfer::fetchInBackground(const std::string& address,
                                                                 std::function<void(Result)> done)
{
    std::optional<Started> started;
    try {
        started = start(address);
    } catch (const Failure& failure) {
        auto pending = std::make_unique<PendingReply>();
        // Called from the event loop all the same, as a caller expects.
        QMetaObject::invokeMethod(
            &pending->context, [done = std::move(done), failure] { done(failure); }, Qt::QueuedConnection);
        return pending;
    }
    QObject::connect(started->reply, &QNetworkReply::finished, started->reply,
                     [this, started = *started, done = std::move(done)] {
                         try {
                             done(finish(started));
                         } catch (const Failure& failure) {
                             done(failure);
                         }
                     });
    return std::make_unique<PendingReply>(started->reply);
}

void QtTransfer::abort()
{
    for (const auto& reply : std::vector(active_))
        if (reply) {
            reply->setProperty("abandoned", true);
            reply->abort();
        }
}

} // namespace quillmere::platform
