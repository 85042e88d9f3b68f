// The main window, About box and COM port dialog as the operator finds them, without a generator.
#include "AppTestSupport.h"
#include "DeviceLinkState.h"
#include "GaugeBar.h"
#include "ModalDriver.h"
#include "PanelStatusBar.h"
#include "ProgramTitle.h"
#include "SgxProgram.h"
#include "SharedValues.h"

#include <QComboBox>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QTest>
#include <QToolBar>
#include <QToolButton>

#include <algorithm>
#include <memory>

using namespace AppTestSupport;

class MainWindowTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { quietenPlatformWarnings(); }
    void init();
    void cleanup();

    void programTitleComesFromTheExecutableName();
    void startsWithTheAbsentDisplay();
    void menuHoldsEveryItemInOrder();
    void toolBarShowsFourPictureButtons();
    void portDialogListsPortsAndKeepsTheChoice();
    void missingPortFailsAndTheDialogStaysOpen();
    void defaultSettingWithoutGeneratorDoesNothing();
    void aboutBoxIsCentredAndClosesWithEnterOrOk();
    void itemsWhoseWindowsComeLaterDoNoHarm();
    void windowMenuTilesCascadesAndActivates();
    void exitClosesTheProgramWithoutAQuestion();

private:
    TMainForm &form() { return m_program->mainForm(); }
    [[nodiscard]] QList<QMdiSubWindow *> addChildren(const QStringList &captions);

    std::unique_ptr<DeviceLinkState> m_state;
    std::unique_ptr<SharedValues> m_values;
    std::unique_ptr<SgxProgram> m_program;
    std::unique_ptr<ModalDriver> m_driver;
};

void MainWindowTest::init()
{
    m_state = std::make_unique<DeviceLinkState>();
    m_values = std::make_unique<SharedValues>();
    m_program = std::make_unique<SgxProgram>(*m_state, *m_values);
    m_driver = std::make_unique<ModalDriver>();
    m_program->show();
    QVERIFY(QTest::qWaitForWindowExposed(&form()));
}

void MainWindowTest::cleanup()
{
    m_driver.reset();
    m_program.reset();
    m_values.reset();
    m_state.reset();
}

QList<QMdiSubWindow *> MainWindowTest::addChildren(const QStringList &captions)
{
    QList<QMdiSubWindow *> children;
    for (const QString &caption : captions) {
        QMdiSubWindow *child = form().mdiArea()->addSubWindow(new QWidget);
        child->setWindowTitle(caption);
        child->resize(200, 150);
        child->show();
        children << child;
    }
    return children;
}

void MainWindowTest::programTitleComesFromTheExecutableName()
{
    QCOMPARE(programTitleFor(QStringLiteral("/usr/local/bin/sgxcontrol")), QStringLiteral("Sgxcontrol"));
    QCOMPARE(programTitleFor(QStringLiteral("SGXCONTROL.EXE")), QStringLiteral("Sgxcontrol"));
    QCOMPARE(programTitleFor(QStringLiteral("/opt/tv/sgxControl.bin")), QStringLiteral("Sgxcontrol"));
    QCOMPARE(programTitle(), QStringLiteral("App_window_tests"));
}

void MainWindowTest::startsWithTheAbsentDisplay()
{
    QCOMPARE(form().windowTitle(), QStringLiteral("Vorna - tv Signal Generator"));
    QCOMPARE(form().frameGeometry().topLeft(), QPoint(100, 45));
    QCOMPARE(form().frameGeometry().size(), QSize(900, 694));

    const QImage client = form().mdiArea()->viewport()->grab().toImage();
    QCOMPARE(client.pixelColor(client.width() / 2, client.height() / 2), QColor(Qt::white));
    QCOMPARE(client.pixelColor(5, 5), QColor(Qt::white));

    QVERIFY(showsAbsent(form()));
    QCOMPARE(m_state->devicePresent, 0);

    auto *bar = form().findChild<PanelStatusBar *>(QStringLiteral("StatusBar1"));
    QCOMPARE(bar->panelCount(), 3);
    QCOMPARE(bar->panelRect(0).width(), 250);
    QCOMPARE(bar->panelRect(1).width(), 450);
    QVERIFY(bar->panelRect(2).width() >= 100);

    auto *gauge = form().findChild<GaugeBar *>(QStringLiteral("ProgressGauge"));
    QCOMPARE(gauge->parentWidget(), bar);
    QCOMPARE(gauge->geometry(), QRect(2, 2, 246, bar->height() - 4));
    QCOMPARE(gauge->value(), 0);
    QCOMPARE(gauge->text(), QStringLiteral("0%"));
    const QImage gaugePicture = gauge->grab().toImage();
    QCOMPARE(gaugePicture.pixelColor(0, gaugePicture.height() / 2), QColor(Qt::black));
    QCOMPARE(gaugePicture.pixelColor(3, 3), form().palette().color(QPalette::Button));

    auto *memo = form().findChild<QPlainTextEdit *>(QStringLiteral("Memo1"));
    QVERIFY(memo != nullptr);
    QVERIFY(!memo->isVisible());

    // Only the main window shows; the dialogs wait hidden.
    QVERIFY(!m_program->aboutBox().isVisible());
    QVERIFY(!m_program->comPortSettingForm().isVisible());
}

