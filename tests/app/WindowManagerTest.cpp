// Under a real window manager: every control of every window lies inside the client area the frame
// leaves, and what the operator has entered in a modal window survives the window manager's own
// minimise and restore, of the main window and of the modal window itself.
#include "AppTestSupport.h"
#include "DeviceLinkState.h"
#include "HighlightGridModel.h"
#include "MarkGridModel.h"
#include "ModalDriver.h"
#include "ProgramGridModel.h"
#include "SgxProgram.h"
#include "SharedValues.h"

#include <QComboBox>
#include <QHeaderView>
#include <QProcess>
#include <QPushButton>
#include <QStandardPaths>
#include <QTableView>
#include <QTest>
#include <QWindow>

using namespace AppTestSupport;

namespace {

QStringList rowTexts(QTableView *grid, int gridRow)
{
    QStringList texts;
    for (int column = 1; column < grid->model()->columnCount(); ++column)
        texts << grid->model()->index(gridRow - 1, column).data().toString();
    return texts;
}

// Once the window is framed and at its size (outer, or the client area where clientSize), the
// first visible control not wholly inside its client area; empty when there is none.
QString controlCut(QWidget &window, QSize size = {}, bool clientSize = false)
{
    // The frame as the window system has it now: the widget's copy of it may lag.
    const auto sized = [&] {
        const QSize outer = window.windowHandle()->frameGeometry().size();
        return outer.height() > window.height() && (clientSize ? window.size() : outer) == size;
    };
    if (size.isValid() && !QTest::qWaitFor(sized, 5000))
        return window.objectName() + QStringLiteral(" is not at its size");
    for (QWidget *control : window.findChildren<QWidget *>()) {
        // What a scroll area holds is clipped and scrolled by it (cell editors, frame children).
        bool clipped = control->isWindow() || !control->isVisibleTo(&window);
        for (QWidget *up = control->parentWidget(); up != &window; up = up->parentWidget())
            clipped = clipped || up->objectName() == QStringLiteral("qt_scrollarea_viewport");
        if (!clipped &&
            !window.rect().contains(QRect(control->mapTo(&window, QPoint(0, 0)), control->size())))
            return window.objectName() + QStringLiteral(": ") + control->objectName() +
                   QStringLiteral(" is cut");
    }
    return {};
}

// Asks the window manager, as a task bar or pager does, to act on a top-level window.
bool askWindowManager(const char *command, QWidget &window)
{
    return QProcess::execute(QStringLiteral("xdotool"),
                             {QString::fromLatin1(command), QString::number(window.winId())}) == 0;
}

} // namespace

class WindowManagerTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();
    void everyControlLiesInsideTheClientArea();
    void composedRowSurvivesMinimiseAndRestore();
    void timingsCurrentCellSurvivesMinimiseAndRestore();

private:
    // The window manager minimises `minimised`, then restores it; `dialog` is hidden with it and
    // shown again.
    void minimiseAndRestore(QWidget &minimised, QWidget &dialog);

    DeviceLinkState m_state;
    SharedValues m_values;
    std::unique_ptr<SgxProgram> m_program;
    std::unique_ptr<ModalDriver> m_driver;
};

void WindowManagerTest::initTestCase()
{
    QVERIFY2(metricFontProblem().isEmpty(), qPrintable(metricFontProblem()));
    QVERIFY2(!QStandardPaths::findExecutable(QStringLiteral("xdotool")).isEmpty(),
             "xdotool is missing: scripts/install-deps installs it");
}

void WindowManagerTest::init()
{
    m_state = DeviceLinkState();
    m_values = SharedValues();
    m_program = std::make_unique<SgxProgram>(m_state, m_values);
    m_driver = std::make_unique<ModalDriver>();
    m_program->show();
    QVERIFY(QTest::qWaitForWindowExposed(&m_program->mainForm()));
}

void WindowManagerTest::cleanup()
{
    m_driver.reset();
    m_program.reset();
}

void WindowManagerTest::minimiseAndRestore(QWidget &minimised, QWidget &dialog)
{
    QVERIFY(askWindowManager("windowminimize", minimised));
    QVERIFY2(QTest::qWaitFor([&] { return minimised.isMinimized() && dialog.isMinimized(); }, 5000),
             qPrintable(QStringLiteral("%1 was not minimised").arg(minimised.windowTitle())));
    QVERIFY(askWindowManager("windowactivate", minimised));
    QVERIFY2(
        QTest::qWaitFor(
            [&] { return !minimised.isMinimized() && !dialog.isMinimized() && dialog.isVisible(); }, 5000),
        qPrintable(QStringLiteral("%1 was not restored").arg(minimised.windowTitle())));
    QTest::qWait(300); // whatever the restore sends, let it arrive
}

