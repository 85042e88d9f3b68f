#pragma once

#include <Qt>

class QMdiArea;

// Horizontal: the children one above the other, each as wide as the client area.
// Vertical: side by side, each as tall as the client area. Minimised children keep their place.
void tileSubWindows(QMdiArea &area, Qt::Orientation direction);