void MainWindowTest::menuHoldsEveryItemInOrder()
{
    const QList<QPair<QString, QStringList>> expected = {
        {QStringLiteral("&File"),
         {QStringLiteral("&Open"), QStringLiteral("Save &As..."), QStringLiteral("E&xit")}},
        {QStringLiteral("&Edit"),
         {QStringLiteral("Timing"), QStringLiteral("Pattern"), QStringLiteral("Program"), QString(),
          QStringLiteral("Default Setting")}},
        {QStringLiteral("Config"), {QStringLiteral("COM Port")}},
        {QStringLiteral("Output"), {QStringLiteral("Timing"), QStringLiteral("Pattern")}},
        {QStringLiteral("EDID"),
         {QStringLiteral("Read EDID"), QStringLiteral("Upload EDID"), QStringLiteral("Write EDID"),
          QStringLiteral("Memory")}},
        {QStringLiteral("&Window"),
         {QStringLiteral("&Cascade"), QStringLiteral("Tile &Horizontally"),
          QStringLiteral("Tile &Vertically")}},
        {QStringLiteral("&Help"), {QStringLiteral("&About...")}},
    };
    const QList<QAction *> menus = form().menuBar()->actions();
    QCOMPARE(menus.size(), expected.size());
    QStringList withPictures;
    for (int m = 0; m < menus.size(); ++m) {
        QCOMPARE(menus[m]->text(), expected[m].first);
        QStringList items;
        for (QAction *item : menus[m]->menu()->actions()) {
            items << item->text();
            if (item->isSeparator())
                QVERIFY(item->text().isEmpty());
            if (!item->icon().isNull())
                withPictures << item->text();
            QVERIFY(item->isEnabled());
        }
        QCOMPARE(items, expected[m].second);
    }
    QCOMPARE(withPictures,
             (QStringList{QStringLiteral("&Open"), QStringLiteral("Save &As..."), QStringLiteral("&Cascade"),
                          QStringLiteral("Tile &Horizontally"), QStringLiteral("Tile &Vertically")}));

    const QList<QAction *> file = menus[0]->menu()->actions();
    QCOMPARE(file[0]->shortcut(), QKeySequence(QStringLiteral("Ctrl+O")));
    QVERIFY(file[1]->shortcut().isEmpty());
}

void MainWindowTest::toolBarShowsFourPictureButtons()
{
    auto *toolBar = form().findChild<QToolBar *>(QStringLiteral("ToolBar2"));
    QCOMPARE(toolBar->height(), 30);
    QStringList names;
    for (QAction *action : toolBar->actions()) {
        auto *button = qobject_cast<QToolButton *>(toolBar->widgetForAction(action));
        names << button->objectName();
        QCOMPARE(button->toolButtonStyle(), Qt::ToolButtonIconOnly);
        QVERIFY(!action->icon().isNull());
    }
    QCOMPARE(names, (QStringList{QStringLiteral("ConnectButton"), QStringLiteral("DisConnectButton"),
                                 QStringLiteral("Timing_Run"), QStringLiteral("Pattern_Run")}));
    // Each button has a picture of its own.
    QList<QImage> pictures;
    for (QAction *action : toolBar->actions())
        pictures << action->icon().pixmap(16, 16).toImage();
    for (int i = 0; i < pictures.size(); ++i)
        for (int j = i + 1; j < pictures.size(); ++j)
            QVERIFY(pictures[i] != pictures[j]);
}

