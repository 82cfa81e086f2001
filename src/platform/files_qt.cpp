#include "platform/files_qt.h"

#include <cerrno>
#include <cstring>

#include <QFile>
#include <QString>

#ifdef Q_OS_UNIX
#include <fcntl.h>
#endif

#include "platform/failure.h"

namespace quillmere::platform {

namespace {

Failure fileFailure(const std::string& path, const QString& reason)
{
    return Failure(path + ": " + reason.toStdString());
}

// Staging files are opened without following a symbolic link, and written as new files in
// place of whatever was at the path: a planted link, hard or symbolic, never lets anything be
// read from or written to anywhere else.
void openFile(QFile& file, const std::string& path, QIODevice::OpenMode mode)
{
#ifdef Q_OS_UNIX
    const bool writing = mode & QIODevice::WriteOnly;
    if (writing && ::unlink(path.c_str()) != 0 && errno != ENOENT)
        throw fileFailure(path, QString::fromLocal8Bit(std::strerror(errno)));
    const int flags = writing ? O_WRONLY | O_CREAT | O_EXCL : O_RDONLY;
    const int fd = ::open(path.c_str(), flags | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (fd < 0)
        throw fileFailure(path, QString::fromLocal8Bit(std::strerror(errno)));
    if (!file.open(fd, mode, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        throw fileFailure(path, file.errorString());
    }
#else
    file.setFileName(QString::fromStdString(path));
    if (mode & QIODevice::WriteOnly)
        mode |= QIODevice::Truncate;
    if (!file.open(mode))
        throw fileFailure(path, file.errorString());
#endif
}

} // namespace

void QtFiles::writeWhole(const std::string& path, std::string_view bytes)
{
    QFile file;
    openFile(file, path, QIODevice::WriteOnly | QIODevice::Unbuffered); // no copy of a whole file in a buffer
    if (file.write(bytes.data(), static_cast<qint64>(bytes.size())) != static_cast<qint64>(bytes.size())
        || !file.flush())
        throw fileFailure(path, file.errorString());
}

Bytes QtFiles::readWhole(const std::string& path) const
{
    QFile file;
    openFile(file, path, QIODevice::ReadOnly);
    // Read straight into a buffer of the file's size, with no pass to fill it first.
    const auto size = static_cast<std::size_t>(file.size());
    std::shared_ptr<char[]> buffer(new char[size == 0 ? 1 : size]);
    const qint64 read = file.read(buffer.get(), static_cast<qint64>(size));
    if (read < 0)
        throw fileFailure(path, file.errorString());
    const std::string_view view(buffer.get(), static_cast<std::size_t>(read));
    return Bytes(std::shared_ptr<const void>(buffer, buffer.get()), view);
}

void QtFiles::remove(const std::string& path)
{
    QFile file(QString::fromStdString(path));
    if (!file.remove())
        throw fileFailure(path, file.errorString());
}

} // namespace quillmere::platform
