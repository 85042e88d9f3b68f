#pragma once

#include <string>

// What a file replaced by a new one (written beside it, then renamed over it) must carry over:
// its owner, group and mode. Read when constructed, from the file a symbolic link leads to, as
// that is the file replaced. A file with several hard links cannot be replaced without splitting
// them; one whose owner this process may not give away cannot keep it (NativeFile::keep fails).
// Either is refused, so that a save never quietly changes who owns a file or what it is linked to.
class FileOwnership {
public:
    explicit FileOwnership(const std::string &name);

    // Whether the file may be replaced (or does not exist yet); why not when it may not.
    [[nodiscard]] bool mayBeReplaced(std::string &why) const;

    // Whether there is a file whose owner, group and mode are to be kept.
    [[nodiscard]] bool exists() const { return m_exists; }
    [[nodiscard]] unsigned owner() const { return m_owner; }
    [[nodiscard]] unsigned group() const { return m_group; }
    [[nodiscard]] unsigned mode() const { return m_mode; }

private:
    bool m_exists = false;
    unsigned m_owner = 0;
    unsigned m_group = 0;
    unsigned m_mode = 0;
    unsigned m_links = 1;
};
