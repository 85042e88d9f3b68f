#pragma once

#include <QString>

// What the pattern windows show of entry index: the decimal number and the name, its trailing
// spaces included. Empty for an index outside the table.
[[nodiscard]] QString patternNumberText(int index);
[[nodiscard]] QString patternNameText(int index);
