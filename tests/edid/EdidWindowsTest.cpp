// The EDID Memory window, File > Open and Save As, and the EDID menu, with real clicks and keys,
// on the emulator's engine in-process.
#include "AppTestSupport.h"
#include "DeviceLinkState.h"
#include "EdidGridModel.h"
#include "EdidHex.h"
#include "EngineSerialLibrary.h"
#include "FastForwardClock.h"
#include "FileSizeLimit.h"
#include "LinkHarness.h"
#include "ModalDriver.h"
#include "ProgramTitle.h"
#include "SgxProgram.h"
#include "SharedValues.h"

#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFile>
#include <QFileDialog>
#include <QHeaderView>
#include <QInputMethodEvent>
#include <QLineEdit>
#include <QListView>
#include <QMessageBox>
#include <QMimeData>
#include <QPushButton>
#include <QScrollBar>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

using namespace AppTestSupport;

namespace {

// The whole program on the emulator's engine, paced without the waits.
struct EngineProgram {
    EngineProgram(DeviceLinkState &state, SharedValues &values)
        : program(state, values, port, clock), form(program.mainForm())
    {
    }
    void connectPresent(DeviceLinkState &state)
    {
        QVERIFY(!program.deviceLink().OpenLink(0));
        state.portOpen = 1;
        state.devicePresent = 1;
    }
    [[nodiscard]] std::vector<std::uint8_t> written() const
    {
        std::vector<std::uint8_t> bytes;
        for (const auto &w : port.written())
            bytes.push_back(w.byte);
        return bytes;
    }

    FastForwardClock clock;
    EngineSerialLibrary port{clock};
    SgxProgram program;
    TMainForm &form;
};

EdidBytes counting()
{
    EdidBytes bytes{};
    for (std::size_t i = 0; i < bytes.size(); ++i)
        bytes[i] = static_cast<std::uint8_t>(i);
    return bytes;
}

EdidBytes fileEdid(const QString &path)
{
    QFile file(path);
    EdidBytes bytes{};
    if (file.open(QIODevice::ReadOnly)) {
        const QByteArray data = file.read(kEdidSize);
        std::copy(data.begin(), data.end(), bytes.begin());
    }
    return bytes;
}

QByteArray fileBytes(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
}

void writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    QCOMPARE(file.write(bytes), bytes.size());
}

// The Memory window's grid, counted as the operator sees it: row and column 0 are the headings.
class MemoryGrid {
public:
    explicit MemoryGrid(QWidget *dialog)
        : m_dialog(dialog), m_grid(dialog->findChild<QTableView *>(QStringLiteral("StringGrid1")))
    {
    }
    [[nodiscard]] QTableView *view() const { return m_grid; }
    [[nodiscard]] QString cell(int row, int column) const
    {
        return m_grid->model()->index(row - 1, column - 1).data().toString();
    }
    [[nodiscard]] QPoint centre(int row, int column) const
    {
        return m_grid->visualRect(m_grid->model()->index(row - 1, column - 1)).center();
    }
    void click(int row, int column, Qt::MouseButton button = Qt::LeftButton) const
    {
        QTest::mouseClick(m_grid->viewport(), button, {}, centre(row, column));
    }
    [[nodiscard]] QPoint current() const
    {
        const QModelIndex index = m_grid->currentIndex();
        return {index.column() + 1, index.row() + 1};
    }
    // To whatever has the window's focus, the cell editor once it is open.
    void type(const QString &text) const
    {
        for (QChar c : text)
            QTest::keyClick(m_dialog->focusWidget(), c.toLatin1());
    }
    void key(Qt::Key key, Qt::KeyboardModifiers modifiers = {}) const
    {
        QTest::keyClick(m_dialog->focusWidget(), key, modifiers);
    }
    // Enter ends the editing once the message loop has run.
    void closeEditor() const
    {
        key(Qt::Key_Return);
        QTRY_VERIFY(editor() == nullptr);
    }
    [[nodiscard]] QLineEdit *editor() const
    {
        // A closed one may linger, hidden, until the loop deletes it.
        for (QLineEdit *edit : m_grid->findChildren<QLineEdit *>(QStringLiteral("CellEditor")))
            if (edit->isVisible())
                return edit;
        return nullptr;
    }
    void pressOk() const
    {
        QTest::mouseClick(m_dialog->findChild<QPushButton *>(QStringLiteral("Button1")), Qt::LeftButton);
    }

private:
    QWidget *m_dialog;
    QTableView *m_grid;
};

