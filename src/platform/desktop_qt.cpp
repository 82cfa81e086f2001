#include "platform/desktop_qt.h"

#include <iostream>

#include <QClipboard>
#include <QDesktopServices>
#include <QGuiApplication>
#include <QMessageBox>
#include <QUrl>

#include "platform/printable.h"
#include "platform/web_address.h"

namespace quillmere::platform {

void QtClipboard::setText(const std::string& text)
{
    QGuiApplication::clipboard()->setText(QString::fromStdString(text));
}

void QtAddressOpener::open(const std::string& address)
{
    // The address goes to the desktop as one URL, never through a shell.
    const QUrl url(QString::fromStdString(address), QUrl::StrictMode);
    if (!isWebAddress(address) || !url.isValid()) {
        std::cerr << "quillmere: not opened, not a valid address: " << printable(address) << '\n';
        return;
    }
    if (!QDesktopServices::openUrl(url))
        std::cerr << "quillmere: the desktop could not open " << printable(address) << '\n';
}

void QtMessages::showInformation(const std::string& text, const std::string& title)
{
    QMessageBox box(QMessageBox::Information, QString::fromStdString(title), QString::fromStdString(text),
                    QMessageBox::Ok, owner_);
    box.setTextFormat(Qt::PlainText);
    open_.emplace_back(&box);
    box.exec();
    std::erase(open_, &box);
}

void QtMessages::dismissAll()
{
    for (const auto& box : std::vector(open_))
        if (auto* message = qobject_cast<QMessageBox*>(box.data()))
            message->done(QMessageBox::Ok);
}

} // namespace quillmere::platform
