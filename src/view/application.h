#pragma once

#include <chrono>

#include <QNetworkAccessManager>
#include <QTemporaryDir>

#include "app/main_window.h"
#include "app/settings.h"
#include "banner/banner_player_qt.h"
#include "platform/desktop_qt.h"
#include "platform/event_loop_qt.h"
#include "platform/files_qt.h"
#include "platform/lcg_random_source.h"
#include "platform/transfer_qt.h"
#include "view/window_widget.h"

#ifdef Q_OS_WIN
#include "platform/address_opener_win.h"
#include "platform/connectivity_win.h"
#else
#include "platform/connectivity_linux.h"
#endif

namespace quillmere {

// The real program: the Qt implementations of every outside service, the staging directory,
// the window model and the window on screen. Needs a QApplication. Throws platform::Failure
// when the staging directory cannot be made.
class Application {
public:
    Application(Hosts hosts, std::chrono::milliseconds transferTimeout);
    ~Application();

    // Raises the window's Load event, then shows it.
    void start();

    Main& model() { return *model_; }
    WindowWidget& window() { return *window_; }
    QString stagingDirectory() const { return staging_.path(); }

private:
    QTemporaryDir staging_;
    QNetworkAccessManager network_;
    platform::QtTransfer inet1_;
    platform::QtTransfer inet2_;
    platform::QtTransfer bannerTransfer_; // no larger than a movie may grow
    platform::QtFiles files_;
    platform::LcgRandomSource random_;
#ifdef Q_OS_WIN
    platform::WindowsConnectivity connectivity_;
    platform::WindowsAddressOpener addressOpener_;
#else
    platform::LinuxConnectivity connectivity_;
    platform::QtAddressOpener addressOpener_;
#endif
    platform::QtClipboard clipboard_;
    platform::QtMessages messages_;
    platform::QtEventLoop eventLoop_;
    banner::QtBannerPlayer banner_;
    std::unique_ptr<Main> model_;
    std::unique_ptr<WindowWidget> window_;
};

} // namespace quillmere
