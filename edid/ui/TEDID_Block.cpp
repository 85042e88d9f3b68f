#include "TEDID_Block.h"

#include "EdidCellValidator.h"
#include "EdidGridModel.h"
#include "EdidHex.h"
#include "EdidValues.h"
#include "Fonts.h"
#include "MessageBoxes.h"
#include "OuterGeometry.h"
#include "StringGrid.h"

#include <QPushButton>

#include <vector>

namespace {
constexpr int kCellWidth = 34;
constexpr int kCellHeight = 21;
constexpr int kCellDigits = 2;
} // namespace

TEDID_Block::TEDID_Block(EdidValues &values, QWidget *parent) : ToolDialog(parent), m_values(values)
{
    setObjectName(QStringLiteral("EDID_Block"));
    setWindowTitle(QStringLiteral("EDID Memory"));
    new OuterGeometry(this, QSize(625, 467), OuterGeometry::Sizing::Resizable, QPoint(237, 157));

    // FormCreate: the headings are the model's.
    m_model = new EdidGridModel(this);
    m_validator = new EdidCellValidator(this);
    m_stringGrid1 = new StringGrid(this);
    m_stringGrid1->setObjectName(QStringLiteral("StringGrid1"));
    m_stringGrid1->setFont(arialFont(13));
    m_stringGrid1->setModel(m_model);
    m_stringGrid1->setHeadingColumn(kCellWidth);
    m_stringGrid1->setColumnWidths(std::vector<int>(EdidGridModel::kSide, kCellWidth));
    m_stringGrid1->setRowHeight(kCellHeight);
    m_stringGrid1->setSelectionMode(QAbstractItemView::ContiguousSelection);
    // Tab leaves the grid for the OK button rather than walking 256 cells.
    m_stringGrid1->setTabKeyNavigation(false);
    m_stringGrid1->setCellEditing(kCellDigits, m_validator);
    m_stringGrid1->setCharacterFilter([this](QChar typed) { return StringGrid1KeyPress(typed); });
    m_stringGrid1->setAccessibleName(windowTitle());
    m_stringGrid1->setGeometry(8, 8, 601, 385);

    m_button1 = new QPushButton(QStringLiteral("OK"), this);
    m_button1->setObjectName(QStringLiteral("Button1"));
    m_button1->setFont(arialFont(16));
    m_button1->setAccessibleName(m_button1->text());
    // Enter belongs to the cell editor, not to OK.
    m_button1->setAutoDefault(false);
    m_button1->setGeometry(504, 400, 81, 25);

    connect(m_stringGrid1, &StringGrid::editorOpened, this, &TEDID_Block::StringGrid1GetEditText);
    connect(m_stringGrid1, &StringGrid::keyPressed, this, &TEDID_Block::StringGrid1KeyDown);
    connect(m_stringGrid1, &StringGrid::mousePressed, this, &TEDID_Block::StringGrid1MouseDown);
    connect(m_button1, &QPushButton::clicked, this, &TEDID_Block::Button1Click);
}

void TEDID_Block::FormShow()
{
    m_model->load(m_values.EdidBuffer);
    m_stringGrid1->setCurrentCell(1, 1);
    m_stringGrid1->setFocus();
}

void TEDID_Block::StringGrid1GetEditText()
{
    m_editStart = true;
}

QChar TEDID_Block::StringGrid1KeyPress(QChar typed)
{
    const bool editStart = m_editStart;
    m_editStart = false;
    const int row = m_stringGrid1->currentRow();
    const int column = m_stringGrid1->currentColumn();
    return EdidHex::filterTypedCharacter(typed, editStart, m_model->cellText(row - 1, column - 1));
}

void TEDID_Block::StringGrid1KeyDown(int key)
{
    switch (key) {
    case Qt::Key_Left:
    case Qt::Key_Up:
    case Qt::Key_Right:
    case Qt::Key_Down: m_model->normalise(); break;
    default: break;
    }
}

void TEDID_Block::StringGrid1MouseDown()
{
    m_model->normalise();
}

void TEDID_Block::Button1Click()
{
    // All or nothing: a cell that does not read leaves EdidBuffer as it was.
    if (QString error; !m_model->store(m_values.EdidBuffer, error)) {
        showProgramMessage(this, error, QMessageBox::Critical);
        return;
    }
    accept();
}
