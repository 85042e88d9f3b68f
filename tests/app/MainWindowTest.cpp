// The main window, About box and COM port dialog as the operator finds them, without a generator.
#include "AppTestSupport.h"
#include "DeviceLinkState.h"
#include "FakeSystemPortList.h"
#include "GaugeBar.h"
#include "LinkHarness.h"
#include "ModalDriver.h"
#include "ProgramTitle.h"
#include "PtyPair.h"
#include "QtSerialPort.h"
#include "SgxProgram.h"
#include "SharedValues.h"
#include "VirtualClock.h"

#include <QAbstractItemView>
#include <QAccessible>
#include <QComboBox>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QScreen>
#include <QSerialPortInfo>
#include <QTemporaryDir>
#include <QTest>
#include <QToolBar>
#include <QToolButton>

#include <algorithm>
#include <memory>
#include <optional>

using namespace AppTestSupport;

namespace {

// How far down a child's contents start: its title bar and the frame's edge above it.
int titleBarStep(QMdiSubWindow *child)
{
    return child->widget()->y();
}

// The child window seen at a point of the frame's client area.
QMdiSubWindow *childAt(QMdiArea &area, QPoint at)
{
    QWidget *hit = area.viewport()->childAt(at);
    while (hit != nullptr && qobject_cast<QMdiSubWindow *>(hit) == nullptr)
        hit = hit->parentWidget();
    return qobject_cast<QMdiSubWindow *>(hit);
}

// The COM port dialog alone, over a port list the test writes and the real serial layer, so an
// OK shows on the pseudo-terminal that was really opened.
struct PortDialogRig {
    PortDialogRig()
    {
        QObject::connect(&dialog, &TCOM_PORT_SETTING_FORM::connectRequested, &link,
                         [this](const PortChoice &port) { link.connectPort(port); });
        QObject::connect(&link, &DeviceLink::connectFinished, &dialog,
                         &TCOM_PORT_SETTING_FORM::showConnectResult);
    }

    [[nodiscard]] QComboBox *list() const
    {
        return dialog.findChild<QComboBox *>(QStringLiteral("ComboBox1"));
    }
    [[nodiscard]] QStringList texts() const
    {
        QStringList out;
        for (int i = 0; i < list()->count(); ++i)
            out << list()->itemText(i);
        return out;
    }
    // Item `index` by the keyboard (none when negative), then a click on OK.
    void confirm(int index = -1)
    {
        list()->setFocus();
        if (index >= 0) {
            QTest::keyClick(list(), Qt::Key_Home);
            for (int i = 0; i < index; ++i)
                QTest::keyClick(list(), Qt::Key_Down);
        }
        QTest::mouseClick(dialog.findChild<QPushButton *>(QStringLiteral("Button1")), Qt::LeftButton);
        clock.advance(1000); // the presence check's line goes out
    }

    FakeSystemPortList system;
    PortDirectory ports{system};
    QtSerialPort serial;
    VirtualClock clock;
    LocalLine line{serial, clock};
    DeviceLinkState state;
    SharedValues values;
    DeviceLink link{state, values, line};
    LinkRecorder ui{link};
    TCOM_PORT_SETTING_FORM dialog{ports, 0};
};

const QByteArray kPresenceCheck("URTCNT \x00 \n\r", 11);

QStringList comItems()
{
    QStringList out;
    for (int n = 1; n <= 8; ++n)
        out << QStringLiteral("COM %1").arg(n);
    return out;
}

} // namespace

class MainWindowTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase()
    {
        quietenPlatformWarnings();
        QVERIFY2(metricFontProblem().isEmpty(), qPrintable(metricFontProblem()));
    }
    void init();
    void cleanup();

    void startsWithTheAbsentDisplay();
    void portDialogKeepsTheChoiceAndCancelOpensNothing();
    void missingPortFailsAndTheDialogStaysOpen();
    void systemPortsFollowCom8AndOpenByName();
    void portGoneBeforeOkIsNotReplaced();
    void aboutBoxIsCentredAndClosesWithEnterOrOk();
    void itemsThatCannotRunDoNoHarm();
    void windowMenuTilesCascadesAndActivates();
    void cascadeKeepsTheOutputWindowsSizes();
    void cascadeCutsToTheClientAreaAndShowsEveryTitleBar();

