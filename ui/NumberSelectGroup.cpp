#include "NumberSelectGroup.h"

#include "NumberBox.h"
#include "UpDownArrows.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace {
constexpr int kRowTop = 36;
constexpr int kRowHeight = 26;
constexpr int kButtonWidth = 130;
constexpr int kButtonHeight = 32;
constexpr int kRightMargin = 20;
constexpr int kButtonGap = 14;
} // namespace

NumberSelectGroup::NumberSelectGroup(const Names &names, int entryCount, std::uint8_t &current,
                                     std::function<void(int)> show, QWidget *parent)
    : QGroupBox(names.noun + QStringLiteral(" No. Select"), parent), m_count(entryCount), m_current(current),
      m_show(std::move(show))
{
    setObjectName(QStringLiteral("GroupBox1"));
    m_label = new QLabel(names.noun + QStringLiteral(" No."), this);
    m_label->setObjectName(QStringLiteral("Label1"));
    const int labelWidth = m_label->sizeHint().width();
    m_label->setGeometry(14, kRowTop, labelWidth, kRowHeight);
    const int boxLeft = 14 + labelWidth + 6;
    m_numberBox = new NumberBox(this);
    m_numberBox->setObjectName(names.numberBox);
    m_numberBox->setGeometry(boxLeft, kRowTop, 44, kRowHeight);
    m_label->setBuddy(m_numberBox);
    m_spinner = new UpDownArrows(this);
    m_spinner->setObjectName(QStringLiteral("UpDown1"));
    m_spinner->setGeometry(boxLeft + 45, kRowTop, 17, kRowHeight);
    m_spinner->setAccessibleName(names.noun + QStringLiteral(" No. up or down"));
    m_nameBox = new QLineEdit(this);
    m_nameBox->setObjectName(names.nameBox);
    m_nameBox->setGeometry(boxLeft + 76, kRowTop, 176, kRowHeight);
    m_nameBox->setReadOnly(true);
    m_nameBox->setAccessibleName(names.noun + QStringLiteral(" name"));
    m_showButton = new QPushButton(QStringLiteral("Show List"), this);
    m_showButton->setObjectName(names.showButton);
    m_runButton = new QPushButton(QStringLiteral("Run ") + names.noun, this);
    m_runButton->setObjectName(names.runButton);

    QStringList numbers;
    for (int number = 1; number <= entryCount; ++number)
        numbers << QString::number(number);
    m_numberBox->setItems(numbers);
}

void NumberSelectGroup::resizeEvent(QResizeEvent *event)
{
    QGroupBox::resizeEvent(event);
    // The buttons keep to the right edge, whatever the window's width.
    const int top = kRowTop - (kButtonHeight - kRowHeight) / 2;
    const int runLeft = width() - kRightMargin - kButtonWidth;
    m_runButton->setGeometry(runLeft, top, kButtonWidth, kButtonHeight);
    m_showButton->setGeometry(runLeft - kButtonGap - kButtonWidth, top, kButtonWidth, kButtonHeight);
}

void NumberSelectGroup::writeText(QLineEdit &edit, const QString &text)
{
    if (edit.text() != text)
        edit.setText(text);
}

void NumberSelectGroup::open()
{
    m_numberBox->setItemIndex(0);
    m_show(0);
    m_current = 0;
}

void NumberSelectGroup::activate()
{
    m_numberBox->setItemIndex(m_current);
    m_show(m_current);
}

void NumberSelectGroup::showSelected()
{
    const int selected = m_numberBox->itemIndex();
    if (selected >= 0)
        choose(selected);
}

void NumberSelectGroup::stepSelection(int key)
{
    const int present = m_numberBox->itemIndex();
    if (key == Qt::Key_Up)
        m_numberBox->setItemIndex(present + 1);
    else if (key == Qt::Key_Down)
        m_numberBox->setItemIndex(present - 1);
}

void NumberSelectGroup::choose(int index)
{
    m_show(index);
    m_current = static_cast<std::uint8_t>(index);
}

void NumberSelectGroup::spin(bool up)
{
    const int present = m_numberBox->itemIndex();
    if (up) {
        if (present == m_count - 1)
            return;
        m_numberBox->setItemIndex(present + 1);
    } else {
        if (present < 1)
            return;
        m_numberBox->setItemIndex(present - 1);
    }
    choose(m_numberBox->itemIndex());
}
