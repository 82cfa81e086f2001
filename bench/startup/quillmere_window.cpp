// Quillmere's real window and platform, started as the program starts, up to its first frame.

#include <QApplication>

#include "app/application.h"
#include "startup/first_frame.h"

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    // Nothing listens there; the start-up check would run only after the first frame anyway.
    quillmere::Application quillmere({"127.0.0.1:9", "quillmere.example", "submit.quillmere.example", {}},
                                     std::chrono::seconds(60));
    quillmere::bench::reportFirstFrame(quillmere.window());
    quillmere.start();
    return QApplication::exec();
}