private:
    TMainForm &form() { return m_program->mainForm(); }

    DeviceLinkState m_state;
    SharedValues m_values;
    std::unique_ptr<SgxProgram> m_program;
    std::unique_ptr<ModalDriver> m_driver;
};

void MainWindowTest::init()
{
    m_state = DeviceLinkState();
    m_values = SharedValues();
    m_program = std::make_unique<SgxProgram>(m_state, m_values);
    m_driver = std::make_unique<ModalDriver>();
    m_program->show();
    QVERIFY(QTest::qWaitForWindowExposed(&form()));
}

void MainWindowTest::cleanup()
{
    m_driver.reset();
    m_program.reset();
}

void MainWindowTest::startsWithTheAbsentDisplay()
{
    QCOMPARE(form().windowTitle(), QStringLiteral("Vorna - tv Signal Generator"));
    QCOMPARE(form().frameGeometry(), QRect(100, 45, 900, 694));
    const QImage client = form().mdiArea()->viewport()->grab().toImage();
    QCOMPARE(client.pixelColor(client.width() / 2, client.height() / 2), QColor(Qt::white));
    QVERIFY(showsAbsent(form()));
    auto *gauge = form().findChild<GaugeBar *>(QStringLiteral("ProgressGauge"));
    QCOMPARE(gauge->geometry(), QRect(2, 2, 246, gauge->parentWidget()->height() - 4));
    QCOMPARE(gauge->text(), QStringLiteral("0%"));
    QVERIFY(!m_program->aboutBox().isVisible() && !m_program->comPortSettingForm().isVisible());

    // The tool bar: border 1, indent 5, the four buttons side by side, pictures on white.
    auto *toolBar = form().findChild<QToolBar *>(QStringLiteral("ToolBar2"));
    QCOMPARE(toolBar->height(), 30);
    int left = 1 + 5;
    for (const char *name : {"ConnectButton", "DisConnectButton", "Timing_Run", "Pattern_Run"}) {
        auto *button = toolBar->findChild<QToolButton *>(QString::fromLatin1(name));
        QCOMPARE(button->x(), left);
        left += button->width();
        const QImage picture = button->icon().pixmap(16, 16).toImage();
        QCOMPARE(picture.pixelColor(0, 0), QColor(Qt::white));
    }
}

void MainWindowTest::portDialogKeepsTheChoiceAndCancelOpensNothing()
{
    m_driver->thenOn(QStringLiteral("COM_PORT_SETTING_FORM"), [](QWidget *dialog) {
        QCOMPARE(dialog->windowTitle(), QStringLiteral("COM Port Setting "));
        auto *ports = dialog->findChild<QComboBox *>(QStringLiteral("ComboBox1"));
        QCOMPARE(ports->currentText(), QStringLiteral("COM 1"));
        // Screen readers find the box's name in its label.
        const auto labels = QAccessible::queryAccessibleInterface(ports)->relations(QAccessible::Label);
        QVERIFY(!labels.isEmpty());
        QCOMPARE(labels.first().first->text(QAccessible::Name), QStringLiteral("COM Port"));
        // Every port this machine reports is there: as the COM n that names its device, or after COM 8.
        int added = 0;
        for (const QSerialPortInfo &info : QSerialPortInfo::availablePorts()) {
            int found = -1;
            for (int i = 0; i < ports->count() && found < 0; ++i)
                if (ports->itemData(i, Qt::ToolTipRole).toString() == info.systemLocation())
                    found = i;
            QVERIFY2(found >= 0, qPrintable(info.systemLocation()));
            if (found >= 8) {
                ++added;
                QVERIFY(ports->itemText(found).startsWith(info.portName()));
            }
        }
        QCOMPARE(ports->count(), 8 + added);
        for (QWidget *child : dialog->findChildren<QWidget *>(QString(), Qt::FindDirectChildrenOnly))
            QVERIFY2(dialog->rect().contains(child->geometry()), qPrintable(child->objectName()));
        ports->setFocus();
        QTest::keyClick(ports, Qt::Key_Down);
        QTest::keyClick(ports, Qt::Key_Down);
    });
    cancelPortDialog(*m_driver);
    QVERIFY(clickToolButton(form(), QStringLiteral("ConnectButton")));

    // Config > COM Port shows the same dialog, still at the port chosen last.
    QString shown;
    m_driver->thenOn(QStringLiteral("COM_PORT_SETTING_FORM"), [&shown](QWidget *dialog) {
        shown = dialog->findChild<QComboBox *>(QStringLiteral("ComboBox1"))->currentText();
        dialog->close();
    });
    QVERIFY(chooseMenuItem(form(), QStringLiteral("Config1"), QStringLiteral("COMPort1")));
    QCOMPARE(shown, QStringLiteral("COM 3"));
    QCOMPARE(m_state.portNumber, 0);
    QVERIFY(m_driver->allDone() && m_driver->messages.isEmpty());
}

