#include "EdidCellValidator.h"

#include "EdidHex.h"

QValidator::State EdidCellValidator::validate(QString &input, int &) const
{
    const std::optional<QString> cell = EdidHex::acceptedCellText(input);
    if (!cell)
        return Invalid;
    input = *cell;
    return Acceptable;
}
