#include "EdidFile.h"

#include <filesystem>
#include <fstream>
#include <system_error>

namespace EdidFile {

bool load(const std::string &path, EdidBytes &edid)
{
    std::error_code ec;
    if (std::filesystem::is_directory(path, ec))
        return false;
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return false;
    EdidBytes read = edid;
    in.read(reinterpret_cast<char *>(read.data()), static_cast<std::streamsize>(read.size()));
    if (in.bad())
        return false;
    edid = read;
    return true;
}

bool save(const std::string &path, const EdidBytes &edid)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    if (!out)
        return false;
    out.write(reinterpret_cast<const char *>(edid.data()), static_cast<std::streamsize>(edid.size()));
    out.close();
    return !out.fail();
}

} // namespace EdidFile