// Types a name into an open file dialog and presses its Open or Save button.
void chooseFile(QWidget *dialog, const QString &path)
{
    auto *name = dialog->findChild<QLineEdit *>(QStringLiteral("fileNameEdit"));
    QVERIFY(name != nullptr);
    name->setFocus();
    name->selectAll();
    QTest::keyClicks(name, path);
    if (QWidget *completion = QApplication::activePopupWidget())
        completion->close();
    auto *buttons = dialog->findChild<QDialogButtonBox *>(QStringLiteral("buttonBox"));
    QPushButton *accept = buttons->button(QDialogButtonBox::Open);
    if (accept == nullptr)
        accept = buttons->button(QDialogButtonBox::Save);
    QVERIFY(accept != nullptr && accept->isEnabled());
    QTest::mouseClick(accept, Qt::LeftButton);
}

QStringList listedFiles(QFileDialog *dialog)
{
    auto *list = dialog->findChild<QListView *>(QStringLiteral("listView"));
    QStringList names;
    for (int row = 0; row < list->model()->rowCount(list->rootIndex()); ++row)
        names << list->model()->index(row, 0, list->rootIndex()).data().toString();
    names.sort();
    return names;
}

} // namespace

class EdidWindowsTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void memoryWindowShowsTheBufferUnderItsHeadings();
    void typingKeepsACellToTwoUpperCaseDigits();
    void clicksAndArrowKeysNormalise();
    void closeBoxDropsTheEditsAndOkStoresThemAll();
    void okWithAnEmptiedCellStoresNothing();
    void openShowsTheFileAndSaveAsWritesTheBuffer();
    void allFilesShowsNamesWithoutADot();
    void fileFailuresLeaveBufferAndFileAlone();
    void dialogsOpenedDuringAnUploadDoNotHoldItUp();
    void readEdidFillsTheGrid();
    void uploadAfterStartUpSendsZerosAndWriteReports();

private:
    TMainForm &form() { return m_front->form; }
    // Opens EDID > Memory and runs act in it; the window is left for act to close.
    void inMemoryWindow(const std::function<void(QWidget *, MemoryGrid &)> &act);
    bool waitForMessages(int count)
    {
        return QTest::qWaitFor([this, count] { return m_driver->messages.size() >= count; }, 20000);
    }

    DeviceLinkState m_state;
    SharedValues m_values;
    std::unique_ptr<EngineProgram> m_front;
    std::unique_ptr<ModalDriver> m_driver;
    QTemporaryDir m_dir;
};

void EdidWindowsTest::initTestCase()
{
    quietenPlatformWarnings();
    QVERIFY2(metricFontProblem().isEmpty(), qPrintable(metricFontProblem()));
    // The file dialog keeps its history in the user's settings; keep the tests' out of them.
    qputenv("XDG_CONFIG_HOME", m_dir.filePath(QStringLiteral("config")).toLocal8Bit());
}

void EdidWindowsTest::init()
{
    m_state = DeviceLinkState();
    m_values = SharedValues();
    m_front = std::make_unique<EngineProgram>(m_state, m_values);
    m_driver = std::make_unique<ModalDriver>();
    m_front->program.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form()));
}

void EdidWindowsTest::cleanup()
{
    m_driver.reset();
    m_front.reset();
}

