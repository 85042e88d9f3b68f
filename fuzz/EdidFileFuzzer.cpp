// Loading an EDID file of any content and length: the first 256 bytes (or all of a shorter file)
// replace the start of the buffer, nothing else changes, and a file is never refused for what
// it holds.
#include "EdidFile.h"
#include "FileFuzzSupport.h"
#include "WholeFile.h"

#include <algorithm>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const InputFile file(data, size);
    EdidBytes edid{};
    for (std::size_t i = 0; i < edid.size(); ++i)
        edid[i] = static_cast<std::uint8_t>(0xA5 ^ i);
    const EdidBytes before = edid;
    std::string error;
    if (!EdidFile::load(file.path(), edid, error))
        fuzzFail("a regular file was refused");
    const std::size_t taken = std::min<std::size_t>(size, edid.size());
    if (!std::equal(data, data + taken, edid.begin()))
        fuzzFail("the file's bytes did not arrive");
    if (!std::equal(before.begin() + static_cast<std::ptrdiff_t>(taken), before.end(),
                    edid.begin() + static_cast<std::ptrdiff_t>(taken)))
        fuzzFail("bytes past the file's end changed");

    std::vector<std::uint8_t> whole;
    if (!readFileStart(file.path(), 1000, whole, error) ||
        whole.size() != std::min<std::size_t>(size, 1000) || !std::equal(whole.begin(), whole.end(), data))
        fuzzFail("readFileStart did not give the file's start");
    return 0;
}