void WindowManagerTest::everyControlLiesInsideTheClientArea()
{
    // A window's frame comes some time after it is first shown, and has come late; so three starts.
    // clang-format off
    const std::tuple<const char *, QSize, const char *, const char *> modal[] = {
        {"AboutBox", {298, 380}, "Help1", "HelpAboutItem"}, {"COM_PORT_SETTING_FORM", {330, 232}, "Config1", "COMPort1"},
        {"Timings", {603, 406}, "Edit1", "Timing2"}, {"Patterns", {318, 399}, "Edit1", "Pattern2"},
        {"Programmer_Form", {661, 414}, "Edit1", "Program1"}, {"EDID_Block", {625, 467}, "EDID", "EDID_Memorys"}};
    const std::tuple<const char *, const char *, const char *, const char *, QSize> outputs[] = {
        {"Timing1", "Timing", "Button1", "Timing_List", {588, 512}},
        {"Pattern1", "Pattern", "ShowButton1", "Pattern_List", {338, 474}}};
    // clang-format on
    for (int start = 0; start < 3 && !QTest::currentTestFailed(); ++start) {
        if (start > 0) {
            cleanup();
            init();
        }
        TMainForm &form = m_program->mainForm();
        QCOMPARE(controlCut(form, {900, 694}), QString());
        for (const auto &[name, size, menu, item] : modal) {
            m_driver->thenOn(QString::fromLatin1(name), [&, size = size](QWidget *shown) {
                // The About box's size is its client area.
                QCOMPARE(controlCut(*shown, size, shown == &m_program->aboutBox()), QString());
                shown->close();
            });
            QVERIFY(chooseMenuItem(form, QString::fromLatin1(menu), QString::fromLatin1(item)));
            QVERIFY(m_driver->allDone() && !QTest::currentTestFailed());
        }
        for (const auto &[item, caption, showList, listName, size] : outputs) {
            QVERIFY(chooseMenuItem(form, QStringLiteral("Output1"), QString::fromLatin1(item)));
            QWidget *child = frameChild(form, QString::fromLatin1(caption));
            QCOMPARE(controlCut(*child), QString());
            QTest::mouseClick(child->findChild<QPushButton *>(QString::fromLatin1(showList)), Qt::LeftButton);
            auto *list = form.findChild<QWidget *>(QString::fromLatin1(listName));
            QCOMPARE(controlCut(*list, size), QString());
            list->close();
        }
    }
}

void WindowManagerTest::composedRowSurvivesMinimiseAndRestore()
{
    TMainForm &form = m_program->mainForm();
    m_driver->thenOn(QStringLiteral("Programmer_Form"), [&](QWidget *editor) {
        QVERIFY(QTest::qWaitForWindowActive(editor));
        auto *grid = editor->findChild<QTableView *>(QStringLiteral("StringGrid5"));
        auto &model = *qobject_cast<ProgramGridModel *>(grid->model());
        const auto box = [editor](int n) {
            return editor->findChild<QComboBox *>(QStringLiteral("PCBox%1").arg(n));
        };
        pressCell(grid, 1, 2);
        QVERIFY(chooseFromList(box(1), QStringLiteral("800x600-72")));
        QVERIFY(chooseFromList(box(2), QStringLiteral("Green")));
        QVERIFY(chooseFromList(box(3), QStringLiteral("Second")));
        QVERIFY(typeInto(box(4), QStringLiteral("7")));
        const QStringList composed = {"800x600-72", "Green", "Second", "7"};
        QCOMPARE(rowTexts(grid, 2), composed);

        for (QWidget *minimised : {static_cast<QWidget *>(&form), editor}) {
            minimiseAndRestore(*minimised, *editor);
            QCOMPARE(rowTexts(grid, 2), composed);
            QCOMPARE(model.editRow(), 2);
        }
        // The boxes still edit row 2.
        QVERIFY(typeInto(box(4), QStringLiteral("9")));
        QCOMPARE(rowTexts(grid, 2).last(), QStringLiteral("9"));
        QCOMPARE(rowTexts(grid, 1).last(), QStringLiteral("       "));
        editor->close();
    });
    QVERIFY(chooseMenuItem(form, QStringLiteral("Edit1"), QStringLiteral("Program1")));
    QVERIFY(m_driver->allDone());
}

void WindowManagerTest::timingsCurrentCellSurvivesMinimiseAndRestore()
{
    TMainForm &form = m_program->mainForm();
    m_driver->thenOn(QStringLiteral("Timings"), [&](QWidget *dialog) {
        QVERIFY(QTest::qWaitForWindowActive(dialog));
        auto *grid = dialog->findChild<QTableView *>(QStringLiteral("StringGrid3"));
        auto *model = qobject_cast<MarkGridModel *>(grid->model());
        pressCell(grid, 4, 0);
        QCOMPARE(m_values.timingSelection[4], 1);

        for (QWidget *minimised : {static_cast<QWidget *>(&form), dialog}) {
            minimiseAndRestore(*minimised, *dialog);
            QCOMPARE(grid->currentIndex(), model->index(4, 0));
            QCOMPARE(m_values.timingSelection[4], 1);
        }
        // So a click on the heading flips row 5, where the operator left the current cell.
        QTest::mouseClick(
            grid->horizontalHeader()->viewport(), Qt::LeftButton, {},
            QPoint(grid->columnViewportPosition(0) + 10, grid->horizontalHeader()->height() / 2));
        QCOMPARE(m_values.timingSelection[4], 0);
        QCOMPARE(m_values.timingSelection[0], 0);
        dialog->close();
    });
    QVERIFY(chooseMenuItem(form, QStringLiteral("Edit1"), QStringLiteral("Timing2")));
    QVERIFY(m_driver->allDone());
}

QTEST_MAIN(WindowManagerTest)
#include "WindowManagerTest.moc"
