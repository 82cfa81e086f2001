#pragma once

#include <QPointer>
#include <QWidget>

#include "platform/address_opener.h"
#include "platform/clipboard.h"
#include "platform/messages.h"

namespace quillmere::platform {

// The desktop services of a Qt application: the clipboard, the browser (QDesktopServices, which
// honours $BROWSER and xdg-open), and message boxes owned by the window.
class QtClipboard : public Clipboard {
public:
    void setText(const std::string& text) override;
};

class QtAddressOpener : public AddressOpener {
public:
    void open(const std::string& address) override;
};

class QtMessages : public Messages {
public:
    void setOwner(QWidget* owner) { owner_ = owner; }
    void showInformation(const std::string& text, const std::string& title) override;

private:
    QPointer<QWidget> owner_;
};

} // namespace quillmere::platform
