#pragma once

#include <QString>

// What a file replaced by a new one (written beside it, then renamed over it) must carry over:
// its owner, group and mode. Read when constructed, from the file a symbolic link leads to, as
// that is the file replaced. A file with several hard links cannot be replaced without splitting
// them; one whose owner this process may not give away cannot keep it. Either is refused, so
// that a save never quietly changes who owns a file or what it is linked to.
class FileOwnership {
public:
    explicit FileOwnership(const QString &path);

    // Empty when the file may be replaced (or does not exist yet); otherwise why not.
    [[nodiscard]] QString refusal() const { return m_refusal; }
    // Gives the new file, open as fd, the owner, group and mode of the one it replaces.
    // Returns why that could not be done, empty when it was.
    [[nodiscard]] QString applyTo(int fd) const;

private:
    bool m_exists = false;
    unsigned m_owner = 0;
    unsigned m_group = 0;
    unsigned m_mode = 0;
    QString m_refusal;
};
