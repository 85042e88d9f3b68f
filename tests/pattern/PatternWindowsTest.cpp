// The pattern windows with real clicks and keys, on a generator in memory.
#include "AppTestSupport.h"
#include "DeviceLinkState.h"
#include "GridCellDelegate.h"
#include "HighlightGridModel.h"
#include "LinkHarness.h"
#include "MarkGridModel.h"
#include "ModalDriver.h"
#include "SharedValues.h"
#include "WindowTest.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QTableView>
#include <QTest>

#include <memory>

using namespace AppTestSupport;

namespace {

// Where the text of a heading is drawn, in the section's own coordinates: the box around its dark
// pixels, away from the section's edges.
QRect headingInk(QTableView *grid, int column)
{
    QHeaderView *heading = grid->horizontalHeader();
    const QRect section(heading->sectionViewportPosition(column), 0, heading->sectionSize(column),
                        heading->height());
    const QImage image = heading->viewport()->grab(section).toImage();
    QRect ink;
    for (int y = 1; y < image.height() - 1; ++y)
        for (int x = 1; x < image.width() - 1; ++x)
            if (qGray(image.pixel(x, y)) < 96)
                ink |= QRect(x, y, 1, 1);
    return ink;
}

} // namespace

class PatternWindowsTest : public WindowTest {
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void outputMenuAndToolButtonOpenOneWindowAtEntryOne();
    void spinnerTypingAndArrowKeys();
    void listKeepsItsHighlightAndPicksByDoubleClick();
    void runPatternSendsTheCurrentIndex();
    void patternsDialogMarksDrawsAndUploads();
    void closingPatternsBeforeThePayloadKeepsTheSelection();

private:
    [[nodiscard]] QWidget *patternWindow() const;
    [[nodiscard]] QString field(const char *name) const;
    void clickSpinner(bool up);
};

void PatternWindowsTest::initTestCase()
{
    checkFonts();
}

void PatternWindowsTest::init()
{
    startProgram({{"PTIX", "OK\r\n"}});
}

void PatternWindowsTest::cleanup()
{
    stopProgram();
}

QWidget *PatternWindowsTest::patternWindow() const
{
    return frameChild(m_front->form, QStringLiteral("Pattern"));
}

QString PatternWindowsTest::field(const char *name) const
{
    return editText(patternWindow(), QString::fromLatin1(name));
}

void PatternWindowsTest::clickSpinner(bool up)
{
    AppTestSupport::clickSpinner(patternWindow(), up);
}

void PatternWindowsTest::outputMenuAndToolButtonOpenOneWindowAtEntryOne()
{
    m_values.currentPatternIndex = 9;
    QVERIFY(chooseMenuItem(form(), QStringLiteral("Output1"), QStringLiteral("Pattern1")));
    QVERIFY(clickToolButton(form(), QStringLiteral("Pattern_Run")));
    const QList<QMdiSubWindow *> children = form().mdiArea()->subWindowList();
    QCOMPARE(children.size(), 1);
    QMdiSubWindow *child = children.first();
    QCOMPARE(child->windowTitle(), QStringLiteral("Pattern"));
    QCOMPARE(child->size(), QSize(693, 520));
    QCOMPARE(child->pos(), QPoint(0, 0)); // the frame's own place for a first child
    QVERIFY(child->windowFlags().testFlag(Qt::WindowMinimizeButtonHint));
    QVERIFY(!child->windowFlags().testFlag(Qt::WindowMaximizeButtonHint));
    QCOMPARE(patternWindow()->findChild<QGroupBox *>(QStringLiteral("GroupBox1"))->title(),
             QStringLiteral("Pattern No. Select"));
    QCOMPARE(patternWindow()->findChild<QLabel *>(QStringLiteral("Label1"))->text(),
             QStringLiteral("Pattern No."));
    QCOMPARE(patternWindow()->findChild<QLineEdit *>(QStringLiteral("PatternComboBox3"))->maxLength(), 2);
    QVERIFY(patternWindow()->findChild<QLineEdit *>(QStringLiteral("PatternIndexName"))->isReadOnly());
    QCOMPARE(field("PatternComboBox3"), QStringLiteral("1"));
    QCOMPARE(field("PatternIndexName"), QStringLiteral("White"));
    QCOMPARE(m_values.currentPatternIndex, 0);
    QCOMPARE(patternWindow()->findChild<QPushButton *>(QStringLiteral("ShowButton1"))->text(),
             QStringLiteral("Show List"));
    QCOMPARE(patternWindow()->findChild<QPushButton *>(QStringLiteral("Run_Pattern"))->text(),
             QStringLiteral("Run Pattern"));
    QVERIFY(written().isEmpty()); // the tool button never starts a run

    // Closing keeps the index; a new window starts at entry 1 again.
    clickSpinner(true);
    QPointer<QMdiSubWindow> closed(child);
    child->close();
    QTRY_VERIFY(closed.isNull());
    QCOMPARE(m_values.currentPatternIndex, 1);
    QVERIFY(clickToolButton(form(), QStringLiteral("Pattern_Run")));
    QCOMPARE(field("PatternIndexName"), QStringLiteral("White"));
    QCOMPARE(m_values.currentPatternIndex, 0);
}

