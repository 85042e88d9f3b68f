// Presence, Run Timing and Run Pattern from their windows against the emulator, and a generator
// that falls silent.
#include "AcceptanceSession.h"

#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QTableView>

using namespace AppTestSupport;

class OutputAcceptanceTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void presenceCheck();
    void runTiming();
    void runPattern();
    void silentGenerator();

private:
    QWidget *child(const QString &caption) { return frameChild(m_session.form(), caption); }
    AcceptanceSession m_session;
};

void OutputAcceptanceTest::initTestCase()
{
    quietenPlatformWarnings();
    QVERIFY2(metricFontProblem().isEmpty(), qPrintable(metricFontProblem()));
}

void OutputAcceptanceTest::presenceCheck()
{
    QVERIFY(m_session.start());
    QVERIFY(showsPresent(m_session.form()));
    QCOMPARE(m_session.sentBytes(), QByteArray("URTCNT \x00 \n\r", 11));
    QVERIFY(m_session.driver.messages.isEmpty());
}

void OutputAcceptanceTest::runTiming()
{
    QVERIFY(chooseMenuItem(m_session.form(), QStringLiteral("Output1"), QStringLiteral("Timing1")));
    QWidget *timing = child(QStringLiteral("Timing"));
    QVERIFY(timing != nullptr);
    for (int i = 0; i < 11; ++i)
        clickSpinner(timing, true);
    QCOMPARE(timing->findChild<QLineEdit *>(QStringLiteral("TimingIndexName"))->text(),
             QStringLiteral("1024x768-75"));
    QTest::mouseClick(timing->findChild<QPushButton *>(QStringLiteral("Run_Timing")), Qt::LeftButton);
    QVERIFY(m_session.waitForChange(QStringLiteral("timing 12 (index 11)"), 5000));
    QVERIFY(m_session.waitIdle(3000));
    QVERIFY(m_session.driver.messages.isEmpty());
    QVERIFY(showsPresent(m_session.form()));
}

void OutputAcceptanceTest::runPattern()
{
    QVERIFY(clickToolButton(m_session.form(), QStringLiteral("Pattern_Run")));
    QWidget *pattern = child(QStringLiteral("Pattern"));
    QVERIFY(pattern != nullptr);
    QTest::mouseClick(pattern->findChild<QPushButton *>(QStringLiteral("ShowButton1")), Qt::LeftButton);
    auto *grid = m_session.program().patternList().findChild<QTableView *>(QStringLiteral("StringGrid2"));
    QVERIFY(QTest::qWaitForWindowExposed(grid->window()));
    const QModelIndex colorBar = grid->model()->index(12, 1);
    QCOMPARE(colorBar.data().toString(), QStringLiteral("Color Bar"));
    grid->scrollTo(colorBar);
    doubleClick(grid->viewport(), grid->visualRect(colorBar).center());
    QCOMPARE(pattern->findChild<QLineEdit *>(QStringLiteral("PatternIndexName"))->text(),
             QStringLiteral("Color Bar"));
    QTest::mouseClick(pattern->findChild<QPushButton *>(QStringLiteral("Run_Pattern")), Qt::LeftButton);
    QVERIFY(m_session.waitForChange(QStringLiteral("pattern 13 (index 12)"), 5000));
    QVERIFY(m_session.waitIdle(3000));
    QVERIFY(m_session.driver.messages.isEmpty());
}

void OutputAcceptanceTest::silentGenerator()
{
    // The presence check passes; then nothing more is answered.
    QVERIFY(
        m_session.start({QStringLiteral("--silent"), QStringLiteral("--faults-from"), QStringLiteral("2")}));
    QWidget *timing = child(QStringLiteral("Timing"));
    QTest::mouseClick(timing->findChild<QPushButton *>(QStringLiteral("Run_Timing")), Qt::LeftButton);
    QVERIFY(m_session.waitForMessages(1, 5000));
    QCOMPARE(m_session.driver.messages, QStringList{QStringLiteral("No Response !!")});
    QVERIFY(showsAbsent(m_session.form()));
    QVERIFY(m_session.changes().count(QStringLiteral("timing ")) == 0);
}

QTEST_MAIN(OutputAcceptanceTest)
#include "OutputAcceptanceTest.moc"
