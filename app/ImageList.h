#pragma once

#include <QIcon>

#include <map>

// The pictures of the main menu and the tool bar, drawn once at start-up. The numbers are the
// positions the menu and tool bar refer to.
class ImageList {
public:
    static constexpr int Open = 7;
    static constexpr int SaveAs = 8;
    static constexpr int TileHorizontally = 15;
    static constexpr int TileVertically = 16;
    static constexpr int Cascade = 17;
    static constexpr int TimingRun = 18;
    static constexpr int PatternRun = 19;
    static constexpr int Connect = 20;
    static constexpr int Disconnect = 21;

    ImageList();

    // An empty icon for a position that holds no picture.
    [[nodiscard]] QIcon icon(int index) const;
    // The window icon: a small screen showing colour bars.
    [[nodiscard]] static QIcon programIcon();

private:
    std::map<int, QIcon> m_icons;
};
