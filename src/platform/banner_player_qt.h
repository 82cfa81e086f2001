#pragma once

#include <chrono>
#include <memory>

#include <QBuffer>
#include <QByteArray>
#include <QObject>
#include <QPointer>

#include "platform/banner_player.h"
#include "swf/movie.h"

class QLabel;
class QMovie;
class QNetworkAccessManager;
class QNetworkReply;

namespace quillmere::platform {

class AddressOpener;
class SwfBanner;

// The banner: fetched in the background, shown in the banner area when it is a SWF movie
// (played by SwfBanner) or a PNG, JPEG or GIF picture (animated GIFs looping), told by its first
// bytes whatever its name, scaled to fit the area with its aspect kept. Anything else, and a
// banner that fails to load or to read, leaves the area blank with one line on standard error.
class QtBannerPlayer : public QObject, public BannerPlayer {
    Q_OBJECT
public:
    // `opener` opens the addresses that clicks on a movie's buttons ask for.
    QtBannerPlayer(QNetworkAccessManager& network, std::chrono::milliseconds timeout, AddressOpener& opener);
    ~QtBannerPlayer() override;

    void setDisplay(QLabel* display);
    void loadMovie(int layer, const std::string& address) override;
    void play() override;

private:
    void received(QNetworkReply* reply, const std::string& address);
    void abandonPending();
    void startIfReady();

    QNetworkAccessManager& network_;
    std::chrono::milliseconds timeout_;
    AddressOpener& opener_;
    QPointer<QLabel> display_;
    QPointer<QNetworkReply> pending_;
    QByteArray bytes_;
    QBuffer buffer_;
    std::unique_ptr<QMovie> movie_;
    std::shared_ptr<const swf::Movie> swfMovie_;
    std::unique_ptr<SwfBanner> swf_;
    bool playing_ = false;
};

// "swf", "png", "jpeg" or "gif" from the first bytes of a banner, or an empty text.
QByteArray bannerImageFormat(const QByteArray& bytes);

} // namespace quillmere::platform
