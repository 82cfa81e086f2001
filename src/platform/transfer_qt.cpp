#include "platform/transfer_qt.h"

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

std::string QtTransfer::fetch(const std::string& address)
{
    const QUrl url(QString::fromStdString(address), QUrl::StrictMode);
    if (!url.isValid() || url.scheme() != QLatin1String("http"))
        throw Failure(address + ": not an http address");

    QNetworkReply* reply = network_.get(QNetworkRequest(url));
    setDeadline(reply, timeout_);
    active_.emplace_back(reply);
    QEventLoop wait;
    QObject::connect(reply, &QNetworkReply::finished, &wait, &QEventLoop::quit);
    if (!reply->isFinished())
        wait.exec();
    std::erase(active_, reply);
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
    const QByteArray body = reply->readAll();
    return std::string(body.constData(), static_cast<std::size_t>(body.size()));
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
