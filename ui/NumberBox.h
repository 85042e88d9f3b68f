#pragma once

#include <QLineEdit>
#include <QStringList>

// An edit line with its own list of items that is never dropped down: typed text selects the
// first item it begins, or none. The Up and Down keys are handed to the owner first (keyDown),
// which may select another item; either way the box then reports a change.
class NumberBox : public QLineEdit {
    Q_OBJECT
public:
    explicit NumberBox(QWidget *parent = nullptr);

    void setItems(const QStringList &items);

    // -1 when no item is selected.
    [[nodiscard]] int itemIndex() const { return m_index; }
    // A selection made in code: the text becomes the item's, and no change is reported. An index
    // beyond either end selects nothing and leaves the text as it is.
    void setItemIndex(int index);

    // The first item that begins with text, or -1 (an empty text matches nothing).
    [[nodiscard]] static int firstPrefixMatch(const QStringList &items, const QString &text);

signals:
    // The operator typed, or an arrow key was pressed: the selection may have changed.
    void changed();
    void keyDown(int key);

protected:
    void keyPressEvent(QKeyEvent *event) override;

private:
    QStringList m_items;
    int m_index = -1;
};
