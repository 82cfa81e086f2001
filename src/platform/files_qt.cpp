#include "platform/files_qt.h"

#include <QFile>
#include <QString>

#include "platform/failure.h"

namespace quillmere::platform {

namespace {
Failure fileFailure(const std::string& path, const QFile& file)
{
    return Failure(path + ": " + file.errorString().toStdString());
}
} // namespace

void QtFiles::writeWhole(const std::string& path, std::string_view bytes)
{
    QFile file(QString::fromStdString(path));
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        throw fileFailure(path, file);
    if (file.write(bytes.data(), static_cast<qint64>(bytes.size())) != static_cast<qint64>(bytes.size())
        || !file.flush())
        throw fileFailure(path, file);
}

std::string QtFiles::readWhole(const std::string& path) const
{
    QFile file(QString::fromStdString(path));
    if (!file.open(QIODevice::ReadOnly))
        throw fileFailure(path, file);
    std::string bytes;
    bytes.resize(static_cast<std::size_t>(file.size()));
    const qint64 read = file.read(bytes.data(), static_cast<qint64>(bytes.size()));
    if (read < 0)
        throw fileFailure(path, file);
    bytes.resize(static_cast<std::size_t>(read));
    return bytes;
}

void QtFiles::remove(const std::string& path)
{
    QFile file(QString::fromStdString(path));
    if (!file.remove())
        throw fileFailure(path, file);
}

} // namespace quillmere::platform
