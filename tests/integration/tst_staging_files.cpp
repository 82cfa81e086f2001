// Staging files on the real file system: truncation, and no way through a planted link.

#include <QtTest>

#include <unistd.h>

#include "platform/failure.h"
#include "platform/files_qt.h"
#include "support/strict_warnings.h"

using namespace quillmere;
using quillmere::testing::failOnUnexpectedWarnings;

class StagingFilesTest : public QObject {
    Q_OBJECT

private slots:
    void init() { failOnUnexpectedWarnings(); }

    void aWriteReplacesTheWholeFile()
    {
        QTemporaryDir dir;
        const std::string path = dir.filePath("top20.bin").toStdString();
        platform::QtFiles files;
        files.writeWhole(path, "a much longer first content\n");
        files.writeWhole(path, std::string_view("b\0c", 3));
        QCOMPARE(files.readWhole(path).view(), std::string_view("b\0c", 3));
        files.remove(path);
        QVERIFY_THROWS_EXCEPTION(platform::Failure, files.remove(path));
        QVERIFY_THROWS_EXCEPTION(platform::Failure, files.readWhole(path));
    }

    void aPlantedLinkIsNeitherFollowedNorWrittenThrough()
    {
        QTemporaryDir dir;
        const QString secret = dir.filePath("secret");
        QFile target(secret);
        QVERIFY(target.open(QIODevice::WriteOnly));
        target.write("private\n");
        target.close();
        const QString staging = dir.filePath("top20.bin");
        QVERIFY(QFile::link(secret, staging));

        const QString hardLink = dir.filePath("top30.bin");
        QVERIFY(::link(secret.toLocal8Bit(), hardLink.toLocal8Bit()) == 0);

        platform::QtFiles files;
        QVERIFY_THROWS_EXCEPTION(platform::Failure, files.readWhole(staging.toStdString()));
        files.writeWhole(staging.toStdString(), "staged");
        files.writeWhole(hardLink.toStdString(), "staged");
        QCOMPARE(files.readWhole(staging.toStdString()).view(), "staged");
        QVERIFY(!QFileInfo(staging).isSymLink());
        QVERIFY(target.open(QIODevice::ReadOnly));
        QCOMPARE(target.readAll(), "private\n");
    }
};

QTEST_GUILESS_MAIN(StagingFilesTest)
#include "tst_staging_files.moc"
