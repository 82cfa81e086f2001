// Loading big lists into the real window, shown offscreen.
//   bench_lists read DIR         DIR/prx holds top20.bin and second.bin; reads them into List1
//   bench_lists startup DIR PORT the start-up load, DIR served on 127.0.0.1:PORT
//   bench_lists long             a screenful of 10 MiB lines, in each encoding, drawn
// Prints "name value" lines: seconds, milliseconds (_ms) or KiB (_kib).

#include <chrono>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <string>

#include <QApplication>
#include <QFile>
#include <QKeyEvent>
#include <QStringList>

#include "app/build_config.h"
#include "base/text_stream.h"
#include "lists/list_sources.h"
#include "view/application.h"
#include "view/list_box_view.h"

using namespace quillmere;

namespace {

using Clock = std::chrono::steady_clock;

double secondsSince(Clock::time_point start)
{
    return std::chrono::duration<double>(Clock::now() - start).count();
}

long statusKib(const char* key)
{
    std::ifstream status("/proc/self/status");
    std::string word;
    while (status >> word)
        if (word == key) {
            long value = 0;
            status >> value;
            return value;
        }
    return -1;
}

QByteArray readFile(const QString& path)
{
    QFile file(path);
    file.open(QIODevice::ReadOnly);
    return file.readAll();
}

// The floor of any reader: reading the file and counting its line feeds.
double floorLineFeeds(const QString& path)
{
    const auto start = Clock::now();
    const QByteArray bytes = readFile(path);
    const long feeds = bytes.count('\n');
    const double seconds = secondsSince(start);
    if (feeds < 0)
        std::puts("never");
    return seconds;
}

// The floor of a reader that makes text of every line: reading, splitting and decoding the
// file into strings.
double floorStrings(const QString& path)
{
    const auto start = Clock::now();
    const QByteArray bytes = readFile(path);
    QStringList lines;
    const char* at = bytes.constData();
    const char* end = at + bytes.size();
    while (at < end) {
        const auto* feed = static_cast<const char*>(std::memchr(at, '\n', static_cast<std::size_t>(end - at)));
        const char* lineEnd = feed ? feed : end;
        lines << QString::fromUtf8(at, lineEnd - at);
        at = feed ? feed + 1 : end;
    }
    const double seconds = secondsSince(start);
    if (lines.isEmpty())
        std::puts("empty file");
    return seconds;
}

Hosts withListServer(const std::string& server)
{
    Hosts hosts = config::kHosts;
    hosts.listServer = server;
    return hosts;
}

struct Window {
    explicit Window(const std::string& server) : app(withListServer(server), std::chrono::seconds(60))
    {
        app.model().Timer2.setInterval(0); // no start-up sequence: only what is measured runs
        app.start();
        QApplication::processEvents();
        list1 = app.window().findChild<ListBoxView*>("List1");
    }
    void stage(const QString& from, const lists::ListSource& as)
    {
        const QString to = QString::fromStdString(app.model().stagingPath(as));
        QFile::remove(to);
        QFile::copy(from, to);
    }
    // A read as the refresh does it, up to the list's next paint.
    double read(const lists::ListSource& source, bool clearFirst)
    {
        const auto start = Clock::now();
        app.model().ReadLinesInto(source, app.model().List1, clearFirst);
        list1->viewport()->repaint();
        return secondsSince(start);
    }
    // Milliseconds to bring `action` to the screen.
    template <typename Action>
    double shown(Action action)
    {
        const auto start = Clock::now();
        action();
        list1->viewport()->repaint();
        return secondsSince(start) * 1000;
    }
    Application app;
    ListBoxView* list1 = nullptr;
};

} // namespace

int main(int argc, char* argv[])
{
    QApplication qt(argc, argv);
    if (argc < 3)
        return 2;
    const std::string mode = argv[1];
    const QString prx = QString::fromLocal8Bit(argv[2]) + "/prx/";

    if (mode == "read") {
        Window window("127.0.0.1:9");
        window.stage(prx + "top20.bin", lists::kTop20);
        window.stage(prx + "second.bin", lists::kTop30);
        const long before = statusKib("VmRSS:");
        const double read = window.read(lists::kTop20, true);
        const long peak = statusKib("VmHWM:");
        const long after = statusKib("VmRSS:");
        const double floor = floorLineFeeds(prx + "top20.bin");
        const double scroll = window.shown([&] { window.list1->scrollTo(int(window.app.model().List1.count()) - 1); });
        const double select = window.shown([&] { // the user's End key: the last entry picked
            QKeyEvent end(QEvent::KeyPress, Qt::Key_End, Qt::NoModifier);
            QApplication::sendEvent(window.list1, &end);
        });
        const double find = window.shown([&] { // a typed letter no entry starts with: every entry looked at
            QKeyEvent underscore(QEvent::KeyPress, Qt::Key_Underscore, Qt::NoModifier, QStringLiteral("_"));
            QApplication::sendEvent(window.list1, &underscore);
        });
        const long shownKib = statusKib("VmRSS:"); // the view has laid the rows out by now
        const double second = window.read(lists::kTop30, false);
        std::printf("floor %.4f\nread %.4f\nsecond %.4f\nscroll_ms %.2f\nselect_ms %.2f\nfind_ms %.2f\n"
                    "window_kib %ld\npeak_kib %ld\nafter_kib %ld\nshown_kib %ld\n",
                    floor, read, second, scroll, select, find, before, peak, after, shownKib);
        return 0;
    }
    if (mode == "startup" && argc == 4) {
        Window window("127.0.0.1:" + std::string(argv[3]));
        const long before = statusKib("VmRSS:");
        // The start-up load: its first step after the banner asks for the top-20 list.
        const auto start = Clock::now();
        window.app.model().raise(ControlId::Timer1, Event::Tick);
        window.list1->viewport()->repaint();
        const double load = secondsSince(start);
        const long peak = statusKib("VmHWM:");
        const double floor = floorStrings(prx + "top20.bin");
        if (window.app.model().Label2.caption() != kCompleteCaption)
            std::printf("failed %s\n", window.app.model().Label2.toolTip().c_str());
        std::printf("floor %.4f\nload %.4f\nwindow_kib %ld\npeak_kib %ld\n", floor, load, before, peak);
        return 0;
    }
    if (mode == "long") { // lines no list should hold, but one may: each row decides its encoding by all of it
        Window window("127.0.0.1:9");
        for (const char byte : {'x', '\xE9'}) {
            std::string file;
            for (int line = 0; line < 30; ++line)
                file += std::string(10 << 20, byte) + '\n';
            window.app.model().List1.clear();
            window.app.model().List1.insertLinesAtTop(TextStream{Bytes(file)}.readRemainingLines());
            const double first = window.shown([] {});
            const double again = window.shown([] {});
            const char* encoding = byte == 'x' ? "ascii" : "windows1252";
            std::printf("%s_first_ms %.2f\n%s_again_ms %.2f\n", encoding, first, encoding, again);
        }
        return 0;
    }
    return 2;
}
