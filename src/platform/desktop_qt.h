#pragma once

#include <vector>

#include <QPointer>
#include <QWidget>

#include "platform/address_opener.h"
#include "platform/clipboard.h"
#include "platform/messages.h"

namespace quillmere::platform {

// The desktop services of a Qt application: the clipboard, the browser ($BROWSER, else
// xdg-open), and message boxes owned by the window.
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
    void dismissAll() override;

private:
    QPointer<QWidget> owner_;
    std::vector<QPointer<QWidget>> open_; // a message can open while another is shown
};

} // namespace quillmere::platform