void MainWindowTest::portDialogListsPortsAndKeepsTheChoice()
{
    m_driver->thenOn(QStringLiteral("COM_PORT_SETTING_FORM"), [](QWidget *dialog) {
        QCOMPARE(dialog->windowTitle(), QStringLiteral("COM Port Setting "));
        QCOMPARE(dialog->size(), QSize(330, 232));
        QVERIFY(!(dialog->windowFlags() & Qt::WindowMinimizeButtonHint));
        QVERIFY(!(dialog->windowFlags() & Qt::WindowMaximizeButtonHint));
        QCOMPARE(dialog->font().family(), QStringLiteral("Arial"));
        QCOMPARE(dialog->font().pixelSize(), 16);

        QStringList labels;
        for (const char *name : {"Label1", "Label2", "Label3", "Label4"})
            labels << dialog->findChild<QLabel *>(QString::fromLatin1(name))->text();
        QCOMPARE(labels, (QStringList{"COM Port", "Baud Rate", "Data Bits", "Parity"}));

        auto *ports = dialog->findChild<QComboBox *>(QStringLiteral("ComboBox1"));
        QVERIFY(!ports->isEditable());
        QStringList items;
        for (int i = 0; i < ports->count(); ++i)
            items << ports->itemText(i);
        QCOMPARE(items,
                 (QStringList{"COM 1", "COM 2", "COM 3", "COM 4", "COM 5", "COM 6", "COM 7", "COM 8"}));
        QCOMPARE(ports->currentText(), QStringLiteral("COM 1"));

        const QList<QPair<const char *, QString>> fixed = {
            {"ComboBox2", "19200"}, {"ComboBox3", "8"}, {"ComboBox4", "None"}};
        for (const auto &[name, text] : fixed) {
            auto *list = dialog->findChild<QComboBox *>(QString::fromLatin1(name));
            QCOMPARE(list->currentText(), text);
            QVERIFY(!list->isEnabled());
        }
        // Every control lies inside the window.
        for (QWidget *child : dialog->findChildren<QWidget *>(QString(), Qt::FindDirectChildrenOnly))
            QVERIFY2(dialog->rect().contains(child->geometry()), qPrintable(child->objectName()));

        ports->setFocus();
        QTest::keyClick(ports, Qt::Key_Down);
        QTest::keyClick(ports, Qt::Key_Down);
        QCOMPARE(ports->currentText(), QStringLiteral("COM 3"));
        QTest::mouseClick(dialog->findChild<QPushButton *>(QStringLiteral("Button2")), Qt::LeftButton);
    });
    clickToolButton(form(), QStringLiteral("ConnectButton"));
    QVERIFY(m_driver->allDone());
    QVERIFY(!m_program->comPortSettingForm().isVisible());

    // Config > COM Port shows the same dialog, still at the port chosen last.
    QString shown;
    m_driver->thenOn(QStringLiteral("COM_PORT_SETTING_FORM"), [&shown](QWidget *dialog) {
        shown = dialog->findChild<QComboBox *>(QStringLiteral("ComboBox1"))->currentText();
        QTest::mouseClick(dialog->findChild<QPushButton *>(QStringLiteral("Button2")), Qt::LeftButton);
    });
    chooseMenuItem(form(), QStringLiteral("Config1"), QStringLiteral("COMPort1"));
    QCOMPARE(shown, QStringLiteral("COM 3"));

    // Cancel opened nothing.
    QCOMPARE(m_state->portOpen, 0);
    QCOMPARE(m_state->portNumber, 0);
    QVERIFY(m_driver->messages.isEmpty());
}

void MainWindowTest::missingPortFailsAndTheDialogStaysOpen()
{
    qputenv("SGX100_COM5", "/nonexistent/sgx100");
    pickPortAndConfirm(*m_driver, 4);
    bool stillOpen = false;
    m_driver->thenOn(QStringLiteral("COM_PORT_SETTING_FORM"), [&stillOpen](QWidget *dialog) {
        stillOpen = dialog->isVisible();
        QTest::mouseClick(dialog->findChild<QPushButton *>(QStringLiteral("Button2")), Qt::LeftButton);
    });
    clickToolButton(form(), QStringLiteral("ConnectButton"));
    qunsetenv("SGX100_COM5");

    QVERIFY(stillOpen);
    QCOMPARE(m_driver->messages, QStringList{QStringLiteral("Open COM Port 5 fail !!")});
    QCOMPARE(m_driver->titles, QStringList{QStringLiteral("App_window_tests")});
    QCOMPARE(m_driver->buttonCounts, QList<int>{1});
    QCOMPARE(m_state->portOpen, 0);
    QCOMPARE(m_state->portNumber, 5);
    QVERIFY(showsAbsent(form()));
}

