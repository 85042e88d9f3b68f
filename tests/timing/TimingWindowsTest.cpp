// The three timing windows with real clicks and keys, on a generator in memory.
#include "AppTestSupport.h"
#include "DeviceLinkState.h"
#include "GridCellDelegate.h"
#include "HighlightGridModel.h"
#include "LinkHarness.h"
#include "MarkGridModel.h"
#include "ModalDriver.h"
#include "SharedValues.h"
#include "TimingReference.h"
#include "TimingTable.h"
#include "WindowTest.h"

#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QTableView>
#include <QTest>

#include <memory>

using namespace AppTestSupport;

class TimingWindowsTest : public WindowTest {
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void outputMenuAndToolButtonOpenOneWindowAtEntryOne();
    void spinnerTypingAndArrowKeys();
    void everyEntryShowsItsTexts();
    void listHighlightsAndPicksByDoubleClick();
    void runTimingSendsTheCurrentIndex();
    void timingsDialogMarksAndUploads();
    void closingTheDialogBeforeThePayloadKeepsTheSelection();

private:
    [[nodiscard]] QWidget *timingWindow() const;
    [[nodiscard]] QString field(const char *name) const;
    void clickSpinner(bool up);
};

void TimingWindowsTest::initTestCase()
{
    checkFonts();
}

void TimingWindowsTest::init()
{
    startProgram({{"TMIX", "OK\r\n"}});
}

void TimingWindowsTest::cleanup()
{
    stopProgram();
}

QWidget *TimingWindowsTest::timingWindow() const
{
    return frameChild(m_front->form, QStringLiteral("Timing"));
}

QString TimingWindowsTest::field(const char *name) const
{
    return editText(timingWindow(), QString::fromLatin1(name));
}

void TimingWindowsTest::clickSpinner(bool up)
{
    AppTestSupport::clickSpinner(timingWindow(), up);
}

void TimingWindowsTest::outputMenuAndToolButtonOpenOneWindowAtEntryOne()
{
    m_values.currentTimingIndex = 9;
    QVERIFY(chooseMenuItem(form(), QStringLiteral("Output1"), QStringLiteral("Timing1")));
    QVERIFY(clickToolButton(form(), QStringLiteral("Timing_Run")));
    QVERIFY(chooseMenuItem(form(), QStringLiteral("Output1"), QStringLiteral("Timing1")));
    const QList<QMdiSubWindow *> children = form().mdiArea()->subWindowList();
    QCOMPARE(children.size(), 1);
    QMdiSubWindow *child = children.first();
    QCOMPARE(child->windowTitle(), QStringLiteral("Timing"));
    QCOMPARE(child->geometry(), QRect(10, 10, 820, 520));
    QVERIFY(child->windowFlags().testFlag(Qt::WindowMinimizeButtonHint));
    QVERIFY(!child->windowFlags().testFlag(Qt::WindowMaximizeButtonHint));
    QCOMPARE(field("TimingComboBox1"), QStringLiteral("1"));
    QCOMPARE(field("TimingIndexName"), QStringLiteral("640x480-60"));
    QCOMPARE(field("Timing_HTol_Edit2"), QStringLiteral("31.778"));
    QCOMPARE(m_values.currentTimingIndex, 0);
    QCOMPARE(timingWindow()->findChild<QPushButton *>(QStringLiteral("Run_Timing"))->text(),
             QStringLiteral("Run Timing"));
    QVERIFY(written().isEmpty()); // the tool button never starts a run

    // Closed, it is gone; a new one starts at entry 1 again.
    clickSpinner(true);
    QCOMPARE(m_values.currentTimingIndex, 1);
    QPointer<QMdiSubWindow> closed(child);
    child->close();
    QTRY_VERIFY(closed.isNull());
    QVERIFY(clickToolButton(form(), QStringLiteral("Timing_Run")));
    QCOMPARE(field("TimingIndexName"), QStringLiteral("640x480-60"));
    QCOMPARE(m_values.currentTimingIndex, 0);
}

