// The main window, About box and COM port dialog as the operator finds them, without a generator.
#include "AppTestSupport.h"
#include "DeviceLinkState.h"
#include "GaugeBar.h"
#include "ModalDriver.h"
#include "ProgramTitle.h"
#include "SgxProgram.h"
#include "SharedValues.h"

#include <QComboBox>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QScreen>
#include <QTest>
#include <QToolBar>
#include <QToolButton>

#include <algorithm>
#include <memory>

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
        QCOMPARE(ports->count(), 8);
        QCOMPARE(ports->currentText(), QStringLiteral("COM 1"));
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
    QCOMPARE(listed.mid(4), (QStringList{"&1 Child 1", "&2 Child 2", "&3 Child 3"}));
    QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(menu->actions().at(5)).center());
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
