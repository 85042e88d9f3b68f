// The program editor, with real clicks and keys.
#include "AppTestSupport.h"
#include "DeviceLinkState.h"
#include "GridCellDelegate.h"
#include "LinkHarness.h"
#include "ModalDriver.h"
#include "ProgramGridModel.h"
#include "SharedValues.h"
#include "WindowTest.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTableView>
#include <QTest>

#include <initializer_list>

using namespace AppTestSupport;

namespace {

QComboBox *programBox(QWidget *editor, int n)
{
    return editor->findChild<QComboBox *>(QStringLiteral("PCBox%1").arg(n));
}

std::array<int, 4> stepOf(ProgramGridModel &model, int gridRow)
{
    const ProgramStep s = model.sequence().step(gridRow - 1);
    return {s.TimingIndex, s.PatternIndex, s.UnitIndex, s.ShowTime};
}

QStringList rowTexts(QTableView *grid, int gridRow)
{
    QStringList texts;
    for (int column = 1; column <= 4; ++column)
        texts << grid->model()->index(gridRow - 1, column).data().toString();
    return texts;
}

} // namespace

class ProgramWindowTest : public WindowTest {
    Q_OBJECT

private slots:
    void initTestCase() { checkFonts(); }
    void init() { startProgram({}); }
    void cleanup() { stopProgram(); }

    void programEditorComposesSteps();
    void programEditorMends();
    void aSecondUpLoadNeverChangesARunningTransfer();

private:
    // Row gridRow of the editor: the four boxes chosen, the show time typed.
    void compose(QWidget *editor, int gridRow, const QString &timing, const QString &pattern,
                 const QString &unit, const QString &showTime);
};

void ProgramWindowTest::compose(QWidget *editor, int gridRow, const QString &timing, const QString &pattern,
                                const QString &unit, const QString &showTime)
{
    pressCell(editor->findChild<QTableView *>(QStringLiteral("StringGrid5")), gridRow - 1, 2);
    QVERIFY(chooseFromList(programBox(editor, 1), timing));
    QVERIFY(chooseFromList(programBox(editor, 2), pattern));
    QVERIFY(chooseFromList(programBox(editor, 3), unit));
    QVERIFY(typeInto(programBox(editor, 4), showTime));
}

