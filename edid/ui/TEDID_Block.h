#pragma once

#include "ToolDialog.h"

class EdidCellValidator;
class EdidGridModel;
class QPushButton;
class StringGrid;
struct EdidValues;

// "EDID Memory": the 256 bytes of EdidBuffer as a 16 x 16 grid of hexadecimal cells, edited in
// place. Made once at start-up and shown modally by EDID > Memory; each showing starts from
// EdidBuffer, OK stores every cell into it, the close box drops what was typed.
class TEDID_Block : public ToolDialog {
    Q_OBJECT
public:
    explicit TEDID_Block(EdidValues &values, QWidget *parent = nullptr);

    void StringGrid1GetEditText();
    [[nodiscard]] QChar StringGrid1KeyPress(QChar typed);
    void StringGrid1KeyDown(int key);
    void StringGrid1MouseDown();
    void Button1Click();

    [[nodiscard]] EdidGridModel &model() { return *m_model; }

protected:
    void FormShow() override;

private:
    EdidValues &m_values;
    EdidGridModel *m_model = nullptr;
    EdidCellValidator *m_validator = nullptr;
    StringGrid *m_stringGrid1 = nullptr;
    QPushButton *m_button1 = nullptr;
    // Set when the cell editor opens, consumed by the next typed character.
    bool m_editStart = false;
};
