#include "FileOwnership.h"

// Where files have no Unix owner, mode or link count, the file system's own rules apply to the
// new file, and there is nothing to carry over.
FileOwnership::FileOwnership(const std::string &) {}

bool FileOwnership::mayBeReplaced(std::string &) const
{
    return m_links <= 1;
}
