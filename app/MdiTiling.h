#pragma once

#include <Qt>

class QMdiArea;

// Horizontal: the children one above the other, each as wide as the client area.
// Vertical: side by side, each as tall as the client area. Minimised children keep their place.
void tileSubWindows(QMdiArea &area, Qt::Orientation direction);

// Diagonally from the client area's corner, each child a title bar's height below and right of
// the one before, keeping its own size (cut to the client area when larger), so every title bar
// shows; the most recently active last, on top. Where a title bar would fall outside the client
// area the diagonal starts again at the corner. Minimised children keep their place.
void cascadeSubWindows(QMdiArea &area);
