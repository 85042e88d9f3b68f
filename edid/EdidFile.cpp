#include "EdidFile.h"

#include "FileOwnership.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <algorithm>

namespace EdidFile {

namespace {

Result done()
{
    return {true, {}};
}

Result failed(const QString &reason)
{
    return {false, reason};
}

// Why info cannot be read or replaced as a file, empty when it can.
QString notAFile(const QFileInfo &info)
{
    if (info.isDir())
        return QStringLiteral("a folder, not a file");
    if (!info.isFile())
        return QStringLiteral("not a regular file but a device, pipe or socket");
    return {};
}

// The file written beside the target and renamed over it; with commit false, removed instead.
Result replace(const QString &path, const std::uint8_t *data, qint64 size, bool commit)
{
    const QFileInfo target(path);
    if (target.exists()) {
        if (const QString why = notAFile(target); !why.isEmpty())
            return failed(why);
    } else if (!target.dir().exists()) {
        return failed(QStringLiteral("the folder %1 does not exist").arg(target.dir().path()));
    }
    const FileOwnership ownership(path);
    if (!ownership.refusal().isEmpty())
        return failed(ownership.refusal());
    QSaveFile file(path);
    // Unbuffered: through Qt's write buffer a short write (a full disk) can pass for a whole one
    // and be committed.
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return failed(
            QStringLiteral("cannot create a file in %1 (%2)").arg(target.dir().path(), file.errorString()));
    if (const QString why = ownership.applyTo(file.handle()); !why.isEmpty()) {
        file.cancelWriting();
        return failed(why);
    }
    // Past a short write the next one tells why (a full disk, a size limit).
    qint64 written = 0;
    qint64 n = 0;
    while (written < size &&
           (n = file.write(reinterpret_cast<const char *>(data) + written, size - written)) > 0)
        written += n;
    if (written != size || file.size() != size) {
        const QString why = file.errorString();
        file.cancelWriting();
        return failed(QStringLiteral("cannot write it (%1)").arg(why));
    }
    if (!commit) {
        file.cancelWriting();
        return done();
    }
    if (!file.commit())
        return failed(QStringLiteral("cannot put it in place (%1)").arg(file.errorString()));
    return done();
}

} // namespace

Result readBytes(const QString &path, qint64 maxBytes, std::vector<std::uint8_t> &bytes)
{
    // Decided before opening: opening a pipe for reading would wait for a writer.
    const QFileInfo info(path);
    if (!info.exists())
        return failed(QStringLiteral("no such file"));
    if (const QString why = notAFile(info); !why.isEmpty())
        return failed(why);
    if (maxBytes < 0)
        return failed(QStringLiteral("nothing to read"));
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Unbuffered))
        return failed(file.errorString());
    if (file.isSequential())
        return failed(QStringLiteral("not a regular file"));
    std::vector<std::uint8_t> read(
        static_cast<std::size_t>(std::min(maxBytes, std::max<qint64>(file.size(), 0))));
    qint64 count = 0;
    while (count < maxBytes) {
        if (count == static_cast<qint64>(read.size()))
            read.resize(static_cast<std::size_t>(std::min(maxBytes, count + 4096))); // grew meanwhile
        const qint64 n = file.read(reinterpret_cast<char *>(read.data()) + count,
                                   static_cast<qint64>(read.size()) - count);
        if (n < 0)
            return failed(file.errorString());
        if (n == 0)
            break;
        count += n;
    }
    read.resize(static_cast<std::size_t>(count));
    bytes = std::move(read);
    return done();
}

Result writeBytes(const QString &path, const std::uint8_t *data, qint64 size)
{
    return replace(path, data, size, true);
}

Result load(const QString &path, EdidBytes &edid)
{
    std::vector<std::uint8_t> read;
    Result result = readBytes(path, kEdidSize, read);
    if (result)
        std::copy(read.begin(), read.end(), edid.begin());
    return result;
}

Result save(const QString &path, const EdidBytes &edid)
{
    return writeBytes(path, edid.data(), kEdidSize);
}

Result canSave(const QString &path)
{
    const EdidBytes probe{};
    return replace(path, probe.data(), kEdidSize, false);
}

Result localName(const std::string &argument, QString &path)
{
    const QByteArray raw = QByteArray::fromStdString(argument);
    const QString decoded = QFile::decodeName(raw);
    if (QFile::encodeName(decoded) != raw)
        return failed(QStringLiteral("the name is not valid UTF-8; refused, so that no other file is "
                                     "touched in its place"));
    path = decoded;
    return done();
}

Result load(const std::string &path, EdidBytes &edid)
{
    QString name;
    Result result = localName(path, name);
    return result ? load(name, edid) : result;
}

Result save(const std::string &path, const EdidBytes &edid)
{
    QString name;
    Result result = localName(path, name);
    return result ? save(name, edid) : result;
}

} // namespace EdidFile
