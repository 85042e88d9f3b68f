#include "WholeFile.h"

#include "FileOwnership.h"
#include "NativeFile.h"
#include "RegularFile.h"

#include <cstdio>
#include <random>

namespace {

// The folder a file name is in, as the name gives it.
std::string folderOf(const std::string &name)
{
    const std::size_t slash = name.rfind('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? "/" : name.substr(0, slash);
}

// The new file, created beside the target under a name nobody else has.
bool createBeside(const std::string &target, NativeFile &file, std::string &temporary)
{
    std::random_device random;
    for (int attempt = 0; attempt < 100; ++attempt) {
        char suffix[16];
        std::snprintf(suffix, sizeof suffix, ".%08x", static_cast<unsigned>(random()));
        temporary = target + suffix;
        if (file.open(temporary, NativeFile::Access::CreateNew))
            return true;
        if (NativeFile::kindOf(temporary) == FileKind::Missing)
            return false; // not a clash of names: the folder refuses
    }
    return false;
}

// The new file written and, with commit, renamed over the target; without, removed again.
bool replace(const std::string &name, const std::uint8_t *data, std::size_t size, bool commit,
             std::string &error)
{
    const auto fail = [&](const std::string &reason) {
        error = name + ": " + reason;
        return false;
    };
    const std::string target = NativeFile::linkTarget(name);
    std::string why;
    if (!RegularFile::mayTakeThePlaceOf(target, why))
        return fail(why);
    const std::string folder = folderOf(target);
    if (NativeFile::kindOf(target) == FileKind::Missing && NativeFile::kindOf(folder) != FileKind::Folder)
        return fail("the folder " + folder + " does not exist");
    const FileOwnership ownership(target);
    if (!ownership.mayBeReplaced(why))
        return fail(why);
    NativeFile file;
    std::string temporary;
    if (!createBeside(target, file, temporary))
        return fail("cannot create a file in " + folder + " (" + file.error() + ")");
    const auto abandon = [&](const std::string &reason) {
        file.close();
        NativeFile::remove(temporary);
        return fail(reason);
    };
    if (!file.keep(ownership))
        return abandon(file.error());
    if (!file.writeAll(data, size) || !file.sync())
        return abandon("cannot write it (" + file.error() + ")");
    file.close();
    if (!commit) {
        NativeFile::remove(temporary);
        return true;
    }
    if (!NativeFile::rename(temporary, target, why)) {
        NativeFile::remove(temporary);
        return fail("cannot put it in place (" + why + ")");
    }
    return true;
}

} // namespace

bool readFileStart(const std::string &name, std::size_t maxBytes, std::vector<std::uint8_t> &bytes,
                   std::string &error)
{
    RegularFile file;
    if (file.open(name, RegularFile::Mode::Read) && file.readUpTo(maxBytes, bytes))
        return true;
    error = file.error();
    return false;
}

bool readBoundedFile(const std::string &name, std::size_t maxBytes, const std::string &limit,
                     std::vector<std::uint8_t> &bytes, std::string &error)
{
    RegularFile file;
    if (!file.open(name, RegularFile::Mode::Read)) {
        error = file.error();
        return false;
    }
    if (file.size() > maxBytes) {
        error = name + ": " + std::to_string(file.size()) + " bytes, more than " + limit;
        return false;
    }
    // One byte more tells a file that grew past the bound since it was opened.
    if (!file.readUpTo(maxBytes + 1, bytes)) {
        error = file.error();
        return false;
    }
    if (bytes.size() > maxBytes) {
        error = name + ": more than " + limit;
        return false;
    }
    return true;
}

bool readStandardInput(std::size_t maxBytes, std::vector<std::uint8_t> &bytes, std::string &error)
{
    NativeFile in;
    in.openStandardInput();
    if (in.readUpTo(maxBytes, bytes))
        return true;
    error = "standard input: " + in.error();
    return false;
}

bool replaceFile(const std::string &name, const std::uint8_t *data, std::size_t size, std::string &error)
{
    return replace(name, data, size, true, error);
}

bool canReplaceFile(const std::string &name, std::size_t size, std::string &error)
{
    const std::vector<std::uint8_t> probe(size);
    return replace(name, probe.data(), probe.size(), false, error);
}