void PatternWindowsTest::spinnerTypingAndArrowKeys()
{
    QVERIFY(chooseMenuItem(form(), QStringLiteral("Output1"), QStringLiteral("Pattern1")));
    // What the operator does (workNumberGroup); then the number box, the name shown and the index
    // Run Pattern outputs. "40": "4" shows entry 4, "40" matches nothing.
    // clang-format off
    const std::tuple<const char *, const char *, const char *, int> steps[] = {
        {"-", "1", "White", 0}, {"+", "2", "Blue", 1}, {"*7", "7", "Yellow", 6}, {"*1", "1", "White", 0},
        {"3", "13", "Color Bar", 12}, {"*40", "40", "Magenta", 3}, {"-", "40", "Magenta", 3},
        {"+", "1", "White", 0}, {"^^", "3", "Red", 2}, {"v", "2", "Blue", 1}};
    // clang-format on
    for (const auto &[script, number, name, index] : steps) {
        workNumberGroup(patternWindow(), QStringLiteral("PatternComboBox3"), script);
        QCOMPARE(QStringLiteral("%1: %2 %3 %4")
                     .arg(script, field("PatternComboBox3"), field("PatternIndexName"))
                     .arg(m_values.currentPatternIndex),
                 QStringLiteral("%1: %2 %3 %4").arg(script, number, name).arg(index));
    }

    // The padded names as they are; the upper end.
    for (int i = 0; i < 22; ++i)
        clickSpinner(true);
    QCOMPARE(field("PatternIndexName"), QStringLiteral("Multi-Burst  "));
    clickSpinner(true);
    QCOMPARE(field("PatternIndexName"), QStringLiteral("Pluge        "));
    for (int i = 0; i < 20; ++i)
        clickSpinner(true);
    QCOMPARE(field("PatternComboBox3"), QStringLiteral("39"));
    QCOMPARE(field("PatternIndexName"), QStringLiteral("HDCP-Produce"));
    QCOMPARE(m_values.currentPatternIndex, 38);
}

