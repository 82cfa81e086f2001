// Saves a picture of Quillmere's window once its start-up load has finished, for the README:
//     QT_QPA_PLATFORM=offscreen quillmere_screenshot OUT.png
// Runs the real program against the built-in list server (start the demo server first).

#include <iostream>

#include <QApplication>
#include <QTimer>

#include "app/build_config.h"
#include "view/application.h"

int main(int argc, char* argv[])
{
    QApplication qt(argc, argv);
    if (argc != 2) {
        std::cerr << "usage: quillmere_screenshot OUT.png\n";
        return 2;
    }
    quillmere::Application quillmere(quillmere::config::kHosts, quillmere::config::kTransferTimeout);
    quillmere.start();

    const QString out = QString::fromLocal8Bit(argv[1]);
    QTimer poll;
    int waited = 0;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        waited += 100;
        const auto& status = quillmere.model().Label2.caption();
        const bool loaded = status == quillmere::kCompleteCaption || status == quillmere::kFailedCaption;
        if (!loaded && waited < 15000)
            return;
        // Give the banner a moment to show its first frame.
        QTimer::singleShot(500, [&] { QApplication::exit(quillmere.window().grab().save(out) ? 0 : 1); });
        poll.stop();
    });
    poll.start(100);
    return QApplication::exec();
}
