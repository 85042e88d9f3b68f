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

bool load(const QString &path, EdidBytes &edid)
{
    // Decided before opening: opening a pipe for reading would wait for a writer.
    if (!QFileInfo(path).isFile())
        return false;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Unbuffered) || file.isSequential())
        return false;
    EdidBytes read{};
    qint64 count = 0;
    while (count < kEdidSize) {
        const qint64 n = file.read(reinterpret_cast<char *>(read.data()) + count, kEdidSize - count);
        if (n < 0)
            return false;
        if (n == 0)
            break;
        count += n;
    }
    std::copy_n(read.begin(), count, edid.begin());
    return true;
}

bool save(const QString &path, const EdidBytes &edid)
{
    const QFileInfo target(path);
    if (target.exists() && !target.isFile())
        return false;
    QSaveFile file(path);
    // Unbuffered: through Qt's write buffer a short write (a full disk) can pass for a whole one
    // and be committed.
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return false;
    if (file.write(reinterpret_cast<const char *>(edid.data()), kEdidSize) != kEdidSize ||
        file.size() != kEdidSize) {
        file.cancelWriting();
        return false;
    }
    return file.commit();
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