void PatternWindowsTest::listKeepsItsHighlightAndPicksByDoubleClick()
{
    QVERIFY(chooseMenuItem(form(), QStringLiteral("Output1"), QStringLiteral("Pattern1")));
    TPattern_List &list = m_front->program.patternList();
    QVERIFY(!list.isVisible());
    auto *showList = patternWindow()->findChild<QPushButton *>(QStringLiteral("ShowButton1"));
    QTest::mouseClick(showList, Qt::LeftButton);
    QVERIFY(QTest::qWaitForWindowExposed(&list));
    QCOMPARE(list.windowTitle(), QStringLiteral("List of patterns"));
    QCOMPARE(list.frameGeometry().size(), QSize(338, 474));
    auto *grid = list.findChild<QTableView *>(QStringLiteral("StringGrid2"));
    QCOMPARE(grid->model()->rowCount(), 39);
    QCOMPARE(grid->columnWidth(1), 125);
    QCOMPARE(grid->verticalHeader()->defaultSectionSize(), 24);
    QCOMPARE(grid->model()->headerData(0, Qt::Horizontal).toString(), QStringLiteral("      Pattern NO."));
    QCOMPARE(grid->model()->headerData(1, Qt::Horizontal).toString(), QStringLiteral("      Pattern Name"));
    // Drawn whole, 2 pixels from the section's corner as the body cells are, in whole-pixel widths.
    QFont hinted = grid->horizontalHeader()->font();
    hinted.setHintingPreference(QFont::PreferFullHinting);
    const QFontMetrics metrics(hinted);
    const QRect ink = headingInk(grid, 1);
    const QRect glyphs =
        metrics.tightBoundingRect(QStringLiteral("Pattern Name"))
            .translated(2 + metrics.horizontalAdvance(QStringLiteral("      ")), 2 + metrics.ascent());
    QCOMPARE(ink.topLeft(), glyphs.topLeft());
    QVERIFY2(std::abs(ink.right() - glyphs.right()) <= 1, "the heading's last letter is cut");
    QCOMPARE(grid->model()->index(24, 1).data().toString(), QStringLiteral("Pluge        "));
    QCOMPARE(list.model().highlightRow(), -1);
    QCOMPARE(cellPixel(grid, 4, 1), grid->palette().color(QPalette::Base));

    // A press colours the pressed row; hidden and shown again, it is still coloured.
    pressCell(grid, 4, 1);
    QCOMPARE(list.model().highlightRow(), 5);
    QCOMPARE(cellPixel(grid, 4, 0), kActiveCaptionColour);
    QCOMPARE(cellPixel(grid, 4, 1), kActiveCaptionColour);
    QCOMPARE(cellPixel(grid, 5, 1), grid->palette().color(QPalette::Base));
    list.close();
    QVERIFY(!list.isVisible());
    QTest::mouseClick(showList, Qt::LeftButton);
    QVERIFY(QTest::qWaitForWindowExposed(&list));
    QCOMPARE(list.model().highlightRow(), 5);
    QCOMPARE(cellPixel(grid, 4, 0), kActiveCaptionColour);

    // Row 13 picks "Color Bar" and hands the focus to the Pattern window.
    doubleClick(grid->viewport(), cellCentre(grid, 12, 1));
    QVERIFY(!list.isVisible());
    QCOMPARE(m_values.currentPatternIndex, 12);
    QCOMPARE(field("PatternComboBox3"), QStringLiteral("13"));
    QCOMPARE(field("PatternIndexName"), QStringLiteral("Color Bar"));
    QCOMPARE(form().mdiArea()->activeSubWindow()->widget(), patternWindow());

    // With no Pattern window the pick is still taken and the list hidden.
    QPointer<QWidget> window(patternWindow());
    form().mdiArea()->closeAllSubWindows();
    QTRY_VERIFY(window.isNull());
    list.showList();
    doubleClick(grid->viewport(), cellCentre(grid, 4, 0));
    QVERIFY(!list.isVisible());
    QCOMPARE(m_values.currentPatternIndex, 4);
}

void PatternWindowsTest::runPatternSendsTheCurrentIndex()
{
    QVERIFY(chooseMenuItem(form(), QStringLiteral("Output1"), QStringLiteral("Pattern1")));
    auto *run = patternWindow()->findChild<QPushButton *>(QStringLiteral("Run_Pattern"));
    QTest::mouseClick(run, Qt::LeftButton); // no generator: nothing
    QTest::qWait(600);
    QVERIFY(written().isEmpty());

    // From the keyboard alone: a typed number, the Up arrow, Enter on a row of the list.
    m_front->connectPresent(m_state);
    workNumberGroup(patternWindow(), QStringLiteral("PatternComboBox3"), "*13");
    QCOMPARE(runOnce(*run), asBytes(concat({commandLine("PTIX", 1), framed(12)})));
    workNumberGroup(patternWindow(), QStringLiteral("PatternComboBox3"), "^");
    QCOMPARE(runOnce(*run), asBytes(concat({commandLine("PTIX", 1), framed(13)})));
    QTest::mouseClick(patternWindow()->findChild<QPushButton *>(QStringLiteral("ShowButton1")),
                      Qt::LeftButton);
    auto *grid = m_front->program.patternList().findChild<QTableView *>(QStringLiteral("StringGrid2"));
    QTRY_VERIFY(grid->hasFocus());
    for (const Qt::Key key : {Qt::Key_Down, Qt::Key_Down, Qt::Key_Enter})
        QTest::keyClick(grid, key);
    QCOMPARE(field("PatternIndexName"), QStringLiteral("Red"));
    QCOMPARE(runOnce(*run), asBytes(concat({commandLine("PTIX", 1), framed(2)})));

    const qsizetype sent = written().size();
    QTest::mouseClick(run, Qt::LeftButton);
    QTRY_COMPARE_WITH_TIMEOUT(written().size(), sent + 12, 3000);
    QTest::mouseClick(run, Qt::LeftButton); // refused while the first waits for its answer
    QTest::qWait(300);
    QCOMPARE(written().size(), sent + 12);
    form().DisConnectButtonClick();
}

