// The yardstick: a bare Qt window with 19 plain child widgets. Built a second time with
// WITH_TEXT, where one child is a label with a line of text, to show what the font database
// costs on its own: every window that draws text pays it.

#include <QApplication>
#include <QLabel>
#include <QWidget>

#include "startup/first_frame.h"

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QWidget window;
    window.setFixedSize(451, 614);
    for (int i = 0; i < 19; ++i)
        (new QWidget(&window))->setGeometry(i * 20, i * 30, 40, 30);
#ifdef WITH_TEXT
    (new QLabel(QStringLiteral("Top 20  Proxy List"), &window))->move(36, 80);
#endif
    quillmere::bench::reportFirstFrame(window);
    window.show();
    return QApplication::exec();
}
