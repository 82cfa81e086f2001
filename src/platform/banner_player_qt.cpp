#include "platform/banner_player_qt.h"

#include <iostream>

#include <QLabel>
#include <QMovie>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>

#include "platform/printable.h"
#include "platform/transfer_deadline_qt.h"

namespace quillmere::platform {

QByteArray bannerImageFormat(const QByteArray& bytes)
{
    if (bytes.startsWith("\x89PNG\r\n\x1a\n"))
        return "png";
    if (bytes.startsWith("\xff\xd8\xff"))
        return "jpeg";
    if (bytes.startsWith("GIF87a") || bytes.startsWith("GIF89a"))
        return "gif";
    return {};
}

QtBannerPlayer::QtBannerPlayer(QNetworkAccessManager& network, std::chrono::milliseconds timeout)
    : network_(network), timeout_(timeout)
{
}

QtBannerPlayer::~QtBannerPlayer()
{
    abandonPending();
}

// A download given up (a new movie, or the program ending) is no failure to report.
void QtBannerPlayer::abandonPending()
{
    if (!pending_)
        return;
    pending_->disconnect(this);
    pending_->abort();
    pending_->deleteLater();
    pending_ = nullptr;
}

void QtBannerPlayer::setDisplay(QLabel* display)
{
    display_ = display;
}

void QtBannerPlayer::loadMovie(int /*layer*/, const std::string& address)
{
    abandonPending();
    pending_ = network_.get(QNetworkRequest(QUrl(QString::fromStdString(address), QUrl::StrictMode)));
    setDeadline(pending_, timeout_);
    connect(pending_, &QNetworkReply::finished, this,
            [this, reply = pending_.data(), address] { received(reply, address); });
}

void QtBannerPlayer::play()
{
    playing_ = true;
    startIfReady();
}

void QtBannerPlayer::received(QNetworkReply* reply, const std::string& address)
{
    reply->deleteLater();
    if (reply != pending_)
        return;
    pending_ = nullptr;
    const int status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    if (reply->error() != QNetworkReply::NoError || status < 200 || status > 299) {
        const std::string reason = missedDeadline(reply) ? timedOutText(timeout_) : reply->errorString().toStdString();
        std::cerr << "quillmere: banner not shown: " << printable(address) << ": " << printable(reason) << '\n';
        return;
    }
    bytes_ = reply->readAll();
    const QByteArray format = bannerImageFormat(bytes_);
    if (format.isEmpty())
        return; // not a picture this player shows
    movie_.reset();
    buffer_.close();
    buffer_.setData(bytes_);
    buffer_.open(QIODevice::ReadOnly);
    movie_ = std::make_unique<QMovie>(&buffer_, format);
    if (!movie_->isValid()) {
        std::cerr << "quillmere: banner not shown: " << printable(address) << ": not a readable "
                  << format.toStdString() << '\n';
        movie_.reset();
        return;
    }
    startIfReady();
}

void QtBannerPlayer::startIfReady()
{
    if (!playing_ || !movie_ || !display_ || movie_->state() == QMovie::Running)
        return;
    movie_->jumpToFrame(0);
    const QSize frame = movie_->currentImage().size();
    if (!frame.isEmpty())
        movie_->setScaledSize(frame.scaled(display_->size(), Qt::KeepAspectRatio));
    display_->setMovie(movie_.get());
    movie_->start();
}

} // namespace quillmere::platform
