// An output window's number group alone, worked with real keys and clicks: whatever entry the
// number box shows is the one a run outputs.
#include "NumberSelectGroup.h"
#include "NumberBox.h"
#include "UpDownArrows.h"

#include <QTest>

class NumberSelectGroupTest : public QObject {
    Q_OBJECT

private slots:
    void theEntryShownIsTheCurrentOne_data();
    void theEntryShownIsTheCurrentOne();
};

void NumberSelectGroupTest::theEntryShownIsTheCurrentOne_data()
{
    // Typed characters, and keys and spinner clicks in braces, after the group has opened at 1.
    QTest::addColumn<QString>("script");
    QTest::addColumn<QString>("box");
    QTest::addColumn<int>("shown");
    QTest::addColumn<int>("current");
    const struct {
        const char *name;
        const char *script;
        const char *box;
        int shown;
        int current;
    } rows[] = {
        {"opened", "", "1", 0, 0},
        {"typed", "12", "12", 11, 11},
        {"typed over", "7{SelectAll}3", "3", 2, 2},
        {"no entry: 0", "{Spin+}{SelectAll}0", "0", 1, 1},
        {"no entry: past the end", "36", "36", 2, 2},
        {"no entry: erased", "{Spin+}{BS}", "", 1, 1},
        {"Up", "{Up}", "2", 1, 1},
        {"Up after typing", "12{Up}", "13", 12, 12},
        {"Down", "12{Down}{Down}", "10", 9, 9},
        {"Down at 1", "{Down}", "1", 0, 0},
        {"Up at 35", "35{Up}", "35", 34, 34},
        {"spinner", "{Spin+}{Spin+}{Spin-}", "2", 1, 1},
        {"spinner after no entry", "{Spin+}{SelectAll}0{Spin+}", "1", 0, 0},
        {"spinner at 35", "35{Spin+}", "35", 34, 34},
    };
    for (const auto &row : rows)
        QTest::newRow(row.name) << QString::fromLatin1(row.script) << QString::fromLatin1(row.box)
                                << row.shown << row.current;
}

void NumberSelectGroupTest::theEntryShownIsTheCurrentOne()
{
    QFETCH(QString, script);
    std::uint8_t current = 9; // left by an earlier window
    int shown = -1;
    QWidget window;
    NumberSelectGroup *group = nullptr;
    group = new NumberSelectGroup(
        {QStringLiteral("Timing"), QStringLiteral("Box"), QStringLiteral("Name"), QStringLiteral("Show"),
         QStringLiteral("Run")},
        35, current,
        [&](int index) {
            shown = index;
            NumberSelectGroup::writeText(group->numberBox(), QString::number(index + 1));
        },
        &window);
    group->resize(600, 84);
    connect(&group->numberBox(), &NumberBox::changed, group, &NumberSelectGroup::showSelected);
    connect(&group->numberBox(), &NumberBox::keyDown, group, &NumberSelectGroup::stepSelection);
    connect(&group->spinner(), &UpDownArrows::upClicked, group, [group] { group->spin(true); });
    connect(&group->spinner(), &UpDownArrows::downClicked, group, [group] { group->spin(false); });
    group->open();
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));

    NumberBox &box = group->numberBox();
    UpDownArrows &spinner = group->spinner();
    box.setFocus();
    box.selectAll();
    for (int i = 0; i < script.size(); ++i) {
        if (script[i] != '{') {
            QTest::keyClick(&box, script[i].toLatin1());
            continue;
        }
        const int end = script.indexOf('}', i);
        const QString key = script.mid(i + 1, end - i - 1);
        i = end;
        if (key == QStringLiteral("Spin+") || key == QStringLiteral("Spin-"))
            QTest::mouseClick(&spinner, Qt::LeftButton, {},
                              key.endsWith('+') ? spinner.upperRect().center()
                                                : spinner.lowerRect().center());
        else if (key == QStringLiteral("SelectAll"))
            box.selectAll();
        else
            QTest::keyClick(&box, key == QStringLiteral("Up")     ? Qt::Key_Up
                                  : key == QStringLiteral("Down") ? Qt::Key_Down
                                                                  : Qt::Key_Backspace);
    }
    QTEST(box.text(), "box");
    QTEST(shown, "shown");
    QTEST(static_cast<int>(current), "current");
}

QTEST_MAIN(NumberSelectGroupTest)
#include "NumberSelectGroupTest.moc"
