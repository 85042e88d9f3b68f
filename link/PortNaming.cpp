#include "PortNaming.h"

#include "PortAccess.h"
#include "ShownName.h"

#include <QFile>
#include <QtGlobal>

#ifdef Q_OS_LINUX
#include <cerrno>
#include <climits>
#include <grp.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <vector>
#endif

PortName portNameFromBytes(const QByteArray &bytes)
{
    const QString decoded = QFile::decodeName(bytes);
    if (QFile::encodeName(decoded) == bytes)
        return {decoded, {}};
    return {QString::fromStdString(shownName(bytes.toStdString())),
            QStringLiteral("the name is not valid UTF-8; refused, so that no other device is opened in its "
                           "place (a symbolic link with a UTF-8 name will do)")};
}

PortName comPortName(int comNumber)
{
    const QByteArray variable = "SGX100_COM" + QByteArray::number(comNumber);
    const QByteArray mapped = qgetenv(variable.constData());
    if (!mapped.isEmpty())
        return portNameFromBytes(mapped);
#ifdef Q_OS_WIN
    return {QStringLiteral("COM%1").arg(comNumber), {}};
#else
    return {QStringLiteral("/dev/ttyS%1").arg(comNumber - 1), {}};
#endif
}

bool nameTooLong(const QString &device)
{
#ifdef Q_OS_LINUX
    struct stat info {};
    return ::stat(QFile::encodeName(device).constData(), &info) != 0 && errno == ENAMETOOLONG;
#else
    Q_UNUSED(device);
    return false;
#endif
}

bool lockFileNameTooLong(const QString &device)
{
#ifdef Q_OS_LINUX
    const QString dev = QStringLiteral("/dev/");
    const QString below = device.startsWith(dev) ? device.mid(dev.size()) : device;
    return QByteArray("LCK..").size() + QFile::encodeName(below).size() > NAME_MAX;
#else
    Q_UNUSED(device);
    return false;
#endif
}

#ifdef Q_OS_LINUX
namespace {

std::string userName(uid_t uid)
{
    std::vector<char> buffer(16384);
    passwd entry{};
    passwd *found = nullptr;
    if (::getpwuid_r(uid, &entry, buffer.data(), buffer.size(), &found) == 0 && found != nullptr)
        return found->pw_name;
    return std::to_string(uid);
}

std::string groupName(gid_t gid)
{
    std::vector<char> buffer(16384);
    group entry{};
    group *found = nullptr;
    if (::getgrgid_r(gid, &entry, buffer.data(), buffer.size(), &found) == 0 && found != nullptr)
        return found->gr_name;
    return std::to_string(gid);
}

// The groups the group database lists the user in now, which a process started before the
// user joined one does not have.
std::vector<unsigned> listedGroups()
{
    std::vector<char> buffer(16384);
    passwd entry{};
    passwd *found = nullptr;
    if (::getpwuid_r(::getuid(), &entry, buffer.data(), buffer.size(), &found) != 0 || found == nullptr)
        return {};
    int count = 64;
    std::vector<gid_t> groups(static_cast<std::size_t>(count));
    if (::getgrouplist(found->pw_name, found->pw_gid, groups.data(), &count) < 0) {
        groups.resize(static_cast<std::size_t>(count));
        if (::getgrouplist(found->pw_name, found->pw_gid, groups.data(), &count) < 0)
            return {};
    }
    return {groups.begin(), groups.begin() + count};
}

} // namespace
#endif

std::string permissionAdviceFor(const QString &device)
{
#ifdef Q_OS_LINUX
    struct stat info {};
    if (::stat(QFile::encodeName(device).constData(), &info) != 0)
        return "ask the administrator for access to the port";
    ProcessAccess process;
    process.uid = ::geteuid();
    process.groups.push_back(::getegid());
    const int count = ::getgroups(0, nullptr);
    std::vector<gid_t> supplementary(static_cast<std::size_t>(std::max(count, 0)));
    if (count > 0 && ::getgroups(count, supplementary.data()) == count)
        process.groups.insert(process.groups.end(), supplementary.begin(), supplementary.end());
    process.listedGroups = listedGroups();
    return permissionAdvice(
        {info.st_uid, info.st_gid, info.st_mode & 07777u, userName(info.st_uid), groupName(info.st_gid)},
        process);
#else
    Q_UNUSED(device);
    return "ask the administrator for access to the port";
#endif
}
