// The timing and pattern selections, the program and Default Setting from their windows against
// the emulator, and a generator that does not acknowledge.
#include "AcceptanceSession.h"

#include <QComboBox>
#include <QTableView>

using namespace AppTestSupport;

class UploadAcceptanceTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void timingSelection();
    void patternSelection();
    void program();
    void defaultSetting();
    void refusedUpload();

private:
    // Marks the rows (model rows) of a selection dialog's grid, presses Upload, waits for the
    // outcome, and closes the dialog.
    void markAndUpload(const QString &dialog, const QString &grid, const QString &upload, QList<int> rows);
    AcceptanceSession m_session;
};

void UploadAcceptanceTest::initTestCase()
{
    quietenPlatformWarnings();
    QVERIFY2(metricFontProblem().isEmpty(), qPrintable(metricFontProblem()));
    QVERIFY(m_session.start());
}

void UploadAcceptanceTest::markAndUpload(const QString &dialog, const QString &grid, const QString &upload,
                                         QList<int> rows)
{
    const int before = static_cast<int>(m_session.driver.messages.size());
    m_session.driver.thenOn(dialog, [this, grid, upload, rows, before](QWidget *window) {
        auto *view = window->findChild<QTableView *>(grid);
        for (int row : rows) {
            const QModelIndex cell = view->model()->index(row, 0);
            view->scrollTo(cell);
            QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, view->visualRect(cell).center());
        }
        QTest::mouseClick(window->findChild<QPushButton *>(upload), Qt::LeftButton);
        QVERIFY(m_session.waitForMessages(before + 1, 20000));
        window->close();
    });
}

void UploadAcceptanceTest::timingSelection()
{
    markAndUpload(QStringLiteral("Timings"), QStringLiteral("StringGrid3"), QStringLiteral("Timings_OK"),
                  {0, 2});
    QVERIFY(chooseMenuItem(m_session.form(), QStringLiteral("Edit1"), QStringLiteral("Timing2")));
    QCOMPARE(m_session.driver.messages.last(), QStringLiteral("Upload successful!!"));
    QVERIFY(m_session.changes().contains(QStringLiteral("timing selection: 1,3")));
}

void UploadAcceptanceTest::patternSelection()
{
    markAndUpload(QStringLiteral("Patterns"), QStringLiteral("StringGrid4"), QStringLiteral("Patterns_OK"),
                  {38});
    QVERIFY(chooseMenuItem(m_session.form(), QStringLiteral("Edit1"), QStringLiteral("Pattern2")));
    QCOMPARE(m_session.driver.messages.last(), QStringLiteral("Upload successful!!"));
    QVERIFY(m_session.changes().contains(QStringLiteral("pattern selection: 39")));
}

void UploadAcceptanceTest::program()
{
    const int before = static_cast<int>(m_session.driver.messages.size());
    m_session.driver.thenOn(QStringLiteral("Programmer_Form"), [&, before](QWidget *editor) {
        auto *grid = editor->findChild<QTableView *>(QStringLiteral("StringGrid5"));
        QTest::mouseClick(grid->viewport(), Qt::LeftButton, {},
                          grid->visualRect(grid->model()->index(0, 1)).center());
        const auto box = [editor](int n) {
            return editor->findChild<QComboBox *>(QStringLiteral("PCBox%1").arg(n));
        };
        QVERIFY(chooseFromList(box(1), QStringLiteral("800x600-60")));
        QVERIFY(chooseFromList(box(2), QStringLiteral("Red")));
        QVERIFY(chooseFromList(box(3), QStringLiteral("Minute")));
        QVERIFY(typeInto(box(4), QStringLiteral("5")));
        QTest::mouseClick(editor->findChild<QPushButton *>(QStringLiteral("Button1")), Qt::LeftButton);
        QVERIFY(m_session.waitForMessages(before + 1, 30000));
        editor->close();
    });
    QVERIFY(chooseMenuItem(m_session.form(), QStringLiteral("Edit1"), QStringLiteral("Program1")));
    QCOMPARE(m_session.driver.messages.last(), QStringLiteral("Upload successful!!"));
    QVERIFY(m_session.changes().contains(QStringLiteral("program: 1 step(s)")));
    // The step the emulator keeps: 800x600-60, Red, one minute, five.
    const QByteArray sent = m_session.sentBytes();
    QVERIFY(sent.contains(QByteArray::fromHex("20052020022020012020052020ff20")));
}

void UploadAcceptanceTest::defaultSetting()
{
    const int before = static_cast<int>(m_session.driver.messages.size());
    QVERIFY(chooseMenuItem(m_session.form(), QStringLiteral("Edit1"), QStringLiteral("DefaultSetting")));
    QVERIFY(m_session.waitForMessages(before + 1, 5000));
    QCOMPARE(m_session.driver.messages.last(), QStringLiteral("Upload Successful!!"));
    QVERIFY(m_session.waitForChange(QStringLiteral("defaults restored"), 2000));
}

void UploadAcceptanceTest::refusedUpload()
{
    QVERIFY(
        m_session.start({QStringLiteral("--no-ok"), QStringLiteral("--faults-from"), QStringLiteral("2")}));
    markAndUpload(QStringLiteral("Timings"), QStringLiteral("StringGrid3"), QStringLiteral("Timings_OK"),
                  {4});
    QVERIFY(chooseMenuItem(m_session.form(), QStringLiteral("Edit1"), QStringLiteral("Timing2")));
    QCOMPARE(m_session.driver.messages.last(), QStringLiteral("Error!!"));
    QVERIFY(!m_session.changes().contains(QStringLiteral("timing selection")));
}

QTEST_MAIN(UploadAcceptanceTest)
#include "UploadAcceptanceTest.moc"
