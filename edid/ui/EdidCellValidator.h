#pragma once

#include <QValidator>

// Holds a cell editor of the EDID Memory grid to what a cell may hold, whatever brings the text
// in (keys, a paste, a drop, an input method): at most two hexadecimal digits, raised to upper
// case. A change that would leave anything else is undone.
class EdidCellValidator : public QValidator {
    Q_OBJECT
public:
    using QValidator::QValidator;

    State validate(QString &input, int &pos) const override;
};
