// The EDID Memory window, File > Open and Save As, and the EDID menu, with real clicks and keys,
// on the emulator's engine in-process.
#include "AppTestSupport.h"
#include "DeviceLinkState.h"
#include "EdidHex.h"
#include "EngineSerialPort.h"
#include "FileSizeLimit.h"
#include "LinkHarness.h"
#include "ModalDriver.h"
#include "ProgramTitle.h"
#include "QtLinkClock.h"
#include "SgxProgram.h"
#include "SharedValues.h"

#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QHeaderView>
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

struct EngineProgram {
    EngineProgram(DeviceLinkState &state, SharedValues &values) : program(state, values, line) {}
    void connectPresent(const DeviceLinkState &state)
    {
        program.deviceLink().connectPort(
            PortChoice::named(1, QStringLiteral("/dev/engine"), QStringLiteral("1")));
        QVERIFY(
            waitUntil([&] { return state.devicePresent == 1 && !program.deviceLink().LinkBusy(); }, 5000));
    }
    [[nodiscard]] std::vector<std::uint8_t> writtenFrom(std::size_t start) const
    {
        std::vector<std::uint8_t> bytes;
        for (std::size_t i = start; i < port.written().size(); ++i)
            bytes.push_back(port.written()[i].byte);
        return bytes;
    }
    QtLinkClock clock{10};
    EngineSerialPort port{clock};
    LocalLine line{port, clock};
    SgxProgram program;
};

EdidBytes counting()
{
    EdidBytes bytes{};
    for (std::size_t i = 0; i < bytes.size(); ++i)
        bytes[i] = static_cast<std::uint8_t>(i);
    return bytes;
}

QByteArray fileBytes(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
}

EdidBytes edidOf(const QByteArray &bytes)
{
    EdidBytes edid{};
    std::copy_n(bytes.begin(), std::min<qsizetype>(bytes.size(), kEdidSize), edid.begin());
    return edid;
}

void writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size());
}

// The Memory window as the operator works it; rows and columns count from 1 below the headings.
struct Memory {
    QWidget *window;
    QTableView *grid = window->findChild<QTableView *>(QStringLiteral("StringGrid1"));

    [[nodiscard]] QLineEdit *editor() const
    {
        // A closed editor lingers, hidden, until the loop deletes it.
        for (QLineEdit *edit : grid->findChildren<QLineEdit *>(QStringLiteral("CellEditor")))
            if (edit->isVisible())
                return edit;
        return nullptr;
    }
    // The cell's text; where the editor is open, only if it shows the same.
    [[nodiscard]] QString cell(int row, int column) const
    {
        const QModelIndex index = grid->model()->index(row - 1, column - 1);
        QLineEdit *edit = editor();
        if (edit != nullptr && index == grid->currentIndex() && edit->text() != index.data().toString())
            return QStringLiteral("<editor shows %1>").arg(edit->text());
        return index.data().toString();
    }
    [[nodiscard]] QPoint centre(int row, int column) const
    {
        return grid->visualRect(grid->model()->index(row - 1, column - 1)).center();
    }
    void click(int row, int column, Qt::MouseButton button = Qt::LeftButton) const
    {
        QTest::mouseClick(grid->viewport(), button, {}, centre(row, column));
    }
    [[nodiscard]] QPoint current() const
    {
        return {grid->currentIndex().column() + 1, grid->currentIndex().row() + 1};
    }
    // Characters, and keys in braces ("a5{BS}c{Enter}"), to whatever has the focus.
    void keys(const QString &script) const
    {
        static const QMap<QString, Qt::Key> named = {
            {"BS", Qt::Key_Backspace}, {"F2", Qt::Key_F2},     {"End", Qt::Key_End},
            {"Enter", Qt::Key_Return}, {"Down", Qt::Key_Down}, {"Left", Qt::Key_Left},
            {"Right", Qt::Key_Right},  {"Home", Qt::Key_Home}, {"BackTab", Qt::Key_Backtab}};
        for (int i = 0; i < script.size(); ++i) {
            if (script[i] == '{') {
                const int end = script.indexOf('}', i);
                const Qt::Key key = named.value(script.mid(i + 1, end - i - 1));
                QTest::keyClick(window->focusWidget(), key,
                                key == Qt::Key_Backtab ? Qt::ShiftModifier : Qt::NoModifier);
                i = end;
            } else {
                QTest::keyClick(window->focusWidget(), script[i].toLatin1());
            }
            QCoreApplication::processEvents(); // Enter closes the editor from the loop
        }
    }
    void ok() const
    {
        QTest::mouseClick(window->findChild<QPushButton *>(QStringLiteral("Button1")), Qt::LeftButton);
    }
};