void MainWindowTest::missingPortFailsAndTheDialogStaysOpen()
{
    qputenv("SGX100_COM5", "/nonexistent/sgx100");
    bool stillOpen = false;
    pickPortAndConfirm(*m_driver, 4);
    cancelPortDialog(*m_driver, &stillOpen);
    QVERIFY(clickToolButton(form(), QStringLiteral("ConnectButton")));
    qunsetenv("SGX100_COM5");

    QVERIFY(stillOpen);
    QCOMPARE(m_driver->messages, QStringList{QStringLiteral("Open COM Port 5 fail !!")});
    // Titled after the executable, app_window_tests here, with one button.
    QCOMPARE(m_driver->titles, QStringList{QStringLiteral("app_window_tests")});
    QCOMPARE(m_driver->buttonCounts, QList<int>{1});
    QCOMPARE(programTitleFor(QStringLiteral("C:/Tools/SGXCONTROL.EXE")), QStringLiteral("Sgxcontrol"));
    QCOMPARE(programTitleFor(QStringLiteral("/usr/bin/sgxcontrol")), QStringLiteral("sgxcontrol"));
    QCOMPARE(m_state.portOpen, 0);
    QVERIFY(showsAbsent(form()));
}

void MainWindowTest::systemPortsFollowCom8AndOpenByName()
{
    PtyPair adapter;
    PtyPair modem;
    PtyPair named;
    QVERIFY(!adapter.device().isEmpty() && !modem.device().isEmpty() && !named.device().isEmpty());
    QTemporaryDir dir;
    const QString byId = dir.filePath(QStringLiteral("usb-Prolific-port0"));
    QVERIFY(QFile::link(named.device(), byId));
    for (int n = 1; n <= 8; ++n)
        qunsetenv(QByteArray("SGX100_COM" + QByteArray::number(n)).constData());
    qputenv("SGX100_COM2", byId.toLocal8Bit());
    qputenv("SGX100_COM3", "/dev/tty\nS2"); // shown on one line
    const SystemPort usb{
        QStringLiteral("ttyUSB0"), adapter.device(), QStringLiteral("FT232R USB UART"), {}, {}, {}, {}};
    const SystemPort acm{QStringLiteral("ttyACM0"), modem.device(), {}, {}, {}, {}, {}};
    const SystemPort prolific{
        QStringLiteral("ttyUSB1"), named.device(), QStringLiteral("PL2303"), {}, {}, {}, {}};
    PortDialogRig rig;
    rig.system.ports = {usb, prolific, acm};

    // After COM 8, what COM 2 does not already name through its link; each item says what it opens.
    rig.dialog.show();
    const QRect listPlace = rig.list()->geometry();
    const QSize size = rig.dialog.size();
    QCOMPARE(rig.texts(), comItems() << "ttyUSB0  FT232R USB UART"
                                     << "ttyACM0");
    QCOMPARE(rig.list()->currentIndex(), 0);
    const QStringList devices = {"/dev/ttyS0",     byId,          "/dev/tty\\nS2", "/dev/ttyS3",
                                 "/dev/ttyS4",     "/dev/ttyS5",  "/dev/ttyS6",    "/dev/ttyS7",
                                 adapter.device(), modem.device()};
    for (int i = 0; i < devices.size(); ++i) {
        QCOMPARE(rig.list()->itemData(i, Qt::ToolTipRole).toString(), devices[i]);
        QCOMPARE(rig.list()->itemData(i, Qt::AccessibleDescriptionRole).toString(), devices[i]);
    }
    qunsetenv("SGX100_COM2");
    qunsetenv("SGX100_COM3");

    // The dialog keeps its size; the drop-down is wide enough for the longest item.
    QCOMPARE(rig.dialog.size(), size);
    QCOMPARE(rig.list()->geometry(), listPlace);
    rig.list()->showPopup();
    QVERIFY(rig.list()->view()->width() >
            rig.list()->fontMetrics().horizontalAdvance(QStringLiteral("ttyUSB0  FT232R USB UART")));
    rig.list()->hidePopup();

    // An added item opens the device it names, and nothing else.
    rig.confirm(9);
    QVERIFY(!rig.dialog.isVisible());
    QCOMPARE(modem.takeWritten(), kPresenceCheck);
    QCOMPARE(adapter.takeWritten(), QByteArray());

    // The adapter unplugged: the modem moves up to 9 and stays chosen, by name.
    rig.system.ports = {acm};
    rig.dialog.show();
    QCOMPARE(rig.texts(), comItems() << "ttyACM0");
    QCOMPARE(rig.list()->currentText(), QStringLiteral("ttyACM0"));
    QCOMPARE(rig.list()->toolTip(), modem.device());
    rig.confirm();
    QCOMPARE(rig.state.portNumber, 9);
    QCOMPARE(modem.takeWritten(), kPresenceCheck);

    // The modem unplugged and the adapter back: the choice falls back to COM 1.
    rig.system.ports = {usb};
    rig.dialog.show();
    QCOMPARE(rig.texts(), comItems() << "ttyUSB0  FT232R USB UART");
    QCOMPARE(rig.list()->currentText(), QStringLiteral("COM 1"));
    QTest::mouseClick(rig.dialog.findChild<QPushButton *>(QStringLiteral("Button2")), Qt::LeftButton);
    QCOMPARE(adapter.takeWritten(), QByteArray());
    QVERIFY(rig.ui.messages().empty());
}