void ProgramWindowTest::programEditorComposesSteps()
{
    m_driver->thenOn(QStringLiteral("Programmer_Form"), [this](QWidget *editor) {
        QCOMPARE(editor->windowTitle(), QStringLiteral("Program"));
        QCOMPARE(editor->frameGeometry().size(), QSize(661, 414));
        auto *grid = editor->findChild<QTableView *>(QStringLiteral("StringGrid5"));
        auto &model = *qobject_cast<ProgramGridModel *>(grid->model());
        const QColor window = grid->palette().color(QPalette::Base);
        QCOMPARE(editor->findChild<QLabel *>(QStringLiteral("Label1"))->text(), QStringLiteral("Timing "));
        QCOMPARE(editor->findChild<QLabel *>(QStringLiteral("Label5"))->text(),
                 QStringLiteral("Note.  For every timing pattern have to shown at least 3 seconds"));
        QCOMPARE(programBox(editor, 2)->count(), 39);
        QCOMPARE(programBox(editor, 2)->itemText(24), QStringLiteral("Pluge        "));
        const QStringList firstEntries = {
            programBox(editor, 1)->currentText(), programBox(editor, 2)->currentText(),
            programBox(editor, 3)->currentText(), programBox(editor, 4)->currentText()};
        QCOMPARE(firstEntries, (QStringList{"640x480-60", "White", "Second", "1"}));
        QCOMPARE(grid->currentIndex(), model.index(0, 0));
        QCOMPARE(cellPixel(grid, 0, 0), kActiveCaptionColour);
        QCOMPARE(cellPixel(grid, 1, 2), window);

        // Right after opening there is nothing to upload.
        auto *upload = editor->findChild<QPushButton *>(QStringLiteral("Button1"));
        QTest::mouseClick(upload, Qt::LeftButton);
        QTRY_COMPARE(m_driver->messages, QStringList{QStringLiteral("There is no legal item")});

        compose(editor, 1, QStringLiteral("800x600-60"), QStringLiteral("Red"), QStringLiteral("Minute"),
                QStringLiteral("5"));
        QCOMPARE(stepOf(model, 1), (std::array<int, 4>{5, 2, 1, 5}));
        QCOMPARE(rowTexts(grid, 1), (QStringList{"800x600-60", "Red", "Minute", "5"}));
        // Escape, from the grid or a box, closes nothing and keeps the row.
        for (QWidget *focus : std::initializer_list<QWidget *>{grid, programBox(editor, 4)->lineEdit()})
            QTest::keyClick(focus, Qt::Key_Escape);
        QVERIFY(editor->isVisible());
        QCOMPARE(rowTexts(grid, 1), (QStringList{"800x600-60", "Red", "Minute", "5"}));

        // Row 2: the show-time box shows "5" but was never changed here.
        pressCell(grid, 1, 3);
        QVERIFY(chooseFromList(programBox(editor, 1), QStringLiteral("800x600-60")));
        QVERIFY(chooseFromList(programBox(editor, 2), QStringLiteral("Red")));
        QVERIFY(chooseFromList(programBox(editor, 3), QStringLiteral("Minute")));
        QCOMPARE(stepOf(model, 2), (std::array<int, 4>{5, 2, 1, 255}));
        QCOMPARE(rowTexts(grid, 2), (QStringList{"800x600-60", "Red", "Minute", "       "}));
        QCOMPARE(cellPixel(grid, 1, 0), kActiveCaptionColour);
        QCOMPARE(cellPixel(grid, 0, 0), window);
        // The Delete key empties the edited row.
        QTest::keyClick(grid, Qt::Key_Delete);
        QCOMPARE(stepOf(model, 2), (std::array<int, 4>{255, 255, 255, 255}));
        QCOMPARE(rowTexts(grid, 2), (QStringList{"   ", "   ", "   ", "   "}));

        // The arrow keys move the grid's current cell, not the edited row.
        pressCell(grid, 2, 1);
        QTest::keyClick(grid, Qt::Key_Down);
        QTest::keyClick(grid, Qt::Key_Down);
        QCOMPARE(grid->currentIndex().row(), 4);
        QCOMPARE(model.editRow(), 3);
        QVERIFY(typeInto(programBox(editor, 4), QStringLiteral("9")));
        QCOMPARE(rowTexts(grid, 3).last(), QStringLiteral("9"));
        QCOMPARE(rowTexts(grid, 5).last(), QStringLiteral("       "));
        QCOMPARE(cellPixel(grid, 2, 2), kActiveCaptionColour);
        QCOMPARE(cellPixel(grid, 4, 2), window);
        editor->close();
    });
    QVERIFY(chooseMenuItem(form(), QStringLiteral("Edit1"), QStringLiteral("Program1")));
    QVERIFY(m_driver->allDone());

    // Opened again: an empty program, the boxes as they were left; rows 3 and 7 then become
    // slots 0 and 1.
    m_front->connectPresent(m_state);
    m_driver->thenOn(QStringLiteral("Programmer_Form"), [this](QWidget *editor) {
        auto *grid = editor->findChild<QTableView *>(QStringLiteral("StringGrid5"));
        auto &model = *qobject_cast<ProgramGridModel *>(grid->model());
        QCOMPARE(model.editRow(), 1);
        QCOMPARE(rowTexts(grid, 1), (QStringList{"       ", "       ", "       ", "       "}));
        QCOMPARE(stepOf(model, 1), (std::array<int, 4>{255, 255, 255, 255}));
        QCOMPARE(programBox(editor, 2)->currentText(), QStringLiteral("Red"));
        QCOMPARE(programBox(editor, 4)->currentText(), QStringLiteral("9"));
        compose(editor, 3, QStringLiteral("640x480-60"), QStringLiteral("Multi-Burst  "),
                QStringLiteral("Second"), QStringLiteral("1"));
        compose(editor, 7, QStringLiteral("1920x1080P-50"), QStringLiteral("HDCP-Produce"),
                QStringLiteral("Minute"), QStringLiteral("59"));
        QTest::mouseClick(editor->findChild<QPushButton *>(QStringLiteral("Button1")), Qt::LeftButton);
        QTRY_COMPARE(written(), asBytes(commandLine("ATRN", 130)));
        editor->close();
    });
    QVERIFY(chooseMenuItem(form(), QStringLiteral("Edit1"), QStringLiteral("Program1")));
    QVERIFY(m_driver->allDone());
    QCOMPARE(m_front->program.programmerForm().validStepCount(), 2);
    const auto &image = m_values.ProgramUploadImage;
    QCOMPARE((std::array<int, 4>{image[0], image[32], image[64], image[96]}),
             (std::array<int, 4>{0, 23, 0, 1}));
    QCOMPARE((std::array<int, 4>{image[1], image[33], image[65], image[97]}),
             (std::array<int, 4>{34, 38, 1, 59}));
    QCOMPARE(std::count(image.begin(), image.end(), 255), 4 * 30);
    form().DisConnectButtonClick();
}

