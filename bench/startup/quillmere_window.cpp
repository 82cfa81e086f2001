// Quillmere's real window and platform, started as the program starts, up to its first frame.

#include <QApplication>

#include "app/build_config.h"
#include "view/application.h"
#include "startup/first_frame.h"

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    // Nothing listens on the discard port; the start-up check would run only after the first
    // frame anyway.
    quillmere::Hosts hosts = quillmere::config::kHosts;
    hosts.listServer = "127.0.0.1:9";
    quillmere::Application quillmere(hosts, quillmere::config::kTransferTimeout);
    quillmere::bench::reportFirstFrame(quillmere.window());
    quillmere.start();
    return QApplication::exec();
}
