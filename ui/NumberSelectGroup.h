#pragma once

#include <QGroupBox>

#include <cstdint>
#include <functional>

class NumberBox;
class QLabel;
class QLineEdit;
class QPushButton;
class UpDownArrows;

// The "… No. Select" group of an output window and how it picks an entry of a table: the number
// box with its spinner chooses an entry by number, the read-only name box shows its name, and two
// buttons show the table's list and run the entry. Which entry a run outputs is the index the
// window shares with the link: whenever the number box shows an entry, however it came there
// (typed, the arrow keys, the spinner, the list), that entry is the index, so what is shown is
// what runs. Text that names no entry changes neither.
class NumberSelectGroup : public QGroupBox {
    Q_OBJECT
public:
    // noun names the group ("Timing No. Select") and its label ("Timing No."); the rest are the
    // controls' object names.
    struct Names {
        QString noun;
        QString numberBox;
        QString nameBox;
        QString showButton;
        QString runButton;
    };

    // show(index) writes what the window shows of an entry, the number box's text included.
    NumberSelectGroup(const Names &names, int entryCount, std::uint8_t &current,
                      std::function<void(int)> show, QWidget *parent);

    [[nodiscard]] NumberBox &numberBox() { return *m_numberBox; }
    [[nodiscard]] QLineEdit &nameBox() { return *m_nameBox; }
    [[nodiscard]] UpDownArrows &spinner() { return *m_spinner; }
    [[nodiscard]] QPushButton &showButton() { return *m_showButton; }
    [[nodiscard]] QPushButton &runButton() { return *m_runButton; }

    // Only a text that differs is written, so nothing changes, and nothing is reported, twice.
    static void writeText(QLineEdit &edit, const QString &text);

    // A new window: the list "1" to the count, and entry 1 selected, shown and current throughout.
    void open();
    // Every activation: the current entry, selected and shown.
    void activate();
    // The number box's change: its selected entry, if any, is shown and made current.
    void showSelected();
    // The Up and Down keys in the number box move its selection only; its change then shows it.
    void stepSelection(int key);
    // One spinner click: the next or previous entry, shown and made current; it never wraps.
    void spin(bool up);

protected:
    void resizeEvent(QResizeEvent *event) override;

private:
    // Shown, and the index a run outputs.
    void choose(int index);

    int m_count;
    std::uint8_t &m_current;
    std::function<void(int)> m_show;
    QLabel *m_label = nullptr;
    NumberBox *m_numberBox = nullptr;
    UpDownArrows *m_spinner = nullptr;
    QLineEdit *m_nameBox = nullptr;
    QPushButton *m_showButton = nullptr;
    QPushButton *m_runButton = nullptr;
};
