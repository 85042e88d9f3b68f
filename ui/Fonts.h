#pragma once

#include <QFont>

// The faces the windows are laid out in, at a size in pixels.
[[nodiscard]] inline QFont arialFont(int pixels)
{
    QFont font(QStringLiteral("Arial"));
    font.setPixelSize(pixels);
    return font;
}
