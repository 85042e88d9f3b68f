#include "NumberBox.h"

#include <QKeyEvent>

NumberBox::NumberBox(QWidget *parent) : QLineEdit(parent)
{
    setMaxLength(2);
    connect(this, &QLineEdit::textEdited, this, [this](const QString &text) {
        m_index = firstPrefixMatch(m_items, text);
        emit changed();
    });
}

void NumberBox::setItems(const QStringList &items)
{
    m_items = items;
    m_index = -1;
}

void NumberBox::setItemIndex(int index)
{
    if (index < 0 || index >= m_items.size()) {
        m_index = -1;
        return;
    }
    m_index = index;
    setText(m_items[index]);
}

int NumberBox::firstPrefixMatch(const QStringList &items, const QString &text)
{
    if (text.isEmpty())
        return -1;
    for (int i = 0; i < items.size(); ++i)
        if (items[i].startsWith(text))
            return i;
    return -1;
}

void NumberBox::keyPressEvent(QKeyEvent *event)
{
    const int key = event->key();
    if (key == Qt::Key_Up || key == Qt::Key_Down) {
        emit keyDown(key);
        emit changed();
        event->accept();
        return;
    }
    emit keyDown(key);
    QLineEdit::keyPressEvent(event);
}
