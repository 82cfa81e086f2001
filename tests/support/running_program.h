#pragma once

#include <chrono>

#include <QApplication>
#include <QDir>
#include <QMessageBox>
#include <QTest>
#include <QTimer>

#include "view/application.h"
#include "support/http_test_server.h"
#include "support/test_hosts.h"
#include "view/list_box_view.h"

namespace quillmere::testing {

// Modal messages would stop a test: this closes each one as it appears, and keeps its text.
class MessageCloser : public QObject {
    Q_OBJECT
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

    ListBoxView* list(const char* name) { return app.window().findChild<ListBoxView*>(QString::fromLatin1(name)); }
    int count(const char* name) { return int(list(name)->list().count()); }
    QStringList entries(const char* name)
    {
        QStringList shown;
        for (int row = 0; row < count(name); ++row)
            shown << list(name)->rowText(row);
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
        ListBoxView* view = list(name);
        QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, view->rowRect(row).center());
    }

    MessageCloser messages;
    Application app;
};

} // namespace quillmere::testing
