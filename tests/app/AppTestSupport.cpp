#include "AppTestSupport.h"

#include "ModalDriver.h"
#include "PanelStatusBar.h"
#include "TMainForm.h"

#include <QComboBox>
#include <QMenu>
#include <QMenuBar>
#include <QPainter>
#include <QPushButton>
#include <QTest>
#include <QToolButton>

namespace AppTestSupport {

namespace {

QtMessageHandler g_previousHandler = nullptr;

void filterPlatformWarnings(QtMsgType type, const QMessageLogContext &context, const QString &message)
{
    if (type == QtWarningMsg && message.startsWith(QStringLiteral("This plugin does not support")))
        return;
    if (g_previousHandler != nullptr)
        g_previousHandler(type, context, message);
}

bool buttonEnabled(QMainWindow &window, const char *name)
{
    auto *button = window.findChild<QToolButton *>(QString::fromLatin1(name));
    return button != nullptr && button->isEnabled();
}

PanelStatusBar &statusBar(TMainForm &form)
{
    return *form.findChild<PanelStatusBar *>(QStringLiteral("StatusBar1"));
}

QImage presencePanel(TMainForm &form)
{
    PanelStatusBar &bar = statusBar(form);
    return bar.grab(bar.panelContentsRect(2)).toImage().convertToFormat(QImage::Format_RGB32);
}

} // namespace

void quietenPlatformWarnings()
{
    g_previousHandler = qInstallMessageHandler(filterPlatformWarnings);
}

void chooseMenuItem(QMainWindow &window, const QString &menuName, const QString &itemName)
{
    QMenuBar *bar = window.menuBar();
    auto *menu = bar->findChild<QMenu *>(menuName);
    QVERIFY2(menu != nullptr, qPrintable(menuName));
    QTest::mouseClick(bar, Qt::LeftButton, {}, bar->actionGeometry(menu->menuAction()).center());
    QVERIFY(QTest::qWaitForWindowExposed(menu));
    if (itemName.isEmpty())
        return;
    const QList<QAction *> items = menu->actions();
    const auto item =
        std::find_if(items.begin(), items.end(), [&](QAction *a) { return a->objectName() == itemName; });
    QVERIFY2(item != items.end(), qPrintable(itemName));
    QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(*item).center());
}

void clickToolButton(QMainWindow &window, const QString &buttonName)
{
    auto *button = window.findChild<QToolButton *>(buttonName);
    QVERIFY2(button != nullptr, qPrintable(buttonName));
    QTest::mouseClick(button, Qt::LeftButton);
}

void pickPortAndConfirm(ModalDriver &driver, int itemIndex)
{
    driver.thenOn(QStringLiteral("COM_PORT_SETTING_FORM"), [itemIndex](QWidget *dialog) {
        auto *ports = dialog->findChild<QComboBox *>(QStringLiteral("ComboBox1"));
        ports->setFocus();
        QTest::keyClick(ports, Qt::Key_Home);
        for (int i = 0; i < itemIndex; ++i)
            QTest::keyClick(ports, Qt::Key_Down);
        QTest::mouseClick(dialog->findChild<QPushButton *>(QStringLiteral("Button1")), Qt::LeftButton);
    });
}

void cancelPortDialog(ModalDriver &driver, bool *wasOpen)
{
    driver.thenOn(QStringLiteral("COM_PORT_SETTING_FORM"), [wasOpen](QWidget *dialog) {
        if (wasOpen != nullptr)
            *wasOpen = dialog->isVisible();
        QTest::mouseClick(dialog->findChild<QPushButton *>(QStringLiteral("Button2")), Qt::LeftButton);
    });
}

bool showsAbsent(TMainForm &form)
{
    const QImage shown = presencePanel(form);
    QImage expected(shown.size(), QImage::Format_RGB32);
    expected.fill(QColor(255, 0, 0));
    QPainter painter(&expected);
    painter.setFont(statusBar(form).font());
    painter.setPen(Qt::white);
    painter.drawText(expected.rect(), Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine,
                     QStringLiteral(" SGX-100 Status : Not Exist"));
    painter.end();
    return buttonEnabled(form, "ConnectButton") && !buttonEnabled(form, "DisConnectButton") &&
           shown == expected;
}

bool showsPresent(TMainForm &form)
{
    PanelStatusBar &bar = statusBar(form);
    const QImage shown = presencePanel(form);
    return !buttonEnabled(form, "ConnectButton") && buttonEnabled(form, "DisConnectButton") &&
           !bar.panelOwnerDrawn(2) && bar.panelText(2) == QStringLiteral(" SGX-100 Status : Exist    ") &&
           shown.pixelColor(1, shown.height() / 2) != QColor(255, 0, 0);
}

} // namespace AppTestSupport