void MainWindowTest::portGoneBeforeOkIsNotReplaced()
{
    std::optional<PtyPair> adapter(std::in_place);
    PtyPair modem;
    QVERIFY(!adapter->device().isEmpty() && !modem.device().isEmpty());
    PortDialogRig rig;
    rig.system.ports = {{QStringLiteral("ttyUSB0"), adapter->device(), {}, {}, {}, {}, {}}};
    rig.dialog.show();
    QCOMPARE(rig.list()->count(), 9);

    // Unplugged while the dialog shows it; the system now reports the modem first.
    adapter.reset();
    rig.system.ports = {{QStringLiteral("ttyACM0"), modem.device(), {}, {}, {}, {}, {}}};
    rig.confirm(8);

    QCOMPARE(rig.ui.messages(), std::vector<std::string>{"Open COM Port ttyUSB0 fail !!"});
    QVERIFY(rig.dialog.isVisible());
    QCOMPARE(rig.state.portOpen, 0);
    QCOMPARE(modem.takeWritten(), QByteArray());
}

void MainWindowTest::aboutBoxIsCentredAndClosesWithEnterOrOk()
{
    m_driver->thenOn(QStringLiteral("AboutBox"), [](QWidget *box) {
        QCOMPARE(box->size(), QSize(298, 380));
        const QPoint offCentre = box->frameGeometry().center() - box->screen()->geometry().center();
        QVERIFY2(offCentre.manhattanLength() <= 2, "not centred on the screen");
        QCOMPARE(box->findChild<QLabel *>(QStringLiteral("Version"))->text(), QStringLiteral("Version:V0.3"));
        const auto *product = box->findChild<QLabel *>(QStringLiteral("ProductName"));
        QCOMPARE(product->text(), QStringLiteral("Product Name: Vorna - tv Signal Generator "));
        const int visible = product->fontMetrics().horizontalAdvance(product->text().trimmed());
        QVERIFY2(product->geometry().right() < product->parentWidget()->width() &&
                     visible <= product->width(),
                 qPrintable(QStringLiteral("product name cut off: %1 px of text in %2 px")
                                .arg(visible)
                                .arg(product->width())));
        for (const char *name : {"Comments", "Label1", "Label3", "Label2"}) {
            const auto *line = box->findChild<QLabel *>(QString::fromLatin1(name));
            QVERIFY2(line->fontMetrics().horizontalAdvance(line->text()) <= line->width() &&
                         line->geometry().right() < line->parentWidget()->width(),
                     name);
        }
        QVERIFY(box->findChild<QPushButton *>(QStringLiteral("OKButton"))->hasFocus());
        QTest::keyClick(box, Qt::Key_Return);
    });
    m_driver->thenOn(QStringLiteral("AboutBox"), [](QWidget *box) {
        QTest::mouseClick(box->findChild<QPushButton *>(QStringLiteral("OKButton")), Qt::LeftButton);
    });
    for (int i = 0; i < 2; ++i)
        QVERIFY(chooseMenuItem(form(), QStringLiteral("Help1"), QStringLiteral("HelpAboutItem")));
    QVERIFY(m_driver->allDone());
    QVERIFY(!m_program->aboutBox().isVisible());
}

