#include "banner/banner_player_qt.h"

#include <iostream>
#include <new>

#include <QLabel>
#include <QMovie>

#include "banner/swf_banner_qt.h"
#include "base/printable.h"
#include "swf/file_kind.h"
#include "swf/format_error.h"
#include "swf/movie_reader.h"

namespace quillmere::banner {

namespace {

void notShown(const std::string& why)
{
    std::cerr << "quillmere: banner not shown: " << printable(why) << '\n';
}

} // namespace

QtBannerPlayer::QtBannerPlayer(platform::Transfer& transfer, platform::EventLoop& loop, platform::AddressOpener& opener)
    : transfer_(transfer), loop_(loop), opener_(opener)
{
}

// A download given up (a new movie, or the program ending) is no failure to report.
QtBannerPlayer::~QtBannerPlayer() = default;

void QtBannerPlayer::setDisplay(QLabel* display)
{
    display_ = display;
}

void QtBannerPlayer::loadMovie(int /*layer*/, const std::string& address)
{
    pending_ = transfer_.fetchInBackground(
        address, [this, address](platform::Transfer::Result result) { received(address, std::move(result)); });
}

void QtBannerPlayer::play()
{
    playing_ = true;
    startIfReady();
}

void QtBannerPlayer::received(const std::string& address, platform::Transfer::Result result)
{
    if (const auto* failure = std::get_if<platform::Failure>(&result))
        return notShown(failure->what());
    const Bytes bytes = std::get<Bytes>(std::move(result));
    const swf::FileKind kind = swf::fileKindOf(bytes.view());
    if (kind == swf::FileKind::Unknown)
        return notShown(address + ": neither a movie nor a picture");
    if (kind == swf::FileKind::Movie) {
        swf_.reset();
        try {
            swfMovie_ = std::make_shared<const swf::Movie>(swf::readMovie(bytes.view()));
            for (const std::string& line : swfMovie_->unreadable)
                std::cerr << "quillmere: banner " << printable(address) << ": " << printable(line) << '\n';
        } catch (const swf::FormatError& error) {
            return notShown(address + ": " + error.what());
        } catch (const std::bad_alloc&) {
            return notShown(address + ": not enough memory to read it");
        }
        startIfReady();
        return;
    }
    const char* format = kind == swf::FileKind::Png ? "png" : kind == swf::FileKind::Jpeg ? "jpeg" : "gif";
    movie_.reset();
    buffer_.close();
    bytes_ = QByteArray(bytes.data(), qsizetype(bytes.size()));
    buffer_.setData(bytes_);
    buffer_.open(QIODevice::ReadOnly);
    movie_ = std::make_unique<QMovie>(&buffer_, format);
    if (!movie_->isValid()) {
        movie_.reset();
        return notShown(address + ": not a readable " + format);
    }
    startIfReady();
}

void QtBannerPlayer::startIfReady()
{
    if (playing_ && swfMovie_ && display_ && !swf_)
        swf_ = std::make_unique<SwfBanner>(swfMovie_, display_, loop_, opener_);
    if (!playing_ || !movie_ || !display_ || movie_->state() == QMovie::Running)
        return;
    movie_->jumpToFrame(0);
    const QSize frame = movie_->currentImage().size();
    if (!frame.isEmpty())
        movie_->setScaledSize(frame.scaled(display_->size(), Qt::KeepAspectRatio));
    display_->setMovie(movie_.get());
    movie_->start();
}

} // namespace quillmere::banner