void TimingWindowsTest::spinnerTypingAndArrowKeys()
{
    QVERIFY(chooseMenuItem(form(), QStringLiteral("Output1"), QStringLiteral("Timing1")));
    // What the operator does (workNumberGroup); then the number box, the name shown and the index
    // Run Timing outputs. "36": "3" shows entry 3, "36" matches nothing.
    // clang-format off
    const std::tuple<const char *, const char *, const char *, int> steps[] = {
        {"-", "1", "640x480-60", 0}, {"+", "2", "640x480-72", 1}, {"*7", "7", "800x600-72", 6},
        {"*1", "1", "640x480-60", 0}, {"5", "15", "1280x960-85", 14}, {"*36", "36", "640x480-75", 2},
        {"*0", "0", "640x480-75", 2}, {"-", "0", "640x480-75", 2}, {"+", "1", "640x480-60", 0},
        {"^^", "3", "640x480-75", 2}, {"v", "2", "640x480-72", 1}};
    // clang-format on
    for (const auto &[script, number, name, index] : steps) {
        workNumberGroup(timingWindow(), QStringLiteral("TimingComboBox1"), script);
        QCOMPARE(QStringLiteral("%1: %2 %3 %4")
                     .arg(script, field("TimingComboBox1"), field("TimingIndexName"))
                     .arg(m_values.currentTimingIndex),
                 QStringLiteral("%1: %2 %3 %4").arg(script, number, name).arg(index));
    }

    // The spinner's upper end.
    for (int i = 0; i < 40; ++i)
        clickSpinner(true);
    QCOMPARE(field("TimingComboBox1"), QStringLiteral("35"));
    QCOMPARE(m_values.currentTimingIndex, 34);
}

void TimingWindowsTest::everyEntryShowsItsTexts()
{
    using namespace TimingReference;
    QVERIFY(chooseMenuItem(form(), QStringLiteral("Output1"), QStringLiteral("Timing1")));
    for (std::size_t i = 0; i < TimingTable.size(); ++i) {
        const TimingEntry &e = TimingTable[i];
        const QStringList expected = {QString::number(e.Number),
                                      QString::fromLatin1(e.Name),
                                      QString::number(e.HTol),
                                      QString::number(e.HPD),
                                      e.HPol == 1 ? "-" : "+",
                                      scaled(e.HRat),
                                      horizontalTime(e.HTol, e.PClk),
                                      horizontalTime(e.HAct, e.PClk),
                                      horizontalTime(e.HPD, e.PClk),
                                      horizontalTime(e.HPW, e.PClk),
                                      QString::number(e.VAct),
                                      QString::number(e.VPW),
                                      e.VPol == 1 ? "-" : "+",
                                      scaled(e.VRat),
                                      verticalTime(e.VTol, e.HTol, e.PClk),
                                      verticalTime(e.VAct, e.HTol, e.PClk),
                                      verticalTime(e.VPD, e.HTol, e.PClk),
                                      verticalTime(e.VPW, e.HTol, e.PClk),
                                      scaled(e.PClk)};
        QStringList shown;
        for (const char *name :
             {"TimingComboBox1", "TimingIndexName", "Timing_HTol_Edit", "Timing_HPD_Edit", "Timing_HPol_Edit",
              "Timing_HRat_Edit", "Timing_HTol_Edit2", "Timing_HAct_Edit2", "Timing_HPD_Edit2",
              "Timing_HPW_Edit2", "Timing_VAct_Edit", "Timing_VPW_Edit", "Timing_VPol_Edit",
              "Timing_VRat_Edit", "Timing_VTol_Edit2", "Timing_VAct_Edit2", "Timing_VPD_Edit2",
              "Timing_VPW_Edit2", "Timing_PClk_Edit"})
            shown << field(name);
        QCOMPARE(shown, expected);
        clickSpinner(true);
    }
}