void PatternWindowsTest::patternsDialogMarksDrawsAndUploads()
{
    m_front->connectPresent(m_state); // PTNS is not in the script: it stays unanswered
    const auto firstOpening = [this](QWidget *dialog) {
        QCOMPARE(dialog->windowTitle(), QStringLiteral("Patterns"));
        QCOMPARE(dialog->frameGeometry().size(), QSize(318, 399));
        auto *grid = dialog->findChild<QTableView *>(QStringLiteral("StringGrid4"));
        auto *model = qobject_cast<MarkGridModel *>(grid->model());
        auto *selectAll = dialog->findChild<QPushButton *>(QStringLiteral("Button1"));
        auto *upload = dialog->findChild<QPushButton *>(QStringLiteral("Patterns_OK"));
        const QColor window = grid->palette().color(QPalette::Base);
        QCOMPARE(grid->currentIndex(), model->index(0, 0));
        QCOMPARE(model->headerData(0, Qt::Horizontal).toString(), QStringLiteral(" Select"));
        QCOMPARE(model->index(0, 0).data().toString(), QStringLiteral("  "));
        QCOMPARE(grid->columnWidth(0), 58);
        // Before any press the painter covers the grid's highlight of its current cell.
        QCOMPARE(cellPixel(grid, 0, 0), window);

        // A press in another column marks nothing, but from now on the grid draws its own
        // current cell, released or not.
        QTest::mousePress(grid->viewport(), Qt::LeftButton, {}, cellCentre(grid, 2, 1));
        QTest::mouseRelease(grid->viewport(), Qt::LeftButton, {}, cellCentre(grid, 2, 1));
        QCOMPARE(model->markedCount(), 0);
        QVERIFY(model->ownDrawing());
        QVERIFY(cellPixel(grid, 2, 1) != window);
        pressCell(grid, 0, 0);
        QCOMPARE(m_values.patternSelection[0], 1);
        QTest::keyClick(grid, Qt::Key_Escape); // only the close box closes it
        QVERIFY(dialog->isVisible());
        QCOMPARE(m_values.patternSelection[0], 1);
        QCOMPARE(model->index(0, 0).data().toString(), QStringLiteral("     V"));
        QCOMPARE(cellPixel(grid, 0, 0), window);               // a mark is drawn on the window colour
        doubleClick(grid->viewport(), cellCentre(grid, 4, 0)); // flips twice
        QCOMPARE(m_values.patternSelection[4], 0);
        // The heading flips the current cell's row while that cell is in column 0 only.
        const QPoint heading(grid->columnViewportPosition(0) + 10, grid->horizontalHeader()->height() / 2);
        QTest::mouseClick(grid->horizontalHeader()->viewport(), Qt::LeftButton, {}, heading);
        QCOMPARE(m_values.patternSelection[4], 1);
        pressCell(grid, 4, 1);
        QTest::mouseClick(grid->horizontalHeader()->viewport(), Qt::LeftButton, {}, heading);
        QCOMPARE(m_values.patternSelection[4], 1);

        QTest::mouseClick(selectAll, Qt::LeftButton);
        QCOMPARE(model->markedCount(), 39);
        QCOMPARE(selectAll->text(), QStringLiteral("UnSelect All"));
        QCOMPARE(grid->currentIndex(), model->index(0, 2));
        QTest::mouseClick(selectAll, Qt::LeftButton);
        QCOMPARE(model->markedCount(), 0);
        QCOMPARE(selectAll->text(), QStringLiteral("Select All"));

        QTest::mouseClick(upload, Qt::LeftButton);
        QTRY_COMPARE(m_driver->messages, QStringList{QStringLiteral("Please Select the Pattern index")});
        QVERIFY(written().isEmpty());
        pressCell(grid, 38, 0);
        QCOMPARE(model->index(38, 1).data().toString(), QStringLiteral("HDCP-Produce"));
        QTest::mouseClick(upload, Qt::LeftButton);
        QTRY_COMPARE(written(), asBytes(commandLine("PTNS", 41)));
        QVERIFY(dialog->isVisible()); // Upload leaves it open
        QTest::mouseClick(selectAll, Qt::LeftButton);
        dialog->close();
    };
    m_driver->thenOn(QStringLiteral("Patterns"), firstOpening);
    QVERIFY(chooseMenuItem(form(), QStringLiteral("Edit1"), QStringLiteral("Pattern2")));
    QVERIFY(m_driver->allDone());
    QVERIFY(std::all_of(m_values.patternSelection.begin(), m_values.patternSelection.end(),
                        [](std::uint8_t f) { return f == 0; }));

    // Opened again: no marks, the caption as it was left, and still the grid's own drawing.
    m_driver->thenOn(QStringLiteral("Patterns"), [](QWidget *dialog) {
        auto *grid = dialog->findChild<QTableView *>(QStringLiteral("StringGrid4"));
        auto *model = qobject_cast<MarkGridModel *>(grid->model());
        auto *selectAll = dialog->findChild<QPushButton *>(QStringLiteral("Button1"));
        QCOMPARE(model->markedCount(), 0);
        QVERIFY(model->ownDrawing());
        QCOMPARE(selectAll->text(), QStringLiteral("UnSelect All"));
        QTest::mouseClick(selectAll, Qt::LeftButton);
        QCOMPARE(model->markedCount(), 0);
        QCOMPARE(selectAll->text(), QStringLiteral("Select All"));
        dialog->close();
    });
    QVERIFY(chooseMenuItem(form(), QStringLiteral("Edit1"), QStringLiteral("Pattern2")));
    QVERIFY(m_driver->allDone());
    form().DisConnectButtonClick();
}

