#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// Files read and written whole, by name as given (EDID images, program files). Every function
// that can fail returns false with the reason in error, as "NAME: reason".

// The first maxBytes of a regular file (all of a shorter one), read in full.
[[nodiscard]] bool readFileStart(const std::string &name, std::size_t maxBytes,
                                 std::vector<std::uint8_t> &bytes, std::string &error);

// A regular file whole, refused when it holds more than maxBytes: "NAME: N bytes, more than
// LIMIT", or "NAME: more than LIMIT" for one that grew past it while read.
[[nodiscard]] bool readBoundedFile(const std::string &name, std::size_t maxBytes, const std::string &limit,
                                   std::vector<std::uint8_t> &bytes, std::string &error);

// Standard input to its end, or its first maxBytes.
[[nodiscard]] bool readStandardInput(std::size_t maxBytes, std::vector<std::uint8_t> &bytes,
                                     std::string &error);

// Writes the bytes to a new file beside the one name leads to and renames it over that one, so
// that a failure at any point leaves an existing file as it was. The new file keeps the owner,
// group and mode of the one it replaces. Fails when the file cannot be created, written or put in
// place; for an existing target that is not a regular file (which would otherwise be replaced by
// one); and for one with several hard links, or whose owner cannot be kept.
[[nodiscard]] bool replaceFile(const std::string &name, const std::uint8_t *data, std::size_t size,
                               std::string &error);

// Everything replaceFile does with size bytes except putting the file in place: whether a
// replacement would succeed now, asked before anything is worth writing.
[[nodiscard]] bool canReplaceFile(const std::string &name, std::size_t size, std::string &error);