void ProgramWindowTest::programEditorMends()
{
    m_driver->thenOn(QStringLiteral("Programmer_Form"), [this](QWidget *editor) {
        auto *grid = editor->findChild<QTableView *>(QStringLiteral("StringGrid5"));
        auto &model = *qobject_cast<ProgramGridModel *>(grid->model());
        compose(editor, 1, QStringLiteral("800x600-60"), QStringLiteral("Red"), QStringLiteral("Minute"),
                QStringLiteral("261"));
        // Not 5, its low 8 bits: no show time at all, and the cell shows none.
        QCOMPARE(stepOf(model, 1), (std::array<int, 4>{5, 2, 1, 255}));
        QCOMPARE(rowTexts(grid, 1).last(), QStringLiteral("   "));
        QTest::mouseClick(editor->findChild<QPushButton *>(QStringLiteral("Button1")), Qt::LeftButton);
        QTRY_COMPARE(m_driver->messages, QStringList{QStringLiteral("There is no legal item")});

        // An emptied box is still being typed in; text that is no whole number is reported.
        QVERIFY(typeInto(programBox(editor, 4), QStringLiteral("12")));
        QVERIFY(typeInto(programBox(editor, 4), QString()));
        QTest::qWait(100);
        QCOMPARE(m_driver->messages.size(), 1);
        QCOMPARE(stepOf(model, 1).back(), 12);
        QVERIFY(typeInto(programBox(editor, 4), QStringLiteral("5a")));
        QTRY_COMPARE(m_driver->messages.size(), 2);
        QCOMPARE(m_driver->messages.last(), QStringLiteral("'5a' is not a valid integer value."));
        QCOMPARE(m_driver->icons.last(), static_cast<int>(QMessageBox::Critical));
        QCOMPARE(stepOf(model, 1).back(), 5); // "5" was stored on the way
        QCOMPARE(rowTexts(grid, 1).last(), QStringLiteral("5"));

        // Typed text that names no entry: the cell is emptied with the field.
        QVERIFY(typeInto(programBox(editor, 2), QStringLiteral("Purple")));
        QVERIFY(typeInto(programBox(editor, 3), QStringLiteral("Hour")));
        QCOMPARE(stepOf(model, 1), (std::array<int, 4>{5, 255, 255, 5}));
        QCOMPARE(rowTexts(grid, 1), (QStringList{"800x600-60", "   ", "   ", "5"}));
        // Typed names that do: any case, completed to the entry.
        QVERIFY(typeInto(programBox(editor, 2), QStringLiteral("gray256-b")));
        QCOMPARE(rowTexts(grid, 1)[1], QStringLiteral("Gray256-Blue"));
        QCOMPARE(stepOf(model, 1)[1], 29);
        editor->close();
    });
    QVERIFY(chooseMenuItem(form(), QStringLiteral("Edit1"), QStringLiteral("Program1")));
    QVERIFY(m_driver->allDone());
}

void ProgramWindowTest::aSecondUpLoadNeverChangesARunningTransfer()
{
    m_front->connectPresent(m_state); // ATRN is not in the script: the test answers it
    m_driver->thenOn(QStringLiteral("Programmer_Form"), [this](QWidget *editor) {
        auto *grid = editor->findChild<QTableView *>(QStringLiteral("StringGrid5"));
        auto *upload = editor->findChild<QPushButton *>(QStringLiteral("Button1"));
        compose(editor, 1, QStringLiteral("800x600-60"), QStringLiteral("Red"), QStringLiteral("Minute"),
                QStringLiteral("5"));
        QTest::mouseClick(upload, Qt::LeftButton);
        QTRY_COMPARE(written(), asBytes(commandLine("ATRN", 130)));
        // Emptied meanwhile: refused with its message, and the transfer keeps its program.
        QTest::keyClick(grid, Qt::Key_Delete);
        QTest::mouseClick(upload, Qt::LeftButton);
        QTRY_COMPARE(m_driver->messages, QStringList{QStringLiteral("There is no legal item")});
        // Another program meanwhile: refused by the start rule, and the same.
        compose(editor, 2, QStringLiteral("640x480-60"), QStringLiteral("White"), QStringLiteral("Second"),
                QStringLiteral("3"));
        QTest::mouseClick(upload, Qt::LeftButton);
        QCOMPARE(written(), asBytes(commandLine("ATRN", 130)));
        editor->close();
    });
    QVERIFY(chooseMenuItem(form(), QStringLiteral("Edit1"), QStringLiteral("Program1")));
    QVERIFY(m_driver->allDone());
    m_front->port.queueAnswer("OK\r\n");
    // The count and the first two slots are enough to tell the programs apart.
    const std::size_t upToSlot1 = 9 + 9 * 3;
    QVERIFY(AppTestSupport::waitUntil(
        [this, upToSlot1] { return m_front->port.writtenBytes().size() >= upToSlot1; }, 5000));
    const auto expected = concat({commandLine("ATRN", 130), framed(32), framed(5), framed(2), framed(1),
                                  framed(5), framed(255), framed(255), framed(255), framed(255)});
    QCOMPARE(written().left(static_cast<qsizetype>(upToSlot1)), asBytes(expected));
    form().DisConnectButtonClick();
}

QTEST_MAIN(ProgramWindowTest)
#include "ProgramWindowTest.moc"
