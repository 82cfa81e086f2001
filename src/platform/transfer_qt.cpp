#include "platform/transfer_qt.h"

#include <algorithm>

#include <QCoreApplication>
#include <QEventLoop>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QUrl>

#include "platform/failure.h"
#include "platform/transfer_deadline_qt.h"

namespace quillmere::platform {

QtTransfer::QtTransfer(QNetworkAccessManager& network, std::chrono::milliseconds timeout)
    : network_(network), timeout_(timeout)
{
}

Bytes QtTransfer::fetch(const std::string& address)
{
    const QUrl url(QString::fromStdString(address), QUrl::StrictMode);
    if (!url.isValid() || url.scheme() != QLatin1String("http"))
        throw Failure(address + ": not an http address");

    QNetworkReply* reply = network_.get(QNetworkRequest(url));
    setDeadline(reply, timeout_);
    // The body is taken out of the reply as it arrives, into one buffer that is handed on as it
    // is. The reply holds at most a little of it at a time, so that the file is never in memory
    // twice.
    reply->setReadBufferSize(qint64(1) << 20);
    auto body = std::make_shared<QByteArray>();
    const auto draining = QObject::connect(reply, &QNetworkReply::readyRead, reply, [reply, body] {
        constexpr qint64 kMostReserved = qint64(256) << 20; // whatever length a server claims
        if (body->isEmpty())
            body->reserve(
                std::clamp(reply->header(QNetworkRequest::ContentLengthHeader).toLongLong(), qint64(0), kMostReserved));
        body->append(reply->readAll());
    });
    active_.emplace_back(reply);
    QEventLoop wait;
    QObject::connect(reply, &QNetworkReply::finished, &wait, &QEventLoop::quit);
    if (!reply->isFinished())
        wait.exec();
    std::erase(active_, reply);
    QObject::disconnect(draining); // the reply goes later; its hold on the body goes now
    reply->deleteLater();

    // The loop also returns when the application quits under it: the transfer is then given up.
    const bool abandoned = !reply->isFinished() || reply->property("abandoned").toBool();
    if (abandoned) {
        reply->abort();
        throw Failure(address + ": abandoned");
    }
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
    body->append(reply->readAll());
    const std::string_view view(body->constData(), static_cast<std::size_t>(body->size()));
    return Bytes(std::move(body), view);
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
