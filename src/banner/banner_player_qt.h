#pragma once

#include <memory>

#include <QBuffer>
#include <QByteArray>
#include <QPointer>

#include "platform/banner_player.h"
#include "platform/transfer.h"
#include "swf/movie.h"

class QLabel;
class QMovie;

namespace quillmere::platform {
class AddressOpener;
class EventLoop;
} // namespace quillmere::platform

namespace quillmere::banner {

class SwfBanner;

// The banner: fetched in the background through `transfer`, shown in the banner area when it
// is a SWF movie (played by SwfBanner on `loop`'s timers) or a PNG, JPEG or GIF picture
// (animated GIFs looping), told by its first bytes whatever its name, scaled to fit the area
// with its aspect kept. Anything else, and a banner that fails to load or to read, leaves the
// area blank with one line on standard error.
class QtBannerPlayer : public platform::BannerPlayer {
public:
    // `opener` opens the addresses that clicks on a movie's buttons ask for.
    QtBannerPlayer(platform::Transfer& transfer, platform::EventLoop& loop, platform::AddressOpener& opener);
    ~QtBannerPlayer() override;

    void setDisplay(QLabel* display);
    void loadMovie(int layer, const std::string& address) override;
    void play() override;

private:
    void received(const std::string& address, platform::Transfer::Result result);
    void startIfReady();

    platform::Transfer& transfer_;
    platform::EventLoop& loop_;
    platform::AddressOpener& opener_;
    QPointer<QLabel> display_;
    std::unique_ptr<platform::Transfer::Pending> pending_;
    QByteArray bytes_;
    QBuffer buffer_;
    std::unique_ptr<QMovie> movie_;
    std::shared_ptr<const swf::Movie> swfMovie_;
    std::unique_ptr<SwfBanner> swf_;
    bool playing_ = false;
};

} // namespace quillmere::banner
