// Outer sizes and places under a real window manager, where frames exist: the sizes given for
// the windows are those of the whole window, frame included, unless they are a client area.
#include "AppTestSupport.h"
#include "DeviceLinkState.h"
#include "ModalDriver.h"
#include "SgxProgram.h"
#include "SharedValues.h"

#include <QScreen>
#include <QTest>

#include <memory>

using namespace AppTestSupport;

class OuterSizeTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void windowsHaveTheirOuterSizes();

private:
    DeviceLinkState m_state;
    SharedValues m_values;
};

void OuterSizeTest::initTestCase()
{
    QVERIFY2(metricFontProblem().isEmpty(), qPrintable(metricFontProblem()));
}

namespace {
bool framed(const QWidget &window)
{
    return window.frameGeometry().height() > window.geometry().height();
}
} // namespace

void OuterSizeTest::windowsHaveTheirOuterSizes()
{
    SgxProgram program(m_state, m_values);
    ModalDriver driver;
    program.show();
    TMainForm &form = program.mainForm();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    QVERIFY2(QTest::qWaitFor([&] { return framed(form); }, 5000), "no window manager frame seen");
    QTRY_COMPARE_WITH_TIMEOUT(form.frameGeometry(), QRect(100, 45, 900, 694), 3000);

    QRect dialogOuter;
    driver.thenOn(QStringLiteral("COM_PORT_SETTING_FORM"), [&](QWidget *dialog) {
        QVERIFY(QTest::qWaitFor([dialog] { return framed(*dialog); }, 3000));
        QTest::qWait(500);
        dialogOuter = dialog->frameGeometry();
        dialog->close();
    });
    QVERIFY(clickToolButton(form, QStringLiteral("ConnectButton")));
    QCOMPARE(dialogOuter.size(), QSize(330, 232));

    // The About box's size is its client area; the whole box, frame included, is centred on the
    // screen, each time it opens.
    QList<QSize> aboutClient;
    QList<QRect> aboutOuter;
    for (int i = 0; i < 2; ++i)
        driver.thenOn(QStringLiteral("AboutBox"), [&](QWidget *box) {
            QVERIFY(QTest::qWaitFor([box] { return framed(*box); }, 3000));
            QTest::qWait(500);
            aboutClient << box->size();
            aboutOuter << box->frameGeometry();
            box->move(box->frameGeometry().topLeft() + QPoint(40, 30)); // moved away by the operator
            box->close();
        });
    for (int i = 0; i < 2; ++i)
        QVERIFY(chooseMenuItem(form, QStringLiteral("Help1"), QStringLiteral("HelpAboutItem")));
    const QPoint screenCentre = form.screen()->geometry().center();
    for (int i = 0; i < 2; ++i) {
        QCOMPARE(aboutClient[i], QSize(298, 380));
        QVERIFY(aboutOuter[i].height() > 380);
        const QPoint offCentre = aboutOuter[i].center() - screenCentre;
        QVERIFY2(offCentre.manhattanLength() <= 1,
                 qPrintable(QStringLiteral("the box's frame is %1, %2 px off the screen's centre")
                                .arg(offCentre.x())
                                .arg(offCentre.y())));
    }

    // EDID Memory: sizeable, its place and size the outer ones; the OK button inside the frame.
    QRect memoryOuter;
    QRect okInClient;
    QSize memoryClient;
    driver.thenOn(QStringLiteral("EDID_Block"), [&](QWidget *memory) {
        QVERIFY(QTest::qWaitFor([memory] { return framed(*memory); }, 3000));
        QTest::qWait(500);
        memoryOuter = memory->frameGeometry();
        memoryClient = memory->size();
        okInClient = memory->findChild<QWidget *>(QStringLiteral("Button1"))->geometry();
        memory->close();
    });
    QVERIFY(chooseMenuItem(form, QStringLiteral("EDID"), QStringLiteral("EDID_Memorys")));
    QCOMPARE(memoryOuter, QRect(237, 157, 625, 467));
    QVERIFY(QRect(QPoint(0, 0), memoryClient).contains(okInClient));
    QVERIFY(driver.allDone());
}

QTEST_MAIN(OuterSizeTest)
#include "OuterSizeTest.moc"