QStringList filterEntries(QWidget *dialog)
{
    auto *filters = dialog->findChild<QComboBox *>(QStringLiteral("fileTypeCombo"));
    QStringList entries{QString::number(filters->currentIndex())};
    for (int i = 0; i < filters->count(); ++i)
        entries << filters->itemText(i);
    return entries;
}

QStringList listedFiles(QWidget *dialog)
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
    void editingKeepsACellToTwoUpperCaseDigits();
    void leftAndRightLeaveTheEditorAtTheEdgeOfItsText();
    void okStoresEveryCellOrNoneAndTheCloseBoxNothing();
    void backspaceOpensTheEditorAndErases();
    void openAndSaveAs();
    void fileFailuresLeaveBufferAndFileAlone();
    void windowsOpenedDuringAnUploadDoNotHoldItUp();
    void edidMenuAgainstTheEmulator();

private:
    TMainForm &form() { return m_front->program.mainForm(); }
    void inMemory(const std::function<void(const Memory &)> &act);
    void onDialog(const char *name, const char *item, const std::function<void(QWidget *)> &act);
    bool waitForMessages(int count)
    {
        return AppTestSupport::waitUntil([this, count] { return m_driver->messages.size() >= count; }, 20000);
    }

    DeviceLinkState m_state;
    SharedValues m_values;
    std::unique_ptr<EngineProgram> m_front;
    std::unique_ptr<ModalDriver> m_driver;
    QTemporaryDir m_dir;
    const QString m_error = QStringLiteral("Open file error");
};