void MainWindowTest::defaultSettingWithoutGeneratorDoesNothing()
{
    chooseMenuItem(form(), QStringLiteral("Edit1"), QStringLiteral("DefaultSetting"));
    QTest::qWait(1200);
    QVERIFY(m_driver->messages.isEmpty());
    QCOMPARE(m_state->stepDFSET, Idle);
    QVERIFY(showsAbsent(form()));
}

void MainWindowTest::aboutBoxIsCentredAndClosesWithEnterOrOk()
{
    m_driver->thenOn(QStringLiteral("AboutBox"), [](QWidget *box) {
        QCOMPARE(box->windowTitle(), QStringLiteral("About"));
        QCOMPARE(box->size(), QSize(298, 380));
        QCOMPARE(box->minimumSize(), box->maximumSize());
        const QPoint offCentre = box->frameGeometry().center() - box->screen()->geometry().center();
        QVERIFY2(offCentre.manhattanLength() <= 2, "not centred on the screen");

        auto *panel = box->findChild<QWidget *>(QStringLiteral("Panel1"));
        QCOMPARE(panel->geometry(), QRect(8, 8, 281, 297));
        QCOMPARE(panel->font().family(), QStringLiteral("Times New Roman"));
        auto *product = box->findChild<QLabel *>(QStringLiteral("ProductName"));
        QCOMPARE(product->text(), QStringLiteral("Product Name: Vorna - tv Signal Generator "));
        QCOMPARE(product->pos(), QPoint(8, 128));
        QVERIFY2(product->geometry().right() < panel->width(), "product name cut off");
        auto *version = box->findChild<QLabel *>(QStringLiteral("Version"));
        QCOMPARE(version->text(), QStringLiteral("Version:V0.3"));
        QCOMPARE(version->pos(), QPoint(96, 152));
        auto *picture = box->findChild<QLabel *>(QStringLiteral("ProgramIcon"));
        QCOMPARE(picture->pixmap().size(), QSize(258, 89));
        for (const char *name : {"Comments", "Label1", "Label3", "Label2"})
            QVERIFY(!box->findChild<QLabel *>(QString::fromLatin1(name))->text().isEmpty());

        auto *ok = box->findChild<QPushButton *>(QStringLiteral("OKButton"));
        QCOMPARE(ok->geometry(), QRect(112, 330, 65, 33));
        QVERIFY(ok->isDefault());
        QVERIFY(ok->hasFocus());
        QTest::keyClick(box, Qt::Key_Return);
    });
    chooseMenuItem(form(), QStringLiteral("Help1"), QStringLiteral("HelpAboutItem"));
    QVERIFY(m_driver->allDone());
    QVERIFY(!m_program->aboutBox().isVisible());

    m_driver->thenOn(QStringLiteral("AboutBox"), [](QWidget *box) {
        QTest::mouseClick(box->findChild<QPushButton *>(QStringLiteral("OKButton")), Qt::LeftButton);
    });
    chooseMenuItem(form(), QStringLiteral("Help1"), QStringLiteral("HelpAboutItem"));
    QVERIFY(m_driver->allDone());
    QVERIFY(!m_program->aboutBox().isVisible());
}

