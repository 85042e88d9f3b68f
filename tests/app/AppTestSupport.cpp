#include "AppTestSupport.h"

#include "ModalDriver.h"
#include "PanelStatusBar.h"
#include "TMainForm.h"

#include <QComboBox>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPainter>
#include <QPushButton>
#include <QTest>
#include <QToolButton>

namespace AppTestSupport {

const QString kAbsentText = QStringLiteral(" SGX-100 Status : Not Exist");
const QString kPresentText = QStringLiteral(" SGX-100 Status : Exist    ");

namespace {
QtMessageHandler g_previousHandler = nullptr;

void filterPlatformWarnings(QtMsgType type, const QMessageLogContext &context, const QString &message)
{
    if (type == QtWarningMsg && message.startsWith(QStringLiteral("This plugin does not support")))
        return;
    if (g_previousHandler != nullptr)
        g_previousHandler(type, context, message);
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
    QAction *item = nullptr;
    for (QAction *a : menu->actions()) {
        if (a->objectName() == itemName)
            item = a;
    }
    QVERIFY2(item != nullptr, qPrintable(itemName));
    QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(item).center());
}

void clickToolButton(QMainWindow &window, const QString &buttonName)
{
    auto *button = window.findChild<QToolButton *>(buttonName);
    QVERIFY2(button != nullptr, qPrintable(buttonName));
    QTest::mouseClick(button, Qt::LeftButton);
}

bool toolButtonEnabled(QMainWindow &window, const QString &buttonName)
{
    auto *button = window.findChild<QToolButton *>(buttonName);
    return button != nullptr && button->isEnabled();
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

QImage presencePanelPicture(PanelStatusBar &bar)
{
    return bar.grab(bar.panelContentsRect(2)).toImage().convertToFormat(QImage::Format_RGB32);
}

QImage expectedAbsentPanel(PanelStatusBar &bar)
{
    const QRect area = bar.panelContentsRect(2);
    QImage picture(area.size(), QImage::Format_RGB32);
    picture.fill(QColor(255, 0, 0));
    QPainter painter(&picture);
    painter.setFont(bar.font());
    painter.setPen(Qt::white);
    painter.drawText(QRect(QPoint(0, 0), area.size()), Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine,
                     kAbsentText);
    return picture;
}

bool showsAbsent(TMainForm &form)
{
    auto *bar = form.findChild<PanelStatusBar *>(QStringLiteral("StatusBar1"));
    return toolButtonEnabled(form, QStringLiteral("ConnectButton")) &&
           !toolButtonEnabled(form, QStringLiteral("DisConnectButton")) &&
           presencePanelPicture(*bar) == expectedAbsentPanel(*bar);
}

bool showsPresent(TMainForm &form)
{
    auto *bar = form.findChild<PanelStatusBar *>(QStringLiteral("StatusBar1"));
    const QImage panel = presencePanelPicture(*bar);
    return !toolButtonEnabled(form, QStringLiteral("ConnectButton")) &&
           toolButtonEnabled(form, QStringLiteral("DisConnectButton")) && !bar->panelOwnerDrawn(2) &&
           bar->panelText(2) == kPresentText && panel.pixelColor(1, panel.height() / 2) != QColor(255, 0, 0);
}

} // namespace AppTestSupport