void TimingWindowsTest::listHighlightsAndPicksByDoubleClick()
{
    QVERIFY(chooseMenuItem(form(), QStringLiteral("Output1"), QStringLiteral("Timing1")));
    TTiming_List &list = m_front->program.timingList();
    QVERIFY(!list.isVisible());
    QTest::mouseClick(timingWindow()->findChild<QPushButton *>(QStringLiteral("Button1")), Qt::LeftButton);
    QVERIFY(QTest::qWaitForWindowExposed(&list));
    QCOMPARE(list.windowTitle(), QStringLiteral("List of Timings"));
    auto *grid = list.findChild<QTableView *>(QStringLiteral("StringGrid1"));
    QCOMPARE(grid->model()->rowCount(), 35);
    QCOMPARE(grid->model()->headerData(2, Qt::Horizontal).toString(), QStringLiteral("      Horizontal "));
    QCOMPARE(grid->model()->index(0, 1).data().toString(), QStringLiteral("25.175 MHz"));
    QCOMPARE(list.model().highlightRow(), 0);

    // A press colours the pressed row, the rest of the body in the window colour.
    const auto cellPixel = [grid](int row, int column) {
        const QRect cell = grid->visualRect(grid->model()->index(row, column));
        return grid->viewport()->grab(cell).toImage().pixelColor(1, cell.height() / 2);
    };
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {},
                      grid->visualRect(grid->model()->index(4, 2)).center());
    QCOMPARE(list.model().highlightRow(), 5);
    QCOMPARE(cellPixel(4, 0), kActiveCaptionColour);
    QCOMPARE(cellPixel(4, 2), kActiveCaptionColour); // the current cell too
    QCOMPARE(cellPixel(5, 1), grid->palette().color(QPalette::Base));
    list.close();
    QVERIFY(!list.isVisible());

    // Show List starts without a highlight; a double click on row 12 picks 1024x768-75.
    QTest::mouseClick(timingWindow()->findChild<QPushButton *>(QStringLiteral("Button1")), Qt::LeftButton);
    QCOMPARE(list.model().highlightRow(), 0);
    doubleClick(grid->viewport(), grid->visualRect(grid->model()->index(11, 0)).center());
    QVERIFY(!list.isVisible());
    QCOMPARE(m_values.currentTimingIndex, 11);
    QCOMPARE(field("TimingComboBox1"), QStringLiteral("12"));
    QCOMPARE(field("TimingIndexName"), QStringLiteral("1024x768-75"));
    QCOMPARE(form().mdiArea()->activeSubWindow()->widget(), timingWindow());
}

void TimingWindowsTest::runTimingSendsTheCurrentIndex()
{
    QVERIFY(chooseMenuItem(form(), QStringLiteral("Output1"), QStringLiteral("Timing1")));
    auto *run = timingWindow()->findChild<QPushButton *>(QStringLiteral("Run_Timing"));
    QTest::mouseClick(run, Qt::LeftButton); // no generator: nothing
    QTest::qWait(600);
    QVERIFY(written().isEmpty());

    // From the keyboard alone: a typed number, the Up arrow, Enter on a row of the list.
    m_front->connectPresent(m_state);
    workNumberGroup(timingWindow(), QStringLiteral("TimingComboBox1"), "*12");
    QCOMPARE(runOnce(*run), asBytes(concat({commandLine("TMIX", 1), framed(11)})));
    workNumberGroup(timingWindow(), QStringLiteral("TimingComboBox1"), "^");
    QCOMPARE(runOnce(*run), asBytes(concat({commandLine("TMIX", 1), framed(12)})));
    QTest::mouseClick(timingWindow()->findChild<QPushButton *>(QStringLiteral("Button1")), Qt::LeftButton);
    auto *grid = m_front->program.timingList().findChild<QTableView *>(QStringLiteral("StringGrid1"));
    QTRY_VERIFY(grid->hasFocus());
    for (const Qt::Key key : {Qt::Key_Down, Qt::Key_Down, Qt::Key_Return})
        QTest::keyClick(grid, key);
    QCOMPARE(field("TimingComboBox1"), QStringLiteral("3"));
    QCOMPARE(runOnce(*run), asBytes(concat({commandLine("TMIX", 1), framed(2)})));

    const qsizetype sent = written().size();
    QTest::mouseClick(run, Qt::LeftButton);
    QTRY_COMPARE_WITH_TIMEOUT(written().size(), sent + 12, 3000);
    QTest::mouseClick(run, Qt::LeftButton); // refused while the first waits for its answer
    QTest::qWait(300);
    QCOMPARE(written().size(), sent + 12);
    form().DisConnectButtonClick();
}