void EdidWindowsTest::inMemoryWindow(const std::function<void(QWidget *, MemoryGrid &)> &act)
{
    bool ran = false;
    m_driver->thenOn(QStringLiteral("EDID_Block"), [&](QWidget *dialog) {
        // Keys go where the operator's would: into the active window's focus widget.
        dialog->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(dialog));
        MemoryGrid grid(dialog);
        ran = true;
        act(dialog, grid);
    });
    QVERIFY(chooseMenuItem(form(), QStringLiteral("EDID"), QStringLiteral("EDID_Memorys")));
    QVERIFY(ran);
    QVERIFY(!m_front->program.edidBlock().isVisible());
}

void EdidWindowsTest::memoryWindowShowsTheBufferUnderItsHeadings()
{
    m_values.EdidBuffer = counting();
    inMemoryWindow([](QWidget *dialog, MemoryGrid &grid) {
        QCOMPARE(dialog->windowTitle(), QStringLiteral("EDID Memory"));
        QCOMPARE(dialog->frameGeometry(), QRect(237, 157, 625, 467));
        const Qt::WindowFlags flags = dialog->windowFlags();
        QVERIFY(flags.testFlag(Qt::WindowCloseButtonHint));
        QVERIFY(!flags.testFlag(Qt::WindowMinimizeButtonHint) &&
                !flags.testFlag(Qt::WindowMaximizeButtonHint));
        QVERIFY(dialog->minimumSize() != dialog->maximumSize()); // sizeable
        QTableView *view = grid.view();
        QCOMPARE(view->geometry(), QRect(8, 8, 601, 385));
        QCOMPARE(QFontInfo(view->font()).family(), QStringLiteral("Liberation Sans"));
        QCOMPARE(view->font().pixelSize(), 13);
        auto *ok = dialog->findChild<QPushButton *>(QStringLiteral("Button1"));
        QCOMPARE(ok->text(), QStringLiteral("OK"));
        QCOMPARE(ok->geometry(), QRect(504, 400, 81, 25));
        QCOMPARE(ok->font().pixelSize(), 16);

        // Headings across and down, the corner empty; every cell in view, no scroll bar.
        QHeaderView *across = view->horizontalHeader();
        QHeaderView *down = view->verticalHeader();
        QVERIFY(across->isVisible() && down->isVisible());
        QCOMPARE(down->width(), 34);
        QCOMPARE(across->height(), 21);
        QCOMPARE(across->sectionResizeMode(0), QHeaderView::Fixed);
        QCOMPARE(down->sectionResizeMode(0), QHeaderView::Fixed);
        QVERIFY(!across->sectionsMovable() && !down->sectionsMovable());
        for (int i = 0; i < 16; ++i) {
            const QString heading = QStringLiteral(" 0%1").arg(QString::number(i, 16).toUpper());
            QCOMPARE(view->model()->headerData(i, Qt::Horizontal).toString(), heading);
            QCOMPARE(view->model()->headerData(i, Qt::Vertical).toString(), heading);
            QCOMPARE(view->columnWidth(i), 34);
            QCOMPARE(view->rowHeight(i), 21);
        }
        QVERIFY(!view->verticalScrollBar()->isVisible() && !view->horizontalScrollBar()->isVisible());
        QVERIFY(view->viewport()->rect().contains(grid.centre(16, 16) + QPoint(16, 9)));

        for (int row = 1; row <= 16; ++row)
            for (int column = 1; column <= 16; ++column)
                QCOMPARE(grid.cell(row, column),
                         EdidHex::byteText(static_cast<std::uint8_t>((row - 1) * 16 + column - 1)));
        QCOMPARE(grid.cell(2, 3), QStringLiteral("12"));
        QCOMPARE(grid.current(), QPoint(1, 1));
        QCOMPARE(dialog->focusWidget(), view);
        dialog->close();
    });
}

