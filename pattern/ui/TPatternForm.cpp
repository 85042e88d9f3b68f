#include "TPatternForm.h"

#include "Fonts.h"
#include "NumberBox.h"
#include "NumberSelectGroup.h"
#include "PatternTable.h"
#include "PatternTexts.h"
#include "PatternValues.h"
#include "TPattern_List.h"
#include "UpDownArrows.h"

#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

TPatternForm::TPatternForm(PatternValues &values, TPattern_List &list, QWidget *parent)
    : QWidget(parent), m_list(list)
{
    setObjectName(QStringLiteral("Pattern"));
    setWindowTitle(QStringLiteral("Pattern"));
    setFont(arialFont(16));

    m_groupBox1 = new NumberSelectGroup(
        {QStringLiteral("Pattern"), QStringLiteral("PatternComboBox3"), QStringLiteral("PatternIndexName"),
         QStringLiteral("ShowButton1"), QStringLiteral("Run_Pattern")},
        static_cast<int>(PatternTable.size()), values.currentPatternIndex,
        [this](int index) { ShowPattern(index); }, this);
    m_groupBox1->setFixedHeight(84);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(12, 12, 12, 12);
    layout->addWidget(m_groupBox1);
    layout->addStretch();

    NumberBox &box = m_groupBox1->numberBox();
    connect(&box, &NumberBox::changed, this, &TPatternForm::PatternComboBox3Change);
    connect(&box, &NumberBox::keyDown, this, &TPatternForm::PatternComboBox3KeyDown);
    UpDownArrows &upDown1 = m_groupBox1->spinner();
    connect(&upDown1, &UpDownArrows::upClicked, this, [this] { UpDown1ChangingEx(true); });
    connect(&upDown1, &UpDownArrows::downClicked, this, [this] { UpDown1ChangingEx(false); });
    connect(&m_groupBox1->showButton(), &QPushButton::clicked, this, &TPatternForm::ShowButton1Click);
    connect(&m_groupBox1->runButton(), &QPushButton::clicked, this, &TPatternForm::Run_PatternClick);

    // FormCreate, then the list and its first item.
    m_groupBox1->open();
}

void TPatternForm::ShowPattern(int index)
{
    if (index < 0 || index >= static_cast<int>(PatternTable.size()))
        return;
    NumberSelectGroup::writeText(m_groupBox1->numberBox(), patternNumberText(index));
    NumberSelectGroup::writeText(m_groupBox1->nameBox(), patternNameText(index));
}

void TPatternForm::FormActivate()
{
    m_groupBox1->activate();
}

void TPatternForm::PatternComboBox3Change()
{
    m_groupBox1->showSelected();
}

void TPatternForm::PatternComboBox3KeyDown(int key)
{
    m_groupBox1->stepSelection(key);
}

void TPatternForm::UpDown1ChangingEx(bool up)
{
    m_groupBox1->spin(up);
}

void TPatternForm::ShowButton1Click()
{
    m_list.showList();
}

void TPatternForm::Run_PatternClick()
{
    emit linkRequested({LinkRequest::Kind::Start, Operation::PTIX, {}});
}