void MainWindowTest::itemsThatCannotRunDoNoHarm()
{
    // The items that start a transaction, without a generator.
    const QList<QPair<const char *, const char *>> items = {
        {"Edit1", "DefaultSetting"}, {"EDID", "EDID_READ"}, {"EDID", "WRITE_EDID"}, {"EDID", "WriteEDID1"}};
    for (const auto &[menu, item] : items)
        QVERIFY(chooseMenuItem(form(), QString::fromLatin1(menu), QString::fromLatin1(item)));
    QTest::qWait(1200);

    QVERIFY(m_driver->messages.isEmpty());
    for (Operation op : kAllOperations)
        QCOMPARE(m_state.step(op), Idle);
    QVERIFY(showsAbsent(form()));
}

void MainWindowTest::windowMenuTilesCascadesAndActivates()
{
    QList<QMdiSubWindow *> children;
    for (int i = 1; i <= 3; ++i) {
        children << form().mdiArea()->addSubWindow(new QWidget);
        children.last()->setWindowTitle(QStringLiteral("Child %1").arg(i));
        children.last()->show();
    }
    const QRect client = form().mdiArea()->viewport()->rect();
    // Horizontally: stacked, each full width; vertically: side by side, each full height, which
    // is the same seen across the diagonal.
    const auto across = [](const QRect &r) { return QRect(r.y(), r.x(), r.height(), r.width()); };
    for (const bool horizontal : {true, false}) {
        QVERIFY(chooseMenuItem(form(), QStringLiteral("Window1"),
                               horizontal ? QStringLiteral("WindowTileItem")
                                          : QStringLiteral("WindowTileItem2")));
        QList<QRect> placed;
        for (QMdiSubWindow *child : children)
            placed << (horizontal ? child->geometry() : across(child->geometry()));
        std::sort(placed.begin(), placed.end(),
                  [](const QRect &a, const QRect &b) { return a.top() < b.top(); });
        const QRect area = horizontal ? client : across(client);
        int next = 0;
        for (const QRect &r : placed) {
            QCOMPARE(QRect(r.left(), r.top(), r.width(), 1), QRect(0, next, area.width(), 1));
            next = r.bottom() + 1;
        }
        QCOMPARE(next, area.height());
    }

    // Cascade: each keeps its tiled size; the most recently active comes last, on top.
    QList<QSize> sizes;
    for (QMdiSubWindow *child : children)
        sizes << child->size();
    form().mdiArea()->setActiveSubWindow(children[0]);
    QVERIFY(chooseMenuItem(form(), QStringLiteral("Window1"), QStringLiteral("WindowCascadeItem")));
    const int step = titleBarStep(children[0]);
    const QList<QMdiSubWindow *> order = {children[1], children[2], children[0]};
    for (int i = 0; i < 3; ++i)
        QCOMPARE(order[i]->geometry(), QRect(QPoint(step * i, step * i), sizes[children.indexOf(order[i])]));
    QCOMPARE(childAt(*form().mdiArea(), QPoint(2 * step + 5, 2 * step + 5)), children[0]);

    // The window list names every child; choosing one brings it forward.
    form().mdiArea()->setActiveSubWindow(children[0]);
    QVERIFY(chooseMenuItem(form(), QStringLiteral("Window1"), QString()));
    auto *menu = form().menuBar()->findChild<QMenu *>(QStringLiteral("Window1"));
    QStringList listed;
    for (QAction *a : menu->actions())
        listed << a->text();
    QCOMPARE(listed.mid(0, 4),
             (QStringList{"&Cascade", "Tile &Horizontally", "Tile &Vertically", "&Line Monitor"}));
    QCOMPARE(listed.mid(5), (QStringList{"&1 Child 1", "&2 Child 2", "&3 Child 3"}));
    QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(menu->actions().at(6)).center());
    QCOMPARE(form().mdiArea()->activeSubWindow(), children[1]);
}