void EdidWindowsTest::typingKeepsACellToTwoUpperCaseDigits()
{
    inMemoryWindow([](QWidget *dialog, MemoryGrid &grid) {
        // The editor opens on the first character, which replaces the selected "00".
        grid.type(QStringLiteral("a"));
        QLineEdit *editor = grid.editor();
        QVERIFY(editor != nullptr);
        QCOMPARE(grid.cell(1, 1), QStringLiteral("A"));
        grid.type(QStringLiteral("5"));
        QCOMPARE(grid.cell(1, 1), QStringLiteral("A5"));
        grid.type(QStringLiteral("7"));
        QCOMPARE(grid.cell(1, 1), QStringLiteral("A5"));
        grid.key(Qt::Key_Backspace);
        grid.type(QStringLiteral("c"));
        QCOMPARE(grid.cell(1, 1), QStringLiteral("AC"));
        grid.key(Qt::Key_Backspace);
        grid.type(QStringLiteral("g- "));
        QCOMPARE(grid.cell(1, 1), QStringLiteral("A"));
        grid.type(QStringLiteral("C"));
        QCOMPARE(editor->text(), QStringLiteral("AC"));

        // Opened by F2 the whole text is selected and the first character skips the length
        // test; with the cursor moved first, the editor itself refuses a third digit.
        const auto shown = [&] {
            return editor->text() == grid.cell(1, 1) ? editor->text() : QStringLiteral("<editor differs>");
        };
        grid.closeEditor();
        grid.key(Qt::Key_F2);
        editor = grid.editor();
        QVERIFY(editor != nullptr);
        QCOMPARE(editor->selectedText(), QStringLiteral("AC"));
        grid.key(Qt::Key_End);
        grid.type(QStringLiteral("C"));
        QCOMPARE(shown(), QStringLiteral("AC"));
        grid.closeEditor();
        grid.key(Qt::Key_F2);
        editor = grid.editor();
        QTest::mouseClick(editor, Qt::LeftButton, {}, QPoint(1, editor->height() / 2));
        grid.type(QStringLiteral("9"));
        QCOMPARE(shown(), QStringLiteral("AC"));

        // Pastes, drops and input methods pass the same rules.
        QGuiApplication::clipboard()->setText(QStringLiteral("1G3"));
        editor->selectAll();
        editor->paste();
        QCOMPARE(shown(), QStringLiteral("AC"));
        QGuiApplication::clipboard()->setText(QStringLiteral("3e"));
        editor->selectAll();
        editor->paste();
        QCOMPARE(shown(), QStringLiteral("3E"));
        grid.key(Qt::Key_End);
        editor->paste();
        QCOMPARE(shown(), QStringLiteral("3E"));
        grid.key(Qt::Key_Backspace);
        grid.key(Qt::Key_Backspace);
        QCOMPARE(shown(), QString());
        QMimeData dropped;
        dropped.setText(QStringLiteral("fff"));
        QDragEnterEvent enter(QPoint(1, 1), Qt::CopyAction, &dropped, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(editor, &enter);
        QDropEvent drop(QPointF(1, 1), Qt::CopyAction, &dropped, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(editor, &drop);
        QCOMPARE(shown(), QStringLiteral("FF"));
        editor->selectAll();
        QInputMethodEvent composed;
        composed.setCommitString(QStringLiteral("zz"));
        QCoreApplication::sendEvent(editor, &composed);
        QCOMPARE(shown(), QStringLiteral("FF"));
        editor->selectAll();
        QInputMethodEvent digits;
        digits.setCommitString(QStringLiteral("b7d"));
        QCoreApplication::sendEvent(editor, &digits);
        QCOMPARE(shown(), QStringLiteral("B7"));
        dialog->close();
    });
    QCOMPARE(m_values.EdidBuffer, EdidBytes{});
}

void EdidWindowsTest::clicksAndArrowKeysNormalise()
{
    inMemoryWindow([](QWidget *dialog, MemoryGrid &grid) {
        grid.type(QStringLiteral("7"));
        grid.click(3, 3);
        QCOMPARE(grid.cell(1, 1), QStringLiteral("07"));
        QCOMPARE(grid.current(), QPoint(3, 3));

        grid.key(Qt::Key_F2);
        grid.key(Qt::Key_Backspace);
        QCOMPARE(grid.cell(3, 3), QString());
        grid.key(Qt::Key_Down);
        QCOMPARE(grid.cell(3, 3), QStringLiteral("00"));
        QCOMPARE(grid.current(), QPoint(3, 4));

        // Left inside the editor, a right-button press, a press on a heading.
        grid.type(QStringLiteral("5"));
        grid.key(Qt::Key_Left);
        QCOMPARE(grid.cell(4, 3), QStringLiteral("05"));
        grid.closeEditor();
        grid.type(QStringLiteral("e"));
        grid.click(9, 9, Qt::RightButton);
        QCOMPARE(grid.cell(4, 3), QStringLiteral("0E"));
        QCOMPARE(grid.current(), QPoint(3, 4));
        grid.closeEditor();
        grid.type(QStringLiteral("1"));
        QHeaderView *down = grid.view()->verticalHeader();
        QTest::mouseClick(down->viewport(), Qt::LeftButton, {},
                          QPoint(10, down->sectionViewportPosition(7) + 5));
        QCOMPARE(grid.cell(4, 3), QStringLiteral("01"));
        QCOMPARE(grid.current(), QPoint(3, 4));
        dialog->close();
    });
}

void EdidWindowsTest::closeBoxDropsTheEditsAndOkStoresThemAll()
{
    m_values.EdidBuffer = counting();
    inMemoryWindow([](QWidget *dialog, MemoryGrid &grid) {
        grid.type(QStringLiteral("ff"));
        QCOMPARE(grid.cell(1, 1), QStringLiteral("FF"));
        dialog->close();
    });
    QCOMPARE(m_values.EdidBuffer, counting());

    // Byte 127 is row 8, column 16.
    inMemoryWindow([](QWidget *dialog, MemoryGrid &grid) {
        QCOMPARE(grid.cell(1, 1), QStringLiteral("00"));
        grid.click(8, 16);
        grid.type(QStringLiteral("ff"));
        grid.pressOk();
        QVERIFY(!dialog->isVisible());
    });
    EdidBytes expected = counting();
    expected[127] = 0xFF;
    QCOMPARE(m_values.EdidBuffer, expected);
    QVERIFY(m_driver->messages.isEmpty());
}

void EdidWindowsTest::okWithAnEmptiedCellStoresNothing()
{
    m_values.EdidBuffer = counting();
    inMemoryWindow([this](QWidget *dialog, MemoryGrid &grid) {
        grid.type(QStringLiteral("34")); // byte 0, before the emptied cell
        grid.closeEditor();
        grid.click(2, 5);
        grid.key(Qt::Key_F2);
        grid.key(Qt::Key_Backspace);
        grid.pressOk();
        QCOMPARE(m_driver->messages, QStringList{QStringLiteral("'0x' is not a valid integer value.")});
        QCOMPARE(m_driver->icons, QList<int>{QMessageBox::Critical});
        QCOMPARE(m_driver->titles, QStringList{programTitle()});
        QCOMPARE(m_driver->buttonCounts, QList<int>{1});
        QVERIFY(dialog->isVisible());
        QCOMPARE(m_values.EdidBuffer, counting());

        // Back to the grid by the keyboard, so nothing normalises the empty cell.
        QTest::keyClick(dialog->focusWidget(), Qt::Key_Backtab, Qt::ShiftModifier);
        QCOMPARE(dialog->focusWidget(), grid.view());
        grid.type(QStringLiteral("5"));
        QCOMPARE(grid.cell(2, 5), QStringLiteral("5"));
        grid.pressOk();
        QVERIFY(!dialog->isVisible());
    });
    EdidBytes expected = counting();
    expected[0] = 0x34;
    expected[0x14] = 0x05;
    QCOMPARE(m_values.EdidBuffer, expected);
    QCOMPARE(m_driver->messages.size(), 1);
}

void EdidWindowsTest::openShowsTheFileAndSaveAsWritesTheBuffer()
{
    const QString twoBytes = m_dir.filePath(QStringLiteral("two.bin"));
    writeFile(twoBytes, QByteArray("\x00\xff", 2));
    m_values.EdidBuffer.fill(0x11);
    m_driver->thenOn(QStringLiteral("OpenDialog1"), [&](QWidget *dialog) {
        auto *filters = dialog->findChild<QComboBox *>(QStringLiteral("fileTypeCombo"));
        QCOMPARE(filters->count(), 2);
        QCOMPARE(filters->itemText(0), QStringLiteral("Binary Files"));
        QCOMPARE(filters->itemText(1), QStringLiteral("All Files"));
        QCOMPARE(filters->currentIndex(), 0);
        chooseFile(dialog, twoBytes);
    });
    QTest::keyClick(&form(), Qt::Key_O, Qt::ControlModifier);
    QVERIFY(m_driver->allDone());
    QCOMPARE(m_values.EdidBuffer[0], 0x00);
    QCOMPARE(m_values.EdidBuffer[1], 0xFF);
    QCOMPARE(m_values.EdidBuffer[2], 0x11);
    QCOMPARE(m_values.EdidBuffer[255], 0x11);

    inMemoryWindow([](QWidget *dialog, MemoryGrid &grid) {
        QCOMPARE(grid.cell(1, 1), QStringLiteral("00"));
        QCOMPARE(grid.cell(1, 2), QStringLiteral("FF"));
        QCOMPARE(grid.cell(1, 3), QStringLiteral("11"));
        grid.click(8, 16);
        grid.type(QStringLiteral("fF"));
        grid.pressOk();
        QVERIFY(!dialog->isVisible());
    });

    // Saved under exactly the name typed, with no question about replacing it the second time.
    const QString saved = m_dir.filePath(QStringLiteral("saved"));
    for (int round = 0; round < 2; ++round) {
        m_driver->thenOn(QStringLiteral("SaveDialog1"), [&](QWidget *dialog) {
            auto *filters = dialog->findChild<QComboBox *>(QStringLiteral("fileTypeCombo"));
            QCOMPARE(filters->itemText(0), QStringLiteral("Binary files"));
            QCOMPARE(filters->itemText(1), QStringLiteral("All files"));
            QCOMPARE(filters->currentIndex(), 0);
            chooseFile(dialog, saved);
        });
        QVERIFY(chooseMenuItem(form(), QStringLiteral("File1"), QStringLiteral("FileSaveAsItem")));
        QVERIFY(m_driver->allDone());
    }
    QVERIFY(m_driver->messages.isEmpty());
    QVERIFY(!QFile::exists(saved + QStringLiteral(".bin")));
    const QByteArray file = fileBytes(saved);
    QCOMPARE(file.size(), 256);
    QCOMPARE(static_cast<std::uint8_t>(file[127]), 0xFF);
    QCOMPARE(fileEdid(saved), m_values.EdidBuffer);

    // And back.
    const EdidBytes before = m_values.EdidBuffer;
    m_values.EdidBuffer = EdidBytes{};
    m_driver->thenOn(QStringLiteral("OpenDialog1"), [&](QWidget *dialog) { chooseFile(dialog, saved); });
    QVERIFY(chooseMenuItem(form(), QStringLiteral("File1"), QStringLiteral("FileOpenItem")));
    QCOMPARE(m_values.EdidBuffer, before);
}

void EdidWindowsTest::allFilesShowsNamesWithoutADot()
{
    QTemporaryDir folder;
    for (const char *name : {"edid.bin", "plain", "notes.txt"})
        writeFile(folder.filePath(QString::fromLatin1(name)), "x");
    m_values.EdidBuffer = counting();
    m_driver->thenOn(QStringLiteral("OpenDialog1"), [&](QWidget *widget) {
        auto *dialog = qobject_cast<QFileDialog *>(widget);
        dialog->setDirectory(folder.path());
        QTRY_COMPARE(listedFiles(dialog), QStringList{QStringLiteral("edid.bin")});
        auto *filters = dialog->findChild<QComboBox *>(QStringLiteral("fileTypeCombo"));
        filters->setFocus();
        QTest::keyClick(filters, Qt::Key_Down);
        QCOMPARE(filters->currentText(), QStringLiteral("All Files"));
        QTRY_COMPARE(
            listedFiles(dialog),
            (QStringList{QStringLiteral("edid.bin"), QStringLiteral("notes.txt"), QStringLiteral("plain")}));
        dialog->reject();
    });
    QVERIFY(chooseMenuItem(form(), QStringLiteral("File1"), QStringLiteral("FileOpenItem")));
    QCOMPARE(m_values.EdidBuffer, counting()); // cancelled: nothing changes

    // The next showing starts from the first entry again.
    m_driver->thenOn(QStringLiteral("OpenDialog1"), [&](QWidget *dialog) {
        QCOMPARE(dialog->findChild<QComboBox *>(QStringLiteral("fileTypeCombo"))->currentIndex(), 0);
        qobject_cast<QFileDialog *>(dialog)->reject();
    });
    QVERIFY(chooseMenuItem(form(), QStringLiteral("File1"), QStringLiteral("FileOpenItem")));
    QVERIFY(m_driver->allDone());
}

void EdidWindowsTest::fileFailuresLeaveBufferAndFileAlone()
{
    m_values.EdidBuffer = counting();
    const auto open = [this](const QString &path) {
        m_driver->thenOn(QStringLiteral("OpenDialog1"),
                         [path](QWidget *dialog) { chooseFile(dialog, path); });
        QVERIFY(chooseMenuItem(form(), QStringLiteral("File1"), QStringLiteral("FileOpenItem")));
    };
    const auto save = [this](const QString &path) {
        m_driver->thenOn(QStringLiteral("SaveDialog1"),
                         [path](QWidget *dialog) { chooseFile(dialog, path); });
        QVERIFY(chooseMenuItem(form(), QStringLiteral("File1"), QStringLiteral("FileSaveAsItem")));
    };
    const QString error = QStringLiteral("Open file error");

    open(m_dir.filePath(QStringLiteral("missing.bin")));
    QCOMPARE(m_driver->messages, QStringList{error});
    QCOMPARE(m_values.EdidBuffer, counting());

    // A base block alone replaces the first 128 bytes.
    const QString shortFile = QStringLiteral(SGX_TEST_DATA "/dell-2408wfp-dp.bin");
    open(shortFile);
    QCOMPARE(m_driver->messages.size(), 1);
    EdidBytes expected = counting();
    const EdidBytes base = fileEdid(shortFile);
    std::copy_n(base.begin(), 128, expected.begin());
    QCOMPARE(m_values.EdidBuffer, expected);

    // A folder that cannot be written to (as root, only one that cannot exist stops a write).
    const QString plain = m_dir.filePath(QStringLiteral("plain"));
    writeFile(plain, "old");
    save(plain + QStringLiteral("/edid.bin"));
    QCOMPARE(m_driver->messages, (QStringList{error, error}));

    // A write that fails part-way, as on a full disk: the old file stays as it was.
    const QString monitor = m_dir.filePath(QStringLiteral("monitor.bin"));
    const QByteArray old = fileBytes(QStringLiteral(SGX_TEST_DATA "/asus-vw246-hdmi.bin"));
    writeFile(monitor, old);
    {
        FileSizeLimit limit(100);
        save(monitor);
    }
    QCOMPARE(m_driver->messages, (QStringList{error, error, error}));
    QCOMPARE(fileBytes(monitor), old);
    QCOMPARE(m_values.EdidBuffer, expected);
}

void EdidWindowsTest::dialogsOpenedDuringAnUploadDoNotHoldItUp()
{
    m_front->connectPresent(m_state);
    QVERIFY(chooseMenuItem(form(), QStringLiteral("EDID"), QStringLiteral("WRITE_EDID")));
    QVERIFY(QTest::qWaitFor([this] { return m_front->port.written().size() > 20; }, 5000));

    // Each stays open a moment while framed bytes keep going out.
    const auto reject = [](QWidget *w) { qobject_cast<QDialog *>(w)->reject(); };
    for (const auto &[menu, item, name] : {std::tuple{"File1", "FileOpenItem", "OpenDialog1"},
                                           std::tuple{"File1", "FileSaveAsItem", "SaveDialog1"},
                                           std::tuple{"EDID", "EDID_Memorys", "EDID_Block"}}) {
        std::size_t before = 0;
        std::size_t after = 0;
        m_driver->thenOn(QString::fromLatin1(name), [&](QWidget *window) {
            before = m_front->port.written().size();
            QTest::qWait(250);
            after = m_front->port.written().size();
            reject(window);
        });
        QVERIFY(chooseMenuItem(form(), QString::fromLatin1(menu), QString::fromLatin1(item)));
        QVERIFY2(after >= before + 6,
                 qPrintable(QStringLiteral("%1: %2 -> %3").arg(name).arg(before).arg(after)));
    }
    QVERIFY(waitForMessages(1));
    QCOMPARE(m_driver->messages, QStringList{QStringLiteral("Upload successful!!")});
    QCOMPARE(m_front->port.engine().state().edidUploads, 1);
}

void EdidWindowsTest::readEdidFillsTheGrid()
{
    const EdidBytes sample = fileEdid(QStringLiteral(SGX_TEST_DATA "/asus-vw246-hdmi.bin"));
    m_front->port.engine().setEdid(sample);
    m_front->connectPresent(m_state);
    QVERIFY(chooseMenuItem(form(), QStringLiteral("EDID"), QStringLiteral("EDID_READ")));
    const std::vector<std::uint8_t> sent = m_front->written();
    const std::vector<std::uint8_t> line = commandLine("REDID", 0);
    QVERIFY(sent.size() >= line.size());
    QCOMPARE(std::vector<std::uint8_t>(sent.begin(), sent.begin() + static_cast<std::ptrdiff_t>(line.size())),
             line);
    QVERIFY(waitForMessages(1));
    QCOMPARE(m_driver->messages, QStringList{QStringLiteral("  Read EDID Successful!!  ")});
    QCOMPARE(m_values.EdidBuffer, sample);

    inMemoryWindow([&sample](QWidget *dialog, MemoryGrid &grid) {
        for (int row = 1; row <= 16; ++row)
            for (int column = 1; column <= 16; ++column)
                QCOMPARE(grid.cell(row, column),
                         EdidHex::byteText(sample[static_cast<std::size_t>((row - 1) * 16 + column - 1)]));
        dialog->close();
    });
}

void EdidWindowsTest::uploadAfterStartUpSendsZerosAndWriteReports()
{
    // Nothing uploaded yet: the generator refuses to write.
    m_front->connectPresent(m_state);
    QVERIFY(chooseMenuItem(form(), QStringLiteral("EDID"), QStringLiteral("WriteEDID1")));
    QVERIFY(waitForMessages(1));
    QCOMPARE(m_driver->messages.last(), QStringLiteral("Write EDID Fail!!"));
    QVERIFY(showsAbsent(form()));

    m_front->port.engine().setEdid(counting());
    m_front->connectPresent(m_state);
    const std::size_t start = m_front->port.written().size();
    QVERIFY(chooseMenuItem(form(), QStringLiteral("EDID"), QStringLiteral("WRITE_EDID")));
    QVERIFY(waitForMessages(2));
    QCOMPARE(m_driver->messages.last(), QStringLiteral("Upload successful!!"));
    std::vector<std::uint8_t> expected = commandLine("UEDID", 255);
    for (int i = 0; i < kEdidSize; ++i)
        expected = concat({expected, framed(0)});
    const std::vector<std::uint8_t> sent = m_front->written();
    QCOMPARE(std::vector<std::uint8_t>(sent.begin() + static_cast<std::ptrdiff_t>(start), sent.end()),
             expected);

    QVERIFY(chooseMenuItem(form(), QStringLiteral("EDID"), QStringLiteral("WriteEDID1")));
    QVERIFY(waitForMessages(3));
    QCOMPARE(m_driver->messages.last(), QStringLiteral("Write EDID successful!!"));
    QCOMPARE(m_front->port.engine().state().edidMemory, GeneratorState::Edid{});
    QVERIFY(showsPresent(form()));
}

QTEST_MAIN(EdidWindowsTest)
#include "EdidWindowsTest.moc"