void EdidWindowsTest::initTestCase()
{
    quietenPlatformWarnings();
    QVERIFY2(metricFontProblem().isEmpty(), qPrintable(metricFontProblem()));
    // The file dialog keeps a history in the user's settings; keep the tests' out of them.
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

void EdidWindowsTest::inMemory(const std::function<void(const Memory &)> &act)
{
    m_driver->thenOn(QStringLiteral("EDID_Block"), [&act](QWidget *window) {
        window->activateWindow(); // keys go to the active window's focus, as the operator's do
        QVERIFY(QTest::qWaitForWindowActive(window));
        act(Memory{window});
    });
    QVERIFY(chooseMenuItem(form(), QStringLiteral("EDID"), QStringLiteral("EDID_Memorys")));
    QVERIFY(m_driver->allDone());
}

void EdidWindowsTest::onDialog(const char *name, const char *item, const std::function<void(QWidget *)> &act)
{
    m_driver->thenOn(QString::fromLatin1(name), act);
    QVERIFY(chooseMenuItem(form(), QStringLiteral("File1"), QString::fromLatin1(item)));
    QVERIFY(m_driver->allDone());
}

void EdidWindowsTest::memoryWindowShowsTheBufferUnderItsHeadings()
{
    m_values.EdidBuffer = counting();
    inMemory([](const Memory &m) {
        QCOMPARE(m.window->windowTitle(), QStringLiteral("EDID Memory"));
        QCOMPARE(m.window->frameGeometry(), QRect(237, 157, 625, 467));
        QVERIFY(m.window->windowFlags().testFlag(Qt::WindowCloseButtonHint));
        QVERIFY(!(m.window->windowFlags() & (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint)));
        QVERIFY(m.window->minimumSize() != m.window->maximumSize()); // sizeable
        QCOMPARE(m.grid->geometry(), QRect(8, 8, 601, 385));
        QCOMPARE(QFontInfo(m.grid->font()).family(), QStringLiteral("Liberation Sans"));
        QCOMPARE(m.grid->font().pixelSize(), 13);
        auto *ok = m.window->findChild<QPushButton *>(QStringLiteral("Button1"));
        QCOMPARE(ok->text(), QStringLiteral("OK"));
        QCOMPARE(ok->geometry(), QRect(504, 400, 81, 25));
        QCOMPARE(ok->font().pixelSize(), 16);

        QHeaderView *across = m.grid->horizontalHeader();
        QHeaderView *down = m.grid->verticalHeader();
        QVERIFY(down->isVisible() && down->width() == 34 && across->height() == 21);
        QVERIFY(!across->sectionsMovable() && !down->sectionsMovable());
        QCOMPARE(across->sectionResizeMode(0), QHeaderView::Fixed);
        QCOMPARE(down->sectionResizeMode(0), QHeaderView::Fixed);
        for (int i = 0; i < 16; ++i) {
            const QString heading = QStringLiteral(" 0%1").arg(QString::number(i, 16).toUpper());
            QCOMPARE(m.grid->model()->headerData(i, Qt::Horizontal).toString(), heading);
            QCOMPARE(m.grid->model()->headerData(i, Qt::Vertical).toString(), heading);
            QVERIFY(m.grid->columnWidth(i) == 34 && m.grid->rowHeight(i) == 21);
            for (int j = 0; j < 16; ++j)
                QCOMPARE(m.cell(i + 1, j + 1), EdidHex::byteText(static_cast<std::uint8_t>(i * 16 + j)));
        }
        QCOMPARE(m.cell(2, 3), QStringLiteral("12"));
        QVERIFY(!m.grid->verticalScrollBar()->isVisible() && !m.grid->horizontalScrollBar()->isVisible());
        QVERIFY(m.grid->viewport()->rect().contains(m.grid->visualRect(m.grid->model()->index(15, 15))));
        QCOMPARE(m.current(), QPoint(1, 1));
        QCOMPARE(m.window->focusWidget(), m.grid);
        QTest::keyClick(m.grid, Qt::Key_Escape); // only the close box closes it
        QVERIFY(m.window->isVisible());
        m.window->close();
    });
}

void EdidWindowsTest::editingKeepsACellToTwoUpperCaseDigits()
{
    inMemory([](const Memory &m) {
        // The first character opens the editor and replaces the selected "00".
        for (const auto &[keys, shown] : std::vector<std::pair<const char *, const char *>>{
                 {"a", "A"},
                 {"5", "A5"},
                 {"7", "A5"},
                 {"{BS}c", "AC"},
                 {"{BS}g- ", "A"},
                 {"C", "AC"},
                 // Opened by F2, whole text selected, the first character skips the length test:
                 // moved to the end first, the editor itself refuses a third digit.
                 {"{Enter}{F2}{End}C", "AC"}}) {
            m.keys(QString::fromLatin1(keys));
            QCOMPARE(m.cell(1, 1), QString::fromLatin1(shown));
        }
        m.keys(QStringLiteral("{Enter}{F2}"));
        QLineEdit *editor = m.editor();
        QCOMPARE(editor->selectedText(), QStringLiteral("AC"));
        QTest::mouseClick(editor, Qt::LeftButton, {}, QPoint(1, editor->height() / 2));
        m.keys(QStringLiteral("9"));
        QCOMPARE(m.cell(1, 1), QStringLiteral("AC"));

        // Pastes, drops and input methods pass the same rules.
        for (const auto &[pasted, shown] :
             std::vector<std::pair<const char *, const char *>>{{"1G3", "AC"}, {"3e", "3E"}, {"fff", "FF"}}) {
            QGuiApplication::clipboard()->setText(QString::fromLatin1(pasted));
            editor->selectAll();
            editor->paste();
            QCOMPARE(m.cell(1, 1), QString::fromLatin1(shown));
        }
        m.keys(QStringLiteral("{BS}{BS}"));
        QMimeData dropped;
        dropped.setText(QStringLiteral("b7d"));
        QDragEnterEvent enter(QPoint(1, 1), Qt::CopyAction, &dropped, Qt::LeftButton, Qt::NoModifier);
        QDropEvent drop(QPointF(1, 1), Qt::CopyAction, &dropped, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(editor, &enter);
        QCoreApplication::sendEvent(editor, &drop);
        QCOMPARE(m.cell(1, 1), QStringLiteral("B7"));
        editor->selectAll();
        QInputMethodEvent composed;
        composed.setCommitString(QStringLiteral("zz"));
        QCoreApplication::sendEvent(editor, &composed);
        QCOMPARE(m.cell(1, 1), QStringLiteral("B7"));

        // Normalising: on a click, on the arrow keys (in the editor too), on any button and on
        // the headings; a double click opens the editor as well.
        m.keys(QStringLiteral("{Enter}7"));
        m.click(3, 3);
        QCOMPARE(m.cell(1, 1), QStringLiteral("07"));
        m.keys(QStringLiteral("{F2}{BS}{Down}"));
        QVERIFY(m.cell(3, 3) == QStringLiteral("00") && m.current() == QPoint(3, 4));
        m.keys(QStringLiteral("5{Left}"));
        QCOMPARE(m.cell(4, 3), QStringLiteral("05"));
        m.keys(QStringLiteral("{Enter}e"));
        m.click(9, 9, Qt::RightButton);
        QCOMPARE(m.cell(4, 3), QStringLiteral("0E"));
        m.keys(QStringLiteral("{Enter}1"));
        QHeaderView *down = m.grid->verticalHeader();
        QTest::mouseClick(down->viewport(), Qt::LeftButton, {},
                          QPoint(10, down->sectionViewportPosition(7) + 5));
        QVERIFY(m.cell(4, 3) == QStringLiteral("01") && m.current() == QPoint(3, 4));
        doubleClick(m.grid->viewport(), m.centre(6, 6));
        QVERIFY(m.editor() != nullptr && m.editor()->selectedText() == QStringLiteral("00"));
        m.window->close();
    });
    QCOMPARE(m_values.EdidBuffer, EdidBytes{}); // the close box stores nothing
}

void EdidWindowsTest::leftAndRightLeaveTheEditorAtTheEdgeOfItsText()
{
    inMemory([](const Memory &m) {
        // Keys; then the current cell (column, row), the editor, and row 1's first two cells. The
        // whole text selected, as a freshly opened editor has it, is an edge too.
        // clang-format off
        const std::pair<const char *, const char *> steps[] = {
            {"7{Right}", "2,1 closed 07 00"}, {"ab", "2,1 open 07 AB"}, {"{Left}", "2,1 open 07 AB"},
            {"{Left}{Left}", "1,1 closed 07 AB"}, {"{F2}{Right}", "2,1 closed 07 AB"},
            {"{F2}{Home}{Right}", "2,1 open 07 AB"}, {"{Home}{Left}{Left}", "1,1 closed 07 AB"},
            {"{F2}{Left}", "1,1 closed 07 AB"}, {"{BS}{Right}", "2,1 closed 00 AB"}};
        // clang-format on
        for (const auto &[keys, expected] : steps) {
            m.keys(QString::fromLatin1(keys));
            const QString seen =
                QStringLiteral("%1,%2 %3 %4 %5")
                    .arg(m.current().x())
                    .arg(m.current().y())
                    .arg(m.editor() != nullptr ? "open" : "closed", m.cell(1, 1), m.cell(1, 2));
            QVERIFY2(seen == QLatin1String(expected), qPrintable(QString::fromLatin1(keys) + ": " + seen));
        }
        m.window->close();
    });
}

void EdidWindowsTest::okStoresEveryCellOrNoneAndTheCloseBoxNothing()
{
    m_values.EdidBuffer = counting();
    inMemory([](const Memory &m) {
        m.keys(QStringLiteral("ff"));
        m.window->close();
    });
    QCOMPARE(m_values.EdidBuffer, counting());

    inMemory([this](const Memory &m) {
        QCOMPARE(m.cell(1, 1), QStringLiteral("00"));
        m.keys(QStringLiteral("34{Enter}")); // byte 0, before the emptied cell
        m.click(2, 5);
        m.keys(QStringLiteral("{F2}{BS}"));
        m.ok();
        QCOMPARE(m_driver->messages, QStringList{QStringLiteral("'0x' is not a valid integer value.")});
        QCOMPARE(m_driver->icons, QList<int>{QMessageBox::Critical});
        QCOMPARE(m_driver->titles, QStringList{programTitle()});
        QCOMPARE(m_driver->buttonCounts, QList<int>{1});
        QVERIFY(m.window->isVisible());
        QCOMPARE(m_values.EdidBuffer, counting());
        // Back to the grid by the keyboard, so that nothing normalises the empty cell.
        m.keys(QStringLiteral("{BackTab}5"));
        QCOMPARE(m.cell(2, 5), QStringLiteral("5"));
        m.click(8, 16); // byte 127
        m.keys(QStringLiteral("fF"));
        m.ok();
        QVERIFY(!m.window->isVisible());
    });
    EdidBytes expected = counting();
    expected[0] = 0x34;
    expected[0x14] = 0x05;
    expected[127] = 0xFF;
    QCOMPARE(m_values.EdidBuffer, expected);

    const QString saved = m_dir.filePath(QStringLiteral("byte127"));
    onDialog("SaveDialog1", "FileSaveAsItem", [&](QWidget *dialog) { chooseFile(dialog, saved); });
    QCOMPARE(fileBytes(saved).size(), 256);
    QCOMPARE(static_cast<std::uint8_t>(fileBytes(saved)[127]), 0xFF);
    QCOMPARE(m_driver->messages.size(), 1);
}

void EdidWindowsTest::backspaceOpensTheEditorAndErases()
{
    m_values.EdidBuffer = counting();
    inMemory([this](const Memory &m) {
        m.click(3, 2);
        QVERIFY(m.editor() == nullptr);
        m.keys(QStringLiteral("{BS}"));
        QVERIFY(m.editor() != nullptr);
        QCOMPARE(m.cell(3, 2), QString());
        m.keys(QStringLiteral("{BS}")); // nothing left to erase
        QCOMPARE(m.cell(3, 2), QString());
        m.ok();
        QCOMPARE(m_driver->messages, QStringList{QStringLiteral("'0x' is not a valid integer value.")});
        QVERIFY(m.window->isVisible());
        m.keys(QStringLiteral("{BackTab}9"));
        m.ok();
    });
    EdidBytes expected = counting();
    expected[0x21] = 0x09;
    QCOMPARE(m_values.EdidBuffer, expected);
}

void EdidWindowsTest::openAndSaveAs()
{
    const QString twoBytes = m_dir.filePath(QStringLiteral("two.bin"));
    writeFile(twoBytes, QByteArray("\x00\xff", 2));
    m_values.EdidBuffer.fill(0x11);
    m_driver->thenOn(QStringLiteral("OpenDialog1"), [&](QWidget *dialog) {
        QCOMPARE(filterEntries(dialog), (QStringList{"0", "Binary Files", "All Files"}));
        chooseFile(dialog, twoBytes);
    });
    QTest::keyClick(&form(), Qt::Key_O, Qt::ControlModifier);
    QVERIFY(m_driver->allDone());
    inMemory([](const Memory &m) {
        QCOMPARE(m.cell(1, 1) + m.cell(1, 2) + m.cell(1, 3) + m.cell(16, 16), QStringLiteral("00FF1111"));
        m.window->close();
    });

    // Under exactly the name typed, the second time with no question about replacing it.
    const QString saved = m_dir.filePath(QStringLiteral("saved"));
    for (int round = 0; round < 2; ++round)
        onDialog("SaveDialog1", "FileSaveAsItem", [&](QWidget *dialog) {
            QCOMPARE(filterEntries(dialog), (QStringList{"0", "Binary files", "All files"}));
            chooseFile(dialog, saved);
        });
    QVERIFY(m_driver->messages.isEmpty() && !QFile::exists(saved + QStringLiteral(".bin")));
    QCOMPARE(edidOf(fileBytes(saved)), m_values.EdidBuffer);
    const EdidBytes before = m_values.EdidBuffer;
    m_values.EdidBuffer = EdidBytes{};
    onDialog("OpenDialog1", "FileOpenItem", [&](QWidget *dialog) { chooseFile(dialog, saved); });
    QCOMPARE(m_values.EdidBuffer, before);

    // "All Files" shows names without a dot; a cancelled dialog changes nothing, and the next
    // one starts from the first entry again.
    QTemporaryDir folder;
    for (const char *name : {"edid.bin", "plain", "notes.txt"})
        writeFile(folder.filePath(QString::fromLatin1(name)), "x");
    onDialog("OpenDialog1", "FileOpenItem", [&](QWidget *dialog) {
        qobject_cast<QFileDialog *>(dialog)->setDirectory(folder.path());
        QTRY_COMPARE(listedFiles(dialog), QStringList{"edid.bin"});
        auto *filters = dialog->findChild<QComboBox *>(QStringLiteral("fileTypeCombo"));
        filters->setFocus();
        QTest::keyClick(filters, Qt::Key_Down);
        QTRY_COMPARE(listedFiles(dialog), (QStringList{"edid.bin", "notes.txt", "plain"}));
        qobject_cast<QDialog *>(dialog)->reject();
    });
    onDialog("OpenDialog1", "FileOpenItem", [](QWidget *dialog) {
        QCOMPARE(filterEntries(dialog).first(), QStringLiteral("0"));
        qobject_cast<QDialog *>(dialog)->reject();
    });
    QCOMPARE(m_values.EdidBuffer, before);
}

void EdidWindowsTest::fileFailuresLeaveBufferAndFileAlone()
{
    m_values.EdidBuffer = counting();
    const auto open = [this](const QString &path) {
        onDialog("OpenDialog1", "FileOpenItem", [path](QWidget *dialog) { chooseFile(dialog, path); });
    };
    const auto save = [this](const QString &path) {
        onDialog("SaveDialog1", "FileSaveAsItem", [path](QWidget *dialog) { chooseFile(dialog, path); });
    };
    open(m_dir.filePath(QStringLiteral("missing.bin")));
    QCOMPARE(m_driver->messages, QStringList{m_error});
    QCOMPARE(m_values.EdidBuffer, counting());
    // A base block alone replaces only the first 128 bytes.
    const QByteArray base = fileBytes(QStringLiteral(SGX_TEST_DATA "/dell-2408wfp-dp.bin"));
    open(QStringLiteral(SGX_TEST_DATA "/dell-2408wfp-dp.bin"));
    EdidBytes expected = counting();
    std::copy(base.begin(), base.end(), expected.begin());
    QCOMPARE(m_values.EdidBuffer, expected);

    // As root no permission stops a write: a folder that cannot exist stands for one that
    // cannot be written, a file size limit for a full disk.
    const QString monitor = m_dir.filePath(QStringLiteral("monitor.bin"));
    const QByteArray old = fileBytes(QStringLiteral(SGX_TEST_DATA "/asus-vw246-hdmi.bin"));
    writeFile(monitor, old);
    save(monitor + QStringLiteral("/edid.bin"));
    {
        FileSizeLimit limit(100);
        save(monitor);
    }
    QCOMPARE(m_driver->messages, (QStringList{m_error, m_error, m_error}));
    QCOMPARE(fileBytes(monitor), old);
    QCOMPARE(m_values.EdidBuffer, expected);
}

void EdidWindowsTest::windowsOpenedDuringAnUploadDoNotHoldItUp()
{
    m_front->connectPresent(m_state);
    QVERIFY(chooseMenuItem(form(), QStringLiteral("EDID"), QStringLiteral("WRITE_EDID")));
    QVERIFY(AppTestSupport::waitUntil([this] { return m_front->port.written().size() > 20; }, 5000));
    for (const auto &[menu, item, name] : {std::tuple{"File1", "FileOpenItem", "OpenDialog1"},
                                           std::tuple{"File1", "FileSaveAsItem", "SaveDialog1"},
                                           std::tuple{"EDID", "EDID_Memorys", "EDID_Block"}}) {
        std::size_t before = 0;
        std::size_t after = 0;
        m_driver->thenOn(QString::fromLatin1(name), [&](QWidget *window) {
            before = m_front->port.written().size();
            QTest::qWait(250);
            after = m_front->port.written().size();
            qobject_cast<QDialog *>(window)->reject();
        });
        QVERIFY(chooseMenuItem(form(), QString::fromLatin1(menu), QString::fromLatin1(item)));
        QVERIFY2(after >= before + 6, name);
    }
    QVERIFY(waitForMessages(1));
    QCOMPARE(m_driver->messages, QStringList{QStringLiteral("Upload successful!!")});
}

void EdidWindowsTest::edidMenuAgainstTheEmulator()
{
    const auto choose = [this](const char *item, int messages) {
        QVERIFY(chooseMenuItem(form(), QStringLiteral("EDID"), QString::fromLatin1(item)));
        QVERIFY(waitForMessages(messages));
    };
    // Nothing uploaded yet: the generator refuses to write, and is shown absent.
    m_front->connectPresent(m_state);
    choose("WriteEDID1", 1);
    QCOMPARE(m_driver->messages.last(), QStringLiteral("Write EDID Fail!!"));
    QVERIFY(showsAbsent(form()));

    // Right after start-up the upload carries 256 zeros; then the write succeeds.
    m_front->connectPresent(m_state);
    std::size_t start = m_front->port.written().size();
    choose("WRITE_EDID", 2);
    QCOMPARE(m_driver->messages.last(), QStringLiteral("Upload successful!!"));
    std::vector<std::uint8_t> expected = commandLine("UEDID", 255);
    for (int i = 0; i < kEdidSize; ++i)
        expected = concat({expected, framed(0)});
    QCOMPARE(m_front->writtenFrom(start), expected);
    choose("WriteEDID1", 3);
    QCOMPARE(m_driver->messages.last(), QStringLiteral("Write EDID successful!!"));

    // Read EDID fills the buffer, and Memory shows every byte.
    const EdidBytes sample = edidOf(fileBytes(QStringLiteral(SGX_TEST_DATA "/asus-vw246-hdmi.bin")));
    m_front->port.engine().setEdid(sample);
    start = m_front->port.written().size();
    choose("EDID_READ", 4);
    QCOMPARE(m_driver->messages.last(), QStringLiteral("  Read EDID Successful!!  "));
    const std::vector<std::uint8_t> line = commandLine("REDID", 0);
    const std::vector<std::uint8_t> sent = m_front->writtenFrom(start);
    QCOMPARE(std::vector<std::uint8_t>(sent.begin(), sent.begin() + static_cast<std::ptrdiff_t>(line.size())),
             line);
    QCOMPARE(m_values.EdidBuffer, sample);
    inMemory([&sample](const Memory &m) {
        for (std::size_t i = 0; i < sample.size(); ++i)
            QCOMPARE(m.cell(static_cast<int>(i / 16) + 1, static_cast<int>(i % 16) + 1),
                     EdidHex::byteText(sample[i]));
        m.window->close();
    });
}

QTEST_MAIN(EdidWindowsTest)
#include "EdidWindowsTest.moc"
