// The line monitor and the status panels as a screen reader finds them, with real clicks, on a
// generator in memory.
#include "ByteTrace.h"
#include "LineMonitorFormat.h"
#include "PanelStatusBar.h"
#include "WindowTest.h"

#include <QAccessible>
#include <QApplication>
#include <QClipboard>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QTemporaryDir>

using namespace AppTestSupport;

class LineMonitorWindowTest : public WindowTest {
    Q_OBJECT

private slots:
    void initTestCase() { checkFonts(); }
    void cleanup() { stopProgram(); }

    void showsTheLineSinceStartUpAndSavesItAsATrace();
    void statusPanelsSayWhatTheyShow();

private:
    [[nodiscard]] bool connect()
    {
        pickPortAndConfirm(*m_driver, 0);
        return clickToolButton(form(), QStringLiteral("ConnectButton")) &&
               waitUntil([this] { return m_state.devicePresent == 1; }, 5000);
    }
    // Run Timing on timing 1 from its window, to its end; with answered, the generator
    // acknowledges the index (the script answers only command lines).
    [[nodiscard]] bool runTiming(bool answered)
    {
        if (!chooseMenuItem(form(), QStringLiteral("Output1"), QStringLiteral("Timing1")))
            return false;
        QWidget *timing = frameChild(form(), QStringLiteral("Timing"));
        QTest::mouseClick(timing->findChild<QPushButton *>(QStringLiteral("Run_Timing")), Qt::LeftButton);
        if (answered) {
            if (!waitUntil([this] { return written().endsWith(QByteArray(" \x00 ", 3)); }, 5000))
                return false;
            m_front->port.queueAnswer("OK\r\n");
        }
        return waitUntil([this] { return !m_front->program.deviceLink().LinkBusy(); }, 5000);
    }
    [[nodiscard]] QAccessibleInterface *presencePanel()
    {
        QAccessibleInterface *bar = QAccessible::queryAccessibleInterface(
            form().findChild<PanelStatusBar *>(QStringLiteral("StatusBar1")));
        for (int i = 0; i < bar->childCount(); ++i)
            if (bar->child(i)->object()->objectName() == QStringLiteral("StatusPanel2"))
                return bar->child(i);
        return nullptr;
    }
};

