#include <iostream>

#include <QApplication>
#include <QMessageBox>

#include "app/build_config.h"
#include "command_line.h"
#include "platform/failure.h"
#include "view/application.h"

#ifdef Q_OS_UNIX
#include "platform/termination_signals_qt.h"
#endif

int main(int argc, char* argv[])
{
    quillmere::answerHelpOrVersion(argc, argv);
    QApplication qt(argc, argv);
    if (const std::optional<int> refused = quillmere::refuseWhatIsLeft())
        return *refused;
    try {
        quillmere::Application quillmere(quillmere::config::kHosts, quillmere::config::kTransferTimeout);
#ifdef Q_OS_UNIX
        // Stopped from a terminal or by the session: end as if the window were closed.
        quillmere::platform::TerminationSignals stopRequests([&] { quillmere.window().close(); });
#endif
        quillmere.start();
        return QApplication::exec();
    } catch (const quillmere::platform::Failure& failure) {
        std::cerr << "quillmere: " << failure.what() << '\n';
        QMessageBox::critical(nullptr, QStringLiteral("Quillmere"), QString::fromStdString(failure.what()));
        return 1;
    }
}
