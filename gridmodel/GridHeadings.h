#pragma once

#include <QString>
#include <QVariant>

#include <cstddef>
#include <vector>

// The heading row of a read-only grid: the text of column section, or nothing (the view then
// shows its own) for anything else.
[[nodiscard]] inline QVariant gridHeading(const std::vector<QString> &headings, int section,
                                          Qt::Orientation orientation, int role)
{
    if (orientation == Qt::Horizontal && role == Qt::DisplayRole && section >= 0 &&
        section < static_cast<int>(headings.size()))
        return headings[static_cast<std::size_t>(section)];
    return {};
}
