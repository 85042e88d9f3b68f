#include "NameLimits.h"

#include <cerrno>
#include <climits>

#include <sys/stat.h>

bool nameTooLongForSystem(const std::string &name)
{
    struct stat info {};
    return ::stat(name.c_str(), &info) != 0 && errno == ENAMETOOLONG;
}

std::size_t longestEntryName()
{
    return NAME_MAX;
}