void PatternWindowsTest::closingPatternsBeforeThePayloadKeepsTheSelection()
{
    m_front->connectPresent(m_state); // PTNS is not in the script: the test answers it
    m_driver->thenOn(QStringLiteral("Patterns"), [](QWidget *dialog) {
        auto *grid = dialog->findChild<QTableView *>(QStringLiteral("StringGrid4"));
        pressCell(grid, 38, 0);
        QTest::mouseClick(dialog->findChild<QPushButton *>(QStringLiteral("Patterns_OK")), Qt::LeftButton);
        dialog->close();
    });
    QVERIFY(chooseMenuItem(form(), QStringLiteral("Edit1"), QStringLiteral("Pattern2")));
    QCOMPARE(m_values.patternSelection[38], 0); // closing cleared the dialog's marks
    // The acknowledgment follows the whole command line.
    QTRY_VERIFY(m_front->port.writtenBytes().size() >= 9);
    m_front->port.queueAnswer("OK\r\n");
    const std::size_t total = 9 + 41 * 3;
    QVERIFY(AppTestSupport::waitUntil([this, total] { return m_front->port.writtenBytes().size() >= total; },
                                      8000));
    std::vector<std::uint8_t> expected = concat({commandLine("PTNS", 41), framed(39)});
    for (int i = 0; i < 38; ++i)
        expected = concat({expected, framed(0)});
    expected = concat({expected, framed(1), framed(0xD8)}); // 39 + 1 + 0xD8 = 0 mod 256
    QCOMPARE(written(), asBytes(expected));
    form().DisConnectButtonClick();
}

QTEST_MAIN(PatternWindowsTest)
#include "PatternWindowsTest.moc"
