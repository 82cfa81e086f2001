// Loading big lists into the real window, shown offscreen.
//   bench_lists speed DIR PORT   DIR/prx holds top20.bin, second.bin, ... served on 127.0.0.1:PORT
//   bench_lists memory DIR       peak memory of reading DIR/prx/top20.bin into the window
// Prints "name value" lines: seconds, or KiB for memory.

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

#include <QApplication>
#include <QFile>
#include <QListView>
#include <QStringList>

#include "app/build_config.h"
#include "lists/list_sources.h"
#include "view/application.h"

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

// The floor: reading, splitting and decoding the file into strings, and nothing else.
double floorSeconds(const QString& path)
{
    const auto start = Clock::now();
    QFile file(path);
    file.open(QIODevice::ReadOnly);
    const QByteArray bytes = file.readAll();
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

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

quillmere::Hosts withListServer(const std::string& server)
{
    quillmere::Hosts hosts = quillmere::config::kHosts;
    hosts.listServer = server;
    return hosts;
}

struct Window {
    explicit Window(const std::string& server) : app(withListServer(server), std::chrono::seconds(60))
    {
        app.model().Timer2.setInterval(0); // no start-up sequence: only what is measured runs
        app.start();
        QApplication::processEvents();
        list1 = app.window().findChild<QListView*>("List1");
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
    Application app;
    QListView* list1 = nullptr;
};

} // namespace

int main(int argc, char* argv[])
{
    QApplication qt(argc, argv);
    if (argc < 3)
        return 2;
    const std::string mode = argv[1];
    const QString prx = QString::fromLocal8Bit(argv[2]) + "/prx/";

    if (mode == "memory") {
        Window window("127.0.0.1:9");
        window.stage(prx + "top20.bin", lists::kTop20);
        std::printf("window_rss_kib %ld\n", statusKib("VmRSS:"));
        window.read(lists::kTop20, true);
        std::printf("peak_kib %ld\n", statusKib("VmHWM:"));
        return 0;
    }

    std::vector<double> floors, reads;
    for (int i = 0; i < 3; ++i)
        floors.push_back(floorSeconds(prx + "top20.bin"));
    Window window("127.0.0.1:" + std::string(argv[3]));
    window.stage(prx + "top20.bin", lists::kTop20);
    window.stage(prx + "second.bin", lists::kTop30);
    for (int i = 0; i < 3; ++i)
        reads.push_back(window.read(lists::kTop20, true));
    const double second = window.read(lists::kTop30, false);
    window.app.model().DeleteStagingFiles();

    const auto start = Clock::now();
    window.app.model().raise(ControlId::Image3, Event::Click);
    window.list1->viewport()->repaint();
    const double reload = secondsSince(start);
    if (window.app.model().Label2.caption() != kCompleteCaption)
        std::printf("reload failed: %s\n", window.app.model().Label2.toolTip().c_str());

    std::printf("floor %.4f\nread %.4f\nsecond %.4f\nreload %.4f\n", median(floors), median(reads), second, reload);
    return 0;
}
