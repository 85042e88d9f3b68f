#pragma once

#include <Qt>

// How a grid's body cell is painted, told by its model under kCellPaintRole and carried out by
// the one shared cell painter (ui/GridCellDelegate). It lives below both: the models in the
// plain folders must not know the widgets, and the painter must not know the protocol.
enum class CellPaint : int {
    GridOwn = 0,   // the grid's own drawing, its current-cell highlight included
    Window = 1,    // filled with the window colour, the text at (2, 2)
    Highlight = 2, // filled with the active-caption colour, the text at (2, 2)
};

constexpr int kCellPaintRole = Qt::UserRole + 1;