void MainWindowTest::itemsWhoseWindowsComeLaterDoNoHarm()
{
    for (const char *button : {"Timing_Run", "Pattern_Run", "Timing_Run"})
        clickToolButton(form(), QString::fromLatin1(button));
    const QList<QPair<const char *, const char *>> items = {
        {"File1", "FileOpenItem"}, {"File1", "FileSaveAsItem"}, {"Edit1", "Timing2"},
        {"Edit1", "Pattern2"},     {"Edit1", "Program1"},       {"Output1", "Timing1"},
        {"Output1", "Pattern1"},   {"EDID", "EDID_READ"},       {"EDID", "WRITE_EDID"},
        {"EDID", "WriteEDID1"},    {"EDID", "EDID_Memorys"}};
    for (const auto &[menu, item] : items)
        chooseMenuItem(form(), QString::fromLatin1(menu), QString::fromLatin1(item));
    QTest::qWait(600);

    QVERIFY(form().isVisible());
    QVERIFY(QApplication::activeModalWidget() == nullptr);
    QVERIFY(m_driver->messages.isEmpty());
    QVERIFY(form().mdiArea()->subWindowList().isEmpty());
    for (Operation op : kAllOperations)
        QCOMPARE(m_state->step(op), Idle);
    QVERIFY(showsAbsent(form()));
}

void MainWindowTest::windowMenuTilesCascadesAndActivates()
{
    const QList<QMdiSubWindow *> children =
        addChildren({QStringLiteral("One"), QStringLiteral("Two"), QStringLiteral("Three")});
    const QRect client = form().mdiArea()->viewport()->rect();

    chooseMenuItem(form(), QStringLiteral("Window1"), QStringLiteral("WindowTileItem"));
    QList<QRect> rects;
    for (QMdiSubWindow *child : children)
        rects << child->geometry();
    std::sort(rects.begin(), rects.end(), [](const QRect &a, const QRect &b) { return a.top() < b.top(); });
    int nextTop = 0;
    for (const QRect &r : rects) {
        QCOMPARE(r.left(), 0);
        QCOMPARE(r.width(), client.width());
        QCOMPARE(r.top(), nextTop);
        nextTop = r.bottom() + 1;
    }
    QCOMPARE(nextTop, client.height());

    chooseMenuItem(form(), QStringLiteral("Window1"), QStringLiteral("WindowTileItem2"));
    rects.clear();
    for (QMdiSubWindow *child : children)
        rects << child->geometry();
    std::sort(rects.begin(), rects.end(), [](const QRect &a, const QRect &b) { return a.left() < b.left(); });
    int nextLeft = 0;
    for (const QRect &r : rects) {
        QCOMPARE(r.top(), 0);
        QCOMPARE(r.height(), client.height());
        QCOMPARE(r.left(), nextLeft);
        nextLeft = r.right() + 1;
    }
    QCOMPARE(nextLeft, client.width());

    chooseMenuItem(form(), QStringLiteral("Window1"), QStringLiteral("WindowCascadeItem"));
    QList<QPoint> corners;
    for (QMdiSubWindow *child : children)
        corners << child->pos();
    std::sort(corners.begin(), corners.end(), [](const QPoint &a, const QPoint &b) { return a.x() < b.x(); });
    for (int i = 1; i < corners.size(); ++i) {
        QVERIFY(corners[i].x() > corners[i - 1].x());
        QVERIFY(corners[i].y() > corners[i - 1].y());
    }

    // The window list names every child; choosing one brings it forward.
    form().mdiArea()->setActiveSubWindow(children[0]);
    auto *windowMenu = form().menuBar()->findChild<QMenu *>(QStringLiteral("Window1"));
    QMenuBar *bar = form().menuBar();
    QTest::mouseClick(bar, Qt::LeftButton, {}, bar->actionGeometry(windowMenu->menuAction()).center());
    QVERIFY(QTest::qWaitForWindowExposed(windowMenu));
    QStringList listed;
    QAction *two = nullptr;
    for (QAction *a : windowMenu->actions()) {
        if (a->isCheckable()) {
            listed << a->text();
            if (a->text().endsWith(QStringLiteral("Two")))
                two = a;
        }
    }
    QCOMPARE(listed, (QStringList{"&1 One", "&2 Two", "&3 Three"}));
    QTest::mouseClick(windowMenu, Qt::LeftButton, {}, windowMenu->actionGeometry(two).center());
    QCOMPARE(form().mdiArea()->activeSubWindow(), children[1]);
}

void MainWindowTest::exitClosesTheProgramWithoutAQuestion()
{
    chooseMenuItem(form(), QStringLiteral("File1"), QStringLiteral("FileExitItem"));
    QTest::qWait(300);
    QVERIFY(!form().isVisible());
    QVERIFY(m_driver->messages.isEmpty());
}

QTEST_MAIN(MainWindowTest)
#include "MainWindowTest.moc"
