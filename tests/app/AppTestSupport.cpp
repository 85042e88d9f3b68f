#include "AppTestSupport.h"
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTimer>

#include "ModalDriver.h"
#include "PanelStatusBar.h"
#include "TMainForm.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFont>
#include <QFontInfo>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPainter>
#include <QPushButton>
#include <QTableView>
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

bool waitUntil(const std::function<bool()> &done, int ms)
{
    QElapsedTimer waited;
    waited.start();
    // Wakes the loop at least every 10 ms, whatever else is going on.
    QTimer wake;
    wake.start(10);
    while (!done()) {
        if (waited.elapsed() > ms)
            return false;
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    }
    return true;
}

void quietenPlatformWarnings()
{
    g_previousHandler = qInstallMessageHandler(filterPlatformWarnings);
}

QString metricFontProblem()
{
    const QList<QPair<QString, QString>> wanted = {
        {QStringLiteral("Arial"), QStringLiteral("Liberation Sans")},
        {QStringLiteral("Times New Roman"), QStringLiteral("Liberation Serif")}};
    QStringList problems;
    for (const auto &[family, face] : wanted) {
        QFont font(family);
        font.setPixelSize(16);
        const QString resolved = QFontInfo(font).family();
        if (resolved != face)
            problems << QStringLiteral("\"%1\" resolves to \"%2\", not \"%3\"").arg(family, resolved, face);
    }
    if (problems.isEmpty())
        return {};
    return problems.join(QStringLiteral("; ")) +
           QStringLiteral(": install fonts-liberation2 (scripts/install-deps does)");
}

bool chooseMenuItem(QMainWindow &window, const QString &menuName, const QString &itemName)
{
    QMenuBar *bar = window.menuBar();
    auto *menu = bar->findChild<QMenu *>(menuName);
    if (menu == nullptr) {
        qWarning("no menu %s", qPrintable(menuName));
        return false;
    }
    QTest::mouseClick(bar, Qt::LeftButton, {}, bar->actionGeometry(menu->menuAction()).center());
    if (!QTest::qWaitForWindowExposed(menu)) {
        qWarning("menu %s did not open", qPrintable(menuName));
        return false;
    }
    if (itemName.isEmpty())
        return true;
    const QList<QAction *> items = menu->actions();
    const auto item =
        std::find_if(items.begin(), items.end(), [&](QAction *a) { return a->objectName() == itemName; });
    if (item == items.end()) {
        qWarning("no item %s in menu %s", qPrintable(itemName), qPrintable(menuName));
        menu->close();
        return false;
    }
    QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(*item).center());
    return true;
}

bool clickToolButton(QMainWindow &window, const QString &buttonName)
{
    auto *button = window.findChild<QToolButton *>(buttonName);
    if (button == nullptr) {
        qWarning("no tool button %s", qPrintable(buttonName));
        return false;
    }
    QTest::mouseClick(button, Qt::LeftButton);
    return true;
}

bool typeInto(QComboBox *box, const QString &text)
{
    box->window()->activateWindow();
    if (!QTest::qWaitForWindowActive(box->window()))
        return false;
    box->setFocus();
    box->lineEdit()->selectAll();
    if (text.isEmpty())
        QTest::keyClick(box->lineEdit(), Qt::Key_Backspace);
    else
        QTest::keyClicks(box->lineEdit(), text);
    return true;
}

bool chooseFromList(QComboBox *box, const QString &text)
{
    const int item = box->findText(text, Qt::MatchExactly | Qt::MatchCaseSensitive);
    box->setFocus();
    QTest::keyClick(box, Qt::Key_Down, Qt::AltModifier);
    QAbstractItemView *list = box->view();
    if (item < 0 || !QTest::qWaitFor([list] { return list->isVisible(); }, 2000))
        return false;
    list->scrollTo(box->model()->index(item, 0));
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                      list->visualRect(box->model()->index(item, 0)).center());
    return QTest::qWaitFor([list] { return !list->isVisible(); }, 2000);
}

void chooseFile(QWidget *dialog, const QString &path)
{
    auto *name = dialog->findChild<QLineEdit *>(QStringLiteral("fileNameEdit"));
    name->setFocus();
    name->selectAll();
    QTest::keyClicks(name, path);
    if (QWidget *completion = QApplication::activePopupWidget())
        completion->close();
    auto *buttons = dialog->findChild<QDialogButtonBox *>(QStringLiteral("buttonBox"));
    QPushButton *accept = buttons->button(QDialogButtonBox::Open);
    QTest::mouseClick(accept != nullptr ? accept : buttons->button(QDialogButtonBox::Save), Qt::LeftButton);
}

QWidget *frameChild(QMainWindow &window, const QString &caption)
{
    auto *frame = qobject_cast<QMdiArea *>(window.centralWidget());
    if (frame == nullptr)
        return nullptr;
    for (QMdiSubWindow *child : frame->subWindowList())
        if (child->windowTitle() == caption)
            return child->widget();
    return nullptr;
}

QString editText(QWidget *window, const QString &name)
{
    auto *edit = window != nullptr ? window->findChild<QLineEdit *>(name) : nullptr;
    return edit != nullptr ? edit->text() : QStringLiteral("<no %1>").arg(name);
}

void clickSpinner(QWidget *window, bool up)
{
    auto *spinner = window->findChild<QWidget *>(QStringLiteral("UpDown1"));
    QTest::mouseClick(spinner, Qt::LeftButton, {},
                      QPoint(spinner->width() / 2, up ? 3 : spinner->height() - 3));
}

void workNumberGroup(QWidget *window, const QString &boxName, const char *script)
{
    auto *box = window->findChild<QLineEdit *>(boxName);
    box->setFocus();
    for (const char *c = script; *c != '\0'; ++c) {
        if (*c == '+' || *c == '-')
            clickSpinner(window, *c == '+');
        else if (*c == '*')
            box->selectAll();
        else
            QTest::keyClick(box, *c == '^' ? Qt::Key_Up : *c == 'v' ? Qt::Key_Down : Qt::Key(*c));
    }
}

void doubleClick(QWidget *widget, const QPoint &at)
{
    QTest::mouseClick(widget, Qt::LeftButton, {}, at);
    QTest::mouseDClick(widget, Qt::LeftButton, {}, at);
    QTest::mouseRelease(widget, Qt::LeftButton, {}, at);
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

QPoint cellCentre(QTableView *grid, int row, int column)
{
    grid->scrollTo(grid->model()->index(row, column));
    return grid->visualRect(grid->model()->index(row, column)).center();
}

void pressCell(QTableView *grid, int row, int column)
{
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, cellCentre(grid, row, column));
}

QColor cellPixel(QTableView *grid, int row, int column)
{
    const QRect cell = grid->visualRect(grid->model()->index(row, column));
    return grid->viewport()->grab(cell).toImage().pixelColor(1, cell.height() / 2);
}

} // namespace AppTestSupport
