// Widgets the windows share, each alone, with real keys and clicks.
#include "NumberBox.h"
#include "NumberSelectGroup.h"
#include "OuterGeometry.h"
#include "UpDownArrows.h"

#include <QPushButton>
#include <QTest>
#include <QVBoxLayout>

class SharedWidgetsTest : public QObject {
    Q_OBJECT

private slots:
    void numberGroupRunsTheEntryItShows();
    void clientAreaHoldsEveryControl();
};

void SharedWidgetsTest::numberGroupRunsTheEntryItShows()
{
    // In a group just opened, digits typed, ^ v the Up and Down keys, < Backspace, * all the text
    // selected, + - spinner clicks; then the number box's text and the index a run outputs.
    // clang-format off
    const std::tuple<const char *, const char *, int> cases[] = {
        {"12", "12", 11}, {"36", "36", 2}, {"+*0", "0", 1}, {"+<", "", 1}, {"12^", "13", 12}, {"12vv", "10", 9},
        {"v", "1", 0}, {"35^", "35", 34}, {"++-", "2", 1}, {"+*0+", "1", 0}, {"35+", "35", 34}};
    // clang-format on
    const QHash<char, Qt::Key> keys = {{'^', Qt::Key_Up}, {'v', Qt::Key_Down}, {'<', Qt::Key_Backspace}};
    for (const auto &[script, text, index] : cases) {
        std::uint8_t current = 9; // left by an earlier window
        QWidget window;
        NumberSelectGroup *group = nullptr;
        const auto show = [&](int i) {
            NumberSelectGroup::writeText(group->numberBox(), QString::number(i + 1));
            NumberSelectGroup::writeText(group->nameBox(), QStringLiteral("entry %1").arg(i + 1));
        };
        group = new NumberSelectGroup({"Timing", "Box", "Name", "Show", "Run"}, 35, current, show, &window);
        NumberBox &box = group->numberBox();
        UpDownArrows &spinner = group->spinner();
        connect(&box, &NumberBox::changed, group, &NumberSelectGroup::showSelected);
        connect(&box, &NumberBox::keyDown, group, &NumberSelectGroup::stepSelection);
        connect(&spinner, &UpDownArrows::upClicked, group, [group] { group->spin(true); });
        connect(&spinner, &UpDownArrows::downClicked, group, [group] { group->spin(false); });
        group->open();
        window.show();
        box.selectAll();
        for (const char *c = script; *c != '\0'; ++c) {
            if (*c == '+' || *c == '-')
                QTest::mouseClick(&spinner, Qt::LeftButton, {},
                                  (*c == '+' ? spinner.upperRect() : spinner.lowerRect()).center());
            else if (*c == '*')
                box.selectAll();
            else
                QTest::keyClick(&box, keys.value(*c, Qt::Key(*c)));
        }
        // The fields show the entry that runs.
        QCOMPARE(
            QStringLiteral("%1: %2 %3 %4").arg(script, box.text()).arg(current).arg(group->nameBox().text()),
            QStringLiteral("%1: %2 %3 entry %4").arg(script, text).arg(index).arg(index + 1));
    }
}

void SharedWidgetsTest::clientAreaHoldsEveryControl()
{
    // At the outer size 330 x 232 while the controls fit, by hand or laid out; else grown to hold them.
    // clang-format off
    const std::tuple<QRect, bool, bool, QSize> cases[] = {
        {{70, 156, 85, 30}, false, true, {}}, {{300, 210, 60, 32}, false, false, {360, 242}},
        {{0, 0, 200, 30}, true, true, {}}, {{0, 0, 400, 250}, true, true, {420, 270}}};
    // clang-format on
    for (const auto &[control, laidOut, fixed, grown] : cases) {
        QWidget window;
        auto *button = new QPushButton(&window);
        button->setGeometry(control);
        if (laidOut) {
            button->setFixedSize(control.size());
            (new QVBoxLayout(&window))->addWidget(button);
            window.layout()->setContentsMargins(10, 10, 10, 10);
        }
        new OuterGeometry(&window, {330, 232},
                          fixed ? OuterGeometry::Sizing::Fixed : OuterGeometry::Sizing::Resizable);
        window.show();
        QTRY_COMPARE(grown.isValid() ? window.size() : window.frameGeometry().size(),
                     grown.isValid() ? grown : QSize(330, 232));
        QCOMPARE(window.minimumSize() == window.maximumSize(), fixed);
    }
}

QTEST_MAIN(SharedWidgetsTest)
#include "SharedWidgetsTest.moc"
