#include "platform/desktop_qt.h"

#include <iostream>

#include <QClipboard>
#include <QGuiApplication>
#include <QMessageBox>
#include <QProcess>

#include "base/printable.h"
#include "base/web_address.h"

namespace quillmere::platform {

void QtClipboard::setText(const std::string& text)
{
    QGuiApplication::clipboard()->setText(QString::fromStdString(text));
}

namespace {

// The commands that may open a web address, in the order tried: the user's $BROWSER, a list
// of commands separated by colons in which "%s" stands for the address (else it comes last),
// then the desktop's own opener.
std::vector<QStringList> browserCommands(const QString& address)
{
    std::vector<QStringList> commands;
    const QString browser = qEnvironmentVariable("BROWSER");
    for (const QString& command : browser.split(u':', Qt::SkipEmptyParts)) {
        QStringList words = QProcess::splitCommand(command);
        if (words.isEmpty())
            continue;
        if (words.filter(QStringLiteral("%s")).isEmpty())
            words << address;
        else
            words.replaceInStrings(QStringLiteral("%s"), address);
        commands.push_back(words);
    }
    commands.push_back({QStringLiteral("xdg-open"), address});
    return commands;
}

} // namespace

void QtAddressOpener::open(const std::string& address)
{
    if (!isBrowserAddress(address)) {
        std::cerr << "quillmere: not opened, not a valid address: " << printable(address) << '\n';
        return;
    }
    // The browser gets the address exactly as built, as one argument and never through a
    // shell. QDesktopServices would make a QUrl of it first, which rewrites some addresses and
    // refuses hosts that browsers still take (an escape, a label over 63 characters).
    for (QStringList& command : browserCommands(QString::fromStdString(address))) {
        const QString program = command.takeFirst();
        if (QProcess::startDetached(program, command))
            return;
    }
    std::cerr << "quillmere: no browser could be started for " << printable(address)
              << " (set BROWSER, or install xdg-utils)\n";
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
