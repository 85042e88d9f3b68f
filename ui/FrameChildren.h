#pragma once

#include <QString>

class QMdiArea;
class QWidget;

// Gives the focus to the frame's child window captioned exactly caption (the last one in the
// frame's order) and returns its contents; null when there is none.
QWidget *focusChildWindow(QMdiArea &frame, const QString &caption);