void LineMonitorWindowTest::showsTheLineSinceStartUpAndSavesItAsATrace()
{
    startProgram({{"URTCNT", "OK\r\n"}, {"TMIX", "OK\r\n"}});
    QVERIFY(connect());
    QVERIFY(runTiming(true));
    QVERIFY(m_driver->messages.isEmpty());

    // Opened after the fact, it shows all of it; a second Window > Line Monitor opens no other.
    QVERIFY(chooseMenuItem(form(), QStringLiteral("Window1"), QStringLiteral("WindowLineMonitorItem")));
    QVERIFY(chooseMenuItem(form(), QStringLiteral("Window1"), QStringLiteral("WindowLineMonitorItem")));
    int monitors = 0;
    for (QMdiSubWindow *child : form().mdiArea()->subWindowList())
        monitors += child->windowTitle() == QStringLiteral("Line Monitor") ? 1 : 0;
    QCOMPARE(monitors, 1);
    QWidget *monitor = frameChild(form(), QStringLiteral("Line Monitor"));
    auto *text = monitor->findChild<QPlainTextEdit *>(QStringLiteral("MonitorText"));
    QString shown = text->toPlainText();
    shown.remove(
        QRegularExpression(QStringLiteral("^ *\\d+\\.\\d{3} "), QRegularExpression::MultilineOption));
    const QString ok = QStringLiteral("< \"OK\\r\\n\"              4F 4B 0D 0A");
    QCOMPARE(shown.split(QLatin1Char('\n')),
             (QStringList{"* opened", "", "> \"URTCNT \\x00 \\n\\r\"    55 52 54 43 4E 54 20 00 20 0A 0D", ok,
                          "", "> \"TMIX \\x01 \\n\\r\"      54 4D 49 58 20 01 20 0A 0D", ok,
                          "> \" \\x00 \"              20 00 20", ok}));

    // What a screen reader reads: the name, and the lines themselves.
    QAccessibleInterface *readable = QAccessible::queryAccessibleInterface(text);
    QCOMPARE(readable->text(QAccessible::Name), QStringLiteral("Line Monitor"));
    QVERIFY(readable->textInterface()->text(0, readable->textInterface()->characterCount()).contains("TMIX"));
    auto *clear = monitor->findChild<QPushButton *>(QStringLiteral("ClearButton"));
    auto *copy = monitor->findChild<QPushButton *>(QStringLiteral("CopyButton"));
    auto *save = monitor->findChild<QPushButton *>(QStringLiteral("SaveButton"));
    QCOMPARE(QAccessible::queryAccessibleInterface(save)->text(QAccessible::Name), QStringLiteral("Save"));
    // Tab leaves the text for the buttons, in order.
    form().activateWindow(); // keys go to the active window's focus, as the operator's do
    QVERIFY(QTest::qWaitForWindowActive(&form()));
    text->setFocus();
    for (QWidget *next :
         {static_cast<QWidget *>(clear), static_cast<QWidget *>(copy), static_cast<QWidget *>(save)}) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), next);
    }

    QTest::mouseClick(copy, Qt::LeftButton);
    QCOMPARE(QApplication::clipboard()->text(),
             QString::fromStdString(LineMonitorFormat::text(m_front->program.lineLog().entries())));

    // Saved as a trace: every byte on the line, both ways.
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("line.txt"));
    m_driver->thenOn(QStringLiteral("SaveDialog"), [path](QWidget *dialog) { chooseFile(dialog, path); });
    QTest::mouseClick(save, Qt::LeftButton);
    QVERIFY(waitUntil([&] { return m_driver->allDone() && QFile::exists(path); }, 5000));
    QByteArray sent;
    int received = 0;
    for (const ByteTrace::Byte &b : ByteTrace::read(path.toStdString())) {
        if (b.direction == ByteTrace::Direction::ToGenerator)
            sent.append(static_cast<char>(b.value));
        else
            ++received;
    }
    QCOMPARE(sent, QByteArray("URTCNT \0 \n\rTMIX \x01 \n\r \0 ", 23));
    QCOMPARE(received, 3 * 4);
    QVERIFY(m_driver->messages.isEmpty());

    // Clear empties it; what comes next shows alone.
    QTest::mouseClick(clear, Qt::LeftButton);
    QVERIFY(text->toPlainText().isEmpty());
    QVERIFY(clickToolButton(form(), QStringLiteral("DisConnectButton")));
    QVERIFY(waitUntil([&] { return !text->toPlainText().isEmpty(); }, 5000));
    QVERIFY2(text->toPlainText().endsWith(QStringLiteral(" * closed")), qPrintable(text->toPlainText()));
    QCOMPARE(text->document()->blockCount(), 1);
}

void LineMonitorWindowTest::statusPanelsSayWhatTheyShow()
{
    // TMIX is never answered.
    startProgram({{"URTCNT", "OK\r\n"}});
    QAccessibleInterface *presence = presencePanel();
    QVERIFY(presence != nullptr);
    QCOMPARE(presence->role(), QAccessible::StaticText);
    QCOMPARE(presence->text(QAccessible::Name), QStringLiteral(" SGX-100 Status : Not Exist"));

    QVERIFY(connect());
    QCOMPARE(presence->text(QAccessible::Name), QStringLiteral(" SGX-100 Status : Exist    "));
    auto *bar = form().findChild<PanelStatusBar *>(QStringLiteral("StatusBar1"));
    bar->setPanelDetail(2, QStringLiteral("the line answered: OK"));
    QCOMPARE(presence->text(QAccessible::Description), QStringLiteral("the line answered: OK"));
    QCOMPARE(qobject_cast<QWidget *>(presence->object())->toolTip(), QStringLiteral("the line answered: OK"));
    QCOMPARE(presence->rect(),
             QRect(bar->mapToGlobal(bar->panelRect(2).topLeft()), bar->panelRect(2).size()));

    QVERIFY(runTiming(false));
    QVERIFY(waitUntil([this] { return !m_driver->messages.isEmpty(); }, 5000));
    QCOMPARE(m_driver->messages, QStringList{QStringLiteral("No Response !!")});
    QVERIFY(showsAbsent(form()));
    QCOMPARE(presence->text(QAccessible::Name), QStringLiteral(" SGX-100 Status : Not Exist"));
}

QTEST_MAIN(LineMonitorWindowTest)
#include "LineMonitorWindowTest.moc"
