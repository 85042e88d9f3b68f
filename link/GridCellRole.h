#pragma once

#include <Qt>

// How a grid's body cell is painted, told by its model under kCellPaintRole and carried out by
// the one shared cell painter. It lives here because every plain folder depends on the link and
// none on the widgets.
enum class CellPaint : int {
    GridOwn = 0,   // the grid's own drawing, its current-cell highlight included
    Window = 1,    // filled with the window colour, the text at (2, 2)
    Highlight = 2, // filled with the active-caption colour, the text at (2, 2)
};

constexpr int kCellPaintRole = Qt::UserRole + 1;