void MainWindowTest::cascadeKeepsTheOutputWindowsSizes()
{
    QVERIFY(chooseMenuItem(form(), QStringLiteral("Output1"), QStringLiteral("Timing1")));
    QVERIFY(chooseMenuItem(form(), QStringLiteral("Output1"), QStringLiteral("Pattern1")));
    auto *timing =
        qobject_cast<QMdiSubWindow *>(frameChild(form(), QStringLiteral("Timing"))->parentWidget());
    auto *pattern =
        qobject_cast<QMdiSubWindow *>(frameChild(form(), QStringLiteral("Pattern"))->parentWidget());
    form().mdiArea()->setActiveSubWindow(pattern);
    QVERIFY(chooseMenuItem(form(), QStringLiteral("Window1"), QStringLiteral("WindowCascadeItem")));
    const int step = titleBarStep(timing);
    QCOMPARE(timing->geometry(), QRect(0, 0, 820, 520));
    QCOMPARE(pattern->geometry(), QRect(step, step, 693, 520));
    QCOMPARE(childAt(*form().mdiArea(), QPoint(step + 5, step + 5)), pattern);
}

void MainWindowTest::cascadeCutsToTheClientAreaAndShowsEveryTitleBar()
{
    const QSize client = form().mdiArea()->viewport()->size();
    QList<QMdiSubWindow *> children;
    const auto add = [&](QSize size) {
        children << form().mdiArea()->addSubWindow(new QWidget);
        children.last()->resize(size);
        children.last()->show();
        form().mdiArea()->setActiveSubWindow(children.last());
    };
    add(client + QSize(100, 50));
    for (int i = 0; i < 40; ++i)
        add(QSize(200, 120));
    form().WindowCascadeItemClick();

    QCOMPARE(children[0]->geometry(), QRect(QPoint(0, 0), client));
    const int step = titleBarStep(children[0]);
    int restarts = 0;
    for (int i = 1; i < children.size(); ++i) {
        const QPoint corner = children[i]->pos();
        QCOMPARE(children[i]->size(), QSize(200, 120));
        QVERIFY2(QRect(QPoint(0, 0), client).contains(QRect(corner, QSize(step, step))),
                 "a title bar outside the client area");
        if (corner == QPoint(0, 0))
            ++restarts;
        else
            QCOMPARE(corner, children[i - 1]->pos() + QPoint(step, step));
    }
    QCOMPARE(restarts, 1);
}

QTEST_MAIN(MainWindowTest)
#include "MainWindowTest.moc"
