#include "platform/banner_player_qt.h"

#include <iostream>

#include <QLabel>
#include <QMovie>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>

#include "platform/printable.h"
#include "platform/swf_banner_qt.h"
#include "platform/transfer_deadline_qt.h"
#include "swf/format_error.h"
#include "swf/limits.h"
#include "swf/movie_reader.h"

namespace quillmere::platform {

QByteArray bannerImageFormat(const QByteArray& bytes)
{
    if (bytes.startsWith("FWS") || bytes.startsWith("CWS") || bytes.startsWith("ZWS"))
        return "swf";
    if (bytes.startsWith("\x89PNG\r\n\x1a\n"))
        return "png";
    if (bytes.startsWith("\xff\xd8\xff"))
        return "jpeg";
    if (bytes.startsWith("GIF87a") || bytes.startsWith("GIF89a"))
        return "gif";
    return {};
}

QtBannerPlayer::QtBannerPlayer(QNetworkAccessManager& network, std::chrono::milliseconds timeout, AddressOpener& opener)
    : network_(network), timeout_(timeout), opener_(opener)
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
    // No banner is larger than a movie may grow when it is unpacked. Checked as bytes arrive:
    // Qt reports download progress only now and then, and a fast server is done before it does.
    connect(pending_, &QNetworkReply::readyRead, this, [reply = pending_.data()] {
        if (reply->bytesAvailable() > qint64(swf::kMaxMovieBytes)) {
            reply->setProperty("quillmere.tooLarge", true);
            reply->abort();
        }
    });
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
        const std::string reason = missedDeadline(reply) ? timedOutText(timeout_)
                                   : reply->property("quillmere.tooLarge").toBool()
                                       ? "larger than a banner may be"
                                       : reply->errorString().toStdString();
        std::cerr << "quillmere: banner not shown: " << printable(address) << ": " << printable(reason) << '\n';
        return;
    }
    bytes_ = reply->readAll();
    const QByteArray format = bannerImageFormat(bytes_);
    if (format.isEmpty()) {
        std::cerr << "quillmere: banner not shown: " << printable(address) << ": neither a movie nor a picture\n";
        return;
    }
    if (format == "swf") {
        swf_.reset();
        try {
            swfMovie_ = std::make_shared<const swf::Movie>(
                swf::readMovie(std::string_view(bytes_.constData(), std::size_t(bytes_.size()))));
        } catch (const swf::FormatError& error) {
            std::cerr << "quillmere: banner not shown: " << printable(address) << ": " << printable(error.what())
                      << '\n';
        }
        bytes_.clear();
        startIfReady();
        return;
    }
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
    if (playing_ && swfMovie_ && display_ && !swf_)
        swf_ = std::make_unique<SwfBanner>(swfMovie_, display_, opener_);
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
