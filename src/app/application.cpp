#include "app/application.h"

#include <QDir>

#include "platform/failure.h"

namespace quillmere {

Application::Application(Settings settings, std::chrono::milliseconds transferTimeout)
    : staging_(QDir::tempPath() + QStringLiteral("/quillmere-XXXXXX")),
      inet1_(network_, transferTimeout),
      inet2_(network_, transferTimeout),
      banner_(network_, transferTimeout)
{
    // QTemporaryDir makes a fresh directory that only this user can enter, and removes it
    // with everything in it when the program ends.
    if (!staging_.isValid())
        throw platform::Failure("cannot create a staging directory in " + QDir::tempPath().toStdString() + ": "
                                + staging_.errorString().toStdString());
    settings.stagingDirectory = staging_.path().toStdString();
    model_ = std::make_unique<Main>(
        platform::Services{inet1_, inet2_, files_, files_, files_, random_, connectivity_, addressOpener_, clipboard_,
                           messages_, eventLoop_, banner_},
        std::move(settings));
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
