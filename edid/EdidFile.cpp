#include "EdidFile.h"

#include "WholeFile.h"

#include <algorithm>
#include <vector>

namespace EdidFile {

bool load(const std::string &name, EdidBytes &edid, std::string &error)
{
    std::vector<std::uint8_t> read;
    if (!readFileStart(name, edid.size(), read, error))
        return false;
    std::copy(read.begin(), read.end(), edid.begin());
    return true;
}

bool save(const std::string &name, const EdidBytes &edid, std::string &error)
{
    return replaceFile(name, edid.data(), edid.size(), error);
}

bool canSave(const std::string &name, std::string &error)
{
    return canReplaceFile(name, kEdidSize, error);
}

} // namespace EdidFile
