#include "Accounts.h"

#include <algorithm>

#include <grp.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// The user database's entry for uid, its strings kept in buffer; null when there is none.
const passwd *userEntry(uid_t uid, passwd &entry, std::vector<char> &buffer)
{
    buffer.resize(16384);
    passwd *found = nullptr;
    return ::getpwuid_r(uid, &entry, buffer.data(), buffer.size(), &found) == 0 ? found : nullptr;
}

std::string userName(uid_t uid)
{
    std::vector<char> buffer;
    passwd entry{};
    const passwd *found = userEntry(uid, entry, buffer);
    return found != nullptr ? found->pw_name : std::to_string(uid);
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
    std::vector<char> buffer;
    passwd entry{};
    const passwd *found = userEntry(::getuid(), entry, buffer);
    if (found == nullptr)
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

std::optional<DeviceAccess> deviceAccess(const std::string &name)
{
    struct stat info {};
    if (::stat(name.c_str(), &info) != 0)
        return std::nullopt;
    return DeviceAccess{info.st_uid, info.st_gid, info.st_mode & 07777u, userName(info.st_uid),
                        groupName(info.st_gid)};
}

ProcessAccess processAccess()
{
    ProcessAccess process;
    process.uid = ::geteuid();
    process.groups.push_back(::getegid());
    const int count = ::getgroups(0, nullptr);
    std::vector<gid_t> supplementary(static_cast<std::size_t>(std::max(count, 0)));
    if (count > 0 && ::getgroups(count, supplementary.data()) == count)
        process.groups.insert(process.groups.end(), supplementary.begin(), supplementary.end());
    process.listedGroups = listedGroups();
    return process;
}
