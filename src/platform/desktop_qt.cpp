#include "platform/desktop_qt.h"

#include <iostream>

#include <QClipboard>
#include <QDesktopServices>
#include <QGuiApplication>
#include <QMessageBox>
#include <QUrl>

namespace quillmere::platform {

void QtClipboard::setText(const std::string& text)
{
    QGuiApplication::clipboard()->setText(QString::fromStdString(text));
}

void QtAddressOpener::open(const std::string& address)
{
    // The address goes to the desktop as one URL, never through a shell.
    const QUrl url(QString::fromStdString(address), QUrl::StrictMode);
    if (!url.isValid() || url.host().isEmpty()) {
        std::cerr << "quillmere: not opened, not a valid address: " << address << '\n';
        return;
    }
    if (!QDesktopServices::openUrl(url))
        std::cerr << "quillmere: the desktop could not open " << address << '\n';
}

void QtMessages::showInformation(const std::string& text, const std::string& title)
{
    QMessageBox box(QMessageBox::Information, QString::fromStdString(title), QString::fromStdString(text),
                    QMessageBox::Ok, owner_);
    box.setTextFormat(Qt::PlainText);
    box.exec();
}

} // namespace quillmere::platform
