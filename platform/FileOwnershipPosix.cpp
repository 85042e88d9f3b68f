#include "FileOwnership.h"

#include <sys/stat.h>

FileOwnership::FileOwnership(const std::string &name)
{
    struct stat info {};
    if (::stat(name.c_str(), &info) != 0 || !S_ISREG(info.st_mode))
        return;
    m_exists = true;
    m_owner = info.st_uid;
    m_group = info.st_gid;
    m_mode = info.st_mode & 07777;
    m_links = static_cast<unsigned>(info.st_nlink);
}

bool FileOwnership::mayBeReplaced(std::string &why) const
{
    if (m_links <= 1)
        return true;
    why = "it has " + std::to_string(m_links) + " hard links, which replacing it would split";
    return false;
}
