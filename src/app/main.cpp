#include <iostream>

#include <QApplication>
#include <QMessageBox>

#include "app/application.h"
#include "build_config.h"
#include "platform/failure.h"

int main(int argc, char* argv[])
{
    QApplication qt(argc, argv);
    try {
        quillmere::Application quillmere(
            {quillmere::config::kListServer, quillmere::config::kProductHost, quillmere::config::kSubmitHost, {}},
            quillmere::config::kTransferTimeout);
        quillmere.start();
        return QApplication::exec();
    } catch (const quillmere::platform::Failure& failure) {
        std::cerr << "quillmere: " << failure.what() << '\n';
        QMessageBox::critical(nullptr, QStringLiteral("Quillmere"), QString::fromStdString(failure.what()));
        return 1;
    }
}
