#include "view/application.h"

#include <QDir>

#include "platform/failure.h"
#include "swf/limits.h"

namespace quillmere {

Application::Application(Hosts hosts, std::chrono::milliseconds transferTimeout)
    : staging_(QDir::tempPath() + QStringLiteral("/quillmere-XXXXXX")),
      inet1_(network_, transferTimeout),
      inet2_(network_, transferTimeout),
      bannerTransfer_(network_, transferTimeout, swf::kMaxMovieBytes),
      banner_(bannerTransfer_, eventLoop_, addressOpener_)
{
    // QTemporaryDir makes a fresh directory that only this user can enter, and removes it
    // with everything in it when the program ends.
    if (!staging_.isValid())
        throw platform::Failure("cannot create a staging directory in " + QDir::tempPath().toStdString() + ": "
                                + staging_.errorString().toStdString());
    model_ = std::make_unique<Main>(platform::Services{.inet1 = inet1_,
                                                       .inet2 = inet2_,
                                                       .fileWriter = files_,
                                                       .textFiles = files_,
                                                       .fileRemover = files_,
                                                       .random = random_,
                                                       .connectivity = connectivity_,
                                                       .addressOpener = addressOpener_,
                                                       .clipboard = clipboard_,
                                                       .messages = messages_,
                                                       .eventLoop = eventLoop_,
                                                       .banner = banner_},
                                    Settings{std::move(hosts), staging_.path().toStdString()});
    window_ = std::make_unique<WindowWidget>(*model_);
    messages_.setOwner(window_.get());
#ifdef Q_OS_WIN
    addressOpener_.setOwner(reinterpret_cast<void*>(window_->winId()));
#endif
    banner_.setDisplay(window_->bannerArea());
}

Application::~Application()
{
    // The window goes first: it is the model's view.
    window_.reset();
    model_.reset();
}

void Application::start()
{
    model_->raise(ControlId::Main, Event::Load);
    window_->show();
}

} // namespace quillmere
