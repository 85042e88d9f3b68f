#include "EdidFile.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <algorithm>

namespace EdidFile {

namespace {
QString fromLocal(const std::string &path)
{
    return QFile::decodeName(QByteArray::fromStdString(path));
}
} // namespace

bool readBytes(const QString &path, qint64 maxBytes, std::vector<std::uint8_t> &bytes)
{
    // Decided before opening: opening a pipe for reading would wait for a writer.
    if (!QFileInfo(path).isFile() || maxBytes < 0)
        return false;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Unbuffered) || file.isSequential())
        return false;
    std::vector<std::uint8_t> read(
        static_cast<std::size_t>(std::min(maxBytes, std::max<qint64>(file.size(), 0))));
    qint64 count = 0;
    while (count < maxBytes) {
        if (count == static_cast<qint64>(read.size()))
            read.resize(static_cast<std::size_t>(std::min(maxBytes, count + 4096))); // grew meanwhile
        const qint64 n = file.read(reinterpret_cast<char *>(read.data()) + count,
                                   static_cast<qint64>(read.size()) - count);
        if (n < 0)
            return false;
        if (n == 0)
            break;
        count += n;
    }
    read.resize(static_cast<std::size_t>(count));
    bytes = std::move(read);
    return true;
}

bool writeBytes(const QString &path, const std::uint8_t *data, qint64 size)
{
    const QFileInfo target(path);
    if (target.exists() && !target.isFile())
        return false;
    QSaveFile file(path);
    // Unbuffered: through Qt's write buffer a short write (a full disk) can pass for a whole one
    // and be committed.
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return false;
    if (file.write(reinterpret_cast<const char *>(data), size) != size || file.size() != size) {
        file.cancelWriting();
        return false;
    }
    return file.commit();
}

bool load(const QString &path, EdidBytes &edid)
{
    std::vector<std::uint8_t> read;
    if (!readBytes(path, kEdidSize, read))
        return false;
    std::copy(read.begin(), read.end(), edid.begin());
    return true;
}

bool save(const QString &path, const EdidBytes &edid)
{
    return writeBytes(path, edid.data(), kEdidSize);
}

bool load(const std::string &path, EdidBytes &edid)
{
    return load(fromLocal(path), edid);
}

bool save(const std::string &path, const EdidBytes &edid)
{
    return save(fromLocal(path), edid);
}

} // namespace EdidFile