void TimingWindowsTest::timingsDialogMarksAndUploads()
{
    m_front->connectPresent(m_state);
    m_driver->thenOn(QStringLiteral("Timings"), [this](QWidget *dialog) {
        auto *grid = dialog->findChild<QTableView *>(QStringLiteral("StringGrid3"));
        auto *model = qobject_cast<MarkGridModel *>(grid->model());
        auto *selectAll = dialog->findChild<QPushButton *>(QStringLiteral("Button1"));
        auto *upload = dialog->findChild<QPushButton *>(QStringLiteral("Timings_OK"));
        QCOMPARE(grid->currentIndex(), model->index(0, 0));
        QCOMPARE(model->headerData(0, Qt::Horizontal).toString(), QStringLiteral("Select"));
        const auto cell = [grid, model](int row, int column) {
            return grid->visualRect(model->index(row, column)).center();
        };
        QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, cell(0, 0));
        QCOMPARE(m_values.timingSelection[0], 1);
        QCOMPARE(model->index(0, 0).data().toString(), QStringLiteral("    V"));
        QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, cell(0, 3)); // other columns: nothing
        QCOMPARE(m_values.timingSelection[0], 1);
        QTest::keyClick(grid, Qt::Key_Escape); // only the close box closes it
        QVERIFY(dialog->isVisible());
        QCOMPARE(m_values.timingSelection[0], 1);
        doubleClick(grid->viewport(), cell(4, 0)); // flips twice
        QCOMPARE(m_values.timingSelection[4], 0);
        // While the button is held the grid draws itself; released, the painter paints over it.
        QTest::mousePress(grid->viewport(), Qt::LeftButton, {}, cell(6, 2));
        QVERIFY(model->ownDrawing());
        QTest::mouseRelease(grid->viewport(), Qt::LeftButton, {}, cell(6, 2));
        QVERIFY(!model->ownDrawing());

        QTest::mouseClick(selectAll, Qt::LeftButton);
        QCOMPARE(model->markedCount(), 35);
        QCOMPARE(selectAll->text(), QStringLiteral(" UnSelect All"));
        QCOMPARE(grid->currentIndex(), model->index(0, 5));
        QTest::mouseClick(selectAll, Qt::LeftButton);
        QCOMPARE(model->markedCount(), 0);
        QCOMPARE(selectAll->text(), QStringLiteral("Select All"));

        QTest::mouseClick(upload, Qt::LeftButton);
        QTRY_COMPARE(m_driver->messages, QStringList{QStringLiteral("Please Select the Timing index")});
        QVERIFY(written().isEmpty());
        QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, cell(0, 0));
        QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, cell(2, 0));
        QTest::mouseClick(upload, Qt::LeftButton);
        const auto line = commandLine("TMGS", 37);
        QTRY_COMPARE(written(), QByteArray(reinterpret_cast<const char *>(line.data()), 9));
        QVERIFY(dialog->isVisible()); // Upload leaves it open
        dialog->close();
    });
    QVERIFY(chooseMenuItem(form(), QStringLiteral("Edit1"), QStringLiteral("Timing2")));
    QVERIFY(m_driver->allDone());
    QVERIFY(std::all_of(m_values.timingSelection.begin(), m_values.timingSelection.end(),
                        [](std::uint8_t f) { return f == 0; }));
    form().DisConnectButtonClick();
}

void TimingWindowsTest::closingTheDialogBeforeThePayloadKeepsTheSelection()
{
    m_front->connectPresent(m_state); // TMGS is not in the script: the test answers it
    m_driver->thenOn(QStringLiteral("Timings"), [](QWidget *dialog) {
        auto *grid = dialog->findChild<QTableView *>(QStringLiteral("StringGrid3"));
        for (int row : {0, 2})
            QTest::mouseClick(grid->viewport(), Qt::LeftButton, {},
                              grid->visualRect(grid->model()->index(row, 0)).center());
        QTest::mouseClick(dialog->findChild<QPushButton *>(QStringLiteral("Timings_OK")), Qt::LeftButton);
        dialog->close();
    });
    QVERIFY(chooseMenuItem(form(), QStringLiteral("Edit1"), QStringLiteral("Timing2")));
    QCOMPARE(m_values.timingSelection[0], 0); // closing cleared the dialog's marks
    // The acknowledgment follows the whole command line.
    QTRY_VERIFY(m_front->port.writtenBytes().size() >= 9);
    m_front->port.queueAnswer("OK\r\n");
    QVERIFY(AppTestSupport::waitUntil([this] { return m_front->port.writtenBytes().size() >= 9 + 37 * 3; },
                                      8000));
    auto expected = concat({commandLine("TMGS", 37), framed(35), framed(1), framed(0), framed(1)});
    for (int i = 0; i < 32; ++i)
        expected = concat({expected, framed(0)});
    expected = concat({expected, framed(0xDB)});
    QCOMPARE(m_front->port.writtenBytes(), expected);
    form().DisConnectButtonClick();
}

QTEST_MAIN(TimingWindowsTest)
#include "TimingWindowsTest.moc"
