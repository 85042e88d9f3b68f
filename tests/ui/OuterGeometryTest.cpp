// Outer sizes without a window manager's frame: the size given, unless the controls need more.
#include "OuterGeometry.h"

#include <QPushButton>
#include <QTest>
#include <QVBoxLayout>

class OuterGeometryTest : public QObject {
    Q_OBJECT

private slots:
    void clientAreaHoldsEveryControl_data();
    void clientAreaHoldsEveryControl();
};

void OuterGeometryTest::clientAreaHoldsEveryControl_data()
{
    QTest::addColumn<QRect>("control");
    QTest::addColumn<bool>("laidOut");
    QTest::addColumn<bool>("fixed");
    // Empty: the outer size is kept.
    QTest::addColumn<QSize>("grownClient");
    QTest::newRow("inside") << QRect(70, 156, 85, 30) << false << true << QSize();
    QTest::newRow("inside, resizable") << QRect(70, 156, 85, 30) << false << false << QSize();
    QTest::newRow("below and beside") << QRect(300, 210, 60, 32) << false << true << QSize(360, 242);
    QTest::newRow("below and beside, resizable")
        << QRect(300, 210, 60, 32) << false << false << QSize(360, 242);
    QTest::newRow("laid out, small") << QRect(0, 0, 200, 30) << true << true << QSize();
    QTest::newRow("laid out, large") << QRect(0, 0, 400, 250) << true << true << QSize(420, 270);
}

void OuterGeometryTest::clientAreaHoldsEveryControl()
{
    QFETCH(QRect, control);
    QFETCH(bool, laidOut);
    QFETCH(bool, fixed);
    QFETCH(QSize, grownClient);
    QWidget window;
    auto *button = new QPushButton(QStringLiteral("OK"), &window);
    if (laidOut) {
        button->setFixedSize(control.size());
        auto *layout = new QVBoxLayout(&window);
        layout->setContentsMargins(10, 10, 10, 10);
        layout->addWidget(button);
    } else {
        button->setGeometry(control);
    }
    new OuterGeometry(&window, QSize(330, 232),
                      fixed ? OuterGeometry::Sizing::Fixed : OuterGeometry::Sizing::Resizable);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    if (grownClient.isValid())
        QCOMPARE(window.size(), grownClient);
    else
        QCOMPARE(window.frameGeometry().size(), QSize(330, 232));
    QCOMPARE(window.minimumSize() == window.maximumSize(), fixed);
}

QTEST_MAIN(OuterGeometryTest)
#include "OuterGeometryTest.moc"
