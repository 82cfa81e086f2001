#pragma once

#include <chrono>

#include <QApplication>
#include <QDir>
#include <QListView>
#include <QMessageBox>
#include <QTest>
#include <QTimer>

#include "view/application.h"
#include "support/http_test_server.h"
#include "support/test_hosts.h"

namespace quillmere::testing {

// Modal messages would stop a test: this closes each one as it appears, and keeps its text.
class MessageCloser : public QObject {
public:
    MessageCloser()
    {
        connect(&poll_, &QTimer::timeout, this, [this] {
            if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
                texts << box->text();
                box->accept();
            }
        });
        poll_.start(20);
    }
    QStringList texts;

private:
    QTimer poll_;
};

// The real program, started against a test list server, with what a test needs to use and
// read its window.
struct RunningProgram {
    RunningProgram(HttpTestServer& server, std::chrono::milliseconds transferTimeout)
        : app(testHosts(server.hostAndPort().toStdString()), transferTimeout)
    {
        app.start();
    }

    QListView* list(const char* name) { return app.window().findChild<QListView*>(QString::fromLatin1(name)); }
    int count(const char* name) { return list(name)->model()->rowCount(); }
    QStringList entries(const char* name)
    {
        QStringList shown;
        for (int row = 0; row < count(name); ++row)
            shown << list(name)->model()->index(row, 0).data().toString();
        return shown;
    }
    QString status() { return QString::fromStdString(app.model().Label2.caption()); }
    bool idle() { return status() == "Loading Complete" || status() == "Loading Failed"; }
    QStringList stagingFiles() { return QDir(app.stagingDirectory()).entryList(QDir::Files); }

    void click(const char* control)
    {
        QTest::mouseClick(app.window().findChild<QWidget*>(QString::fromLatin1(control)), Qt::LeftButton);
    }
    void clickEntry(const char* name, int row)
    {
        QListView* view = list(name);
        QTest::mouseClick(view->viewport(), Qt::LeftButton, {},
                          view->visualRect(view->model()->index(row, 0)).center());
    }

    MessageCloser messages;
    Application app;
};

} // namespace quillmere::testing
