#pragma once

#include <chrono>
#include <memory>

#include <QBuffer>
#include <QByteArray>
#include <QObject>
#include <QPointer>

#include "platform/banner_player.h"

class QLabel;
class QMovie;
class QNetworkAccessManager;
class QNetworkReply;

namespace quillmere::platform {

// The banner as a picture: fetched in the background, shown in the banner area when it is a
// PNG, JPEG or GIF (told by its first bytes, whatever its name), animated GIFs looping, scaled
// to fit the area. Does not play Flash movies: anything else, and a banner that fails to load,
// leaves the area blank.
class QtBannerPlayer : public QObject, public BannerPlayer {
    Q_OBJECT
public:
    QtBannerPlayer(QNetworkAccessManager& network, std::chrono::milliseconds timeout);
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
    QPointer<QLabel> display_;
    QPointer<QNetworkReply> pending_;
    QByteArray bytes_;
    QBuffer buffer_;
    std::unique_ptr<QMovie> movie_;
    bool playing_ = false;
};

// "png", "jpeg" or "gif" from the first bytes of an image, or an empty text.
QByteArray bannerImageFormat(const QByteArray& bytes);

} // namespace quillmere::platform
