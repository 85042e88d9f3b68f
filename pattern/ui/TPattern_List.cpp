#include "TPattern_List.h"

#include "FrameChildren.h"
#include "OuterGeometry.h"
#include "PatternGridModels.h"
#include "PatternTable.h"
#include "SharedValues.h"
#include "StringGrid.h"
#include "TPatternForm.h"

#include <QVBoxLayout>

TPattern_List::TPattern_List(SharedValues &values, QMdiArea &frame, QWidget *parent)
    : QWidget(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowCloseButtonHint),
      m_values(values), m_frame(frame)
{
    setObjectName(QStringLiteral("Pattern_List"));
    setWindowTitle(QStringLiteral("List of patterns"));
    new OuterGeometry(this, QSize(338, 474), OuterGeometry::Sizing::Fixed);

    m_model = makePatternListModel(this);
    m_stringGrid2 = new StringGrid(this);
    m_stringGrid2->setObjectName(QStringLiteral("StringGrid2"));
    QFont arial(QStringLiteral("Arial"));
    arial.setPixelSize(16);
    m_stringGrid2->setFont(arial);
    m_stringGrid2->setModel(m_model);
    m_stringGrid2->setColumnWidths({125, 125});
    m_stringGrid2->setRowHeight(24);
    m_stringGrid2->setAccessibleName(windowTitle());
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_stringGrid2);

    connect(m_stringGrid2, &StringGrid::mousePressed, this, &TPattern_List::StringGrid2MouseDown);
    connect(m_stringGrid2, &StringGrid::doubleClickedGrid, this, &TPattern_List::StringGrid2DblClick);
}

void TPattern_List::showList()
{
    show();
    raise();
    activateWindow();
}

void TPattern_List::StringGrid2MouseDown()
{
    m_model->setHighlightRow(m_stringGrid2->currentRow());
}

void TPattern_List::StringGrid2DblClick()
{
    const int index = m_stringGrid2->currentRow() - 1;
    if (index < 0 || index >= static_cast<int>(PatternTable.size()))
        return;
    m_values.currentPatternIndex = static_cast<std::uint8_t>(index);
    hide();
    // Its activation shows the pick; an already active child is not activated again, so the
    // activation is run here.
    if (auto *pattern = qobject_cast<TPatternForm *>(focusChildWindow(m_frame, QStringLiteral("Pattern"))))
        pattern->FormActivate();
}
