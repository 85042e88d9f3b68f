// Saves pictures of the program's windows as an operator sees them: sgx_screenshots DIR.
// With SGX100_COM1 naming a generator (or the emulator) it also connects and shows the
// present display.
#include "DeviceLinkState.h"
#include "SgxProgram.h"
#include "SharedValues.h"
#include "TPattern_List.h"
#include "TPatterns.h"
#include "TProgrammer_Form.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFileDialog>
#include <QGuiApplication>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QTableView>
#include <QTest>
#include <QTimer>
#include <QToolButton>

#include <array>
#include <cstdio>

namespace {

bool save(const QPixmap &picture, const QDir &dir, const QString &name)
{
    const QString path = dir.filePath(name);
    if (!picture.save(path)) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
        return false;
    }
    std::printf("%s\n", qPrintable(path));
    return true;
}

QPixmap screenPicture()
{
    return QGuiApplication::primaryScreen()->grabWindow(0);
}

} // namespace

int main(int argc, char *argv[])
{
    DeviceLinkState state;
    SharedValues values;
    QApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s DIR\n", argv[0]);
        return 2;
    }
    const QDir dir(QString::fromLocal8Bit(argv[1]));
    bool ok = true;

    SgxProgram program(state, values);
    TMainForm &main = program.mainForm();
    program.show();
    if (!QTest::qWaitForWindowExposed(&main))
        return 1;
    QTest::qWait(500);
    ok &= save(main.grab(), dir, QStringLiteral("main-absent.png"));

    // The menus with pictures, opened from the menu bar.
    QMenuBar *bar = main.menuBar();
    const QList<QPair<const char *, QString>> menus = {{"File1", QStringLiteral("menu-file.png")},
                                                       {"Window1", QStringLiteral("menu-window.png")}};
    for (const auto &[name, picture] : menus) {
        auto *menu = bar->findChild<QMenu *>(QString::fromLatin1(name));
        QTest::mouseClick(bar, Qt::LeftButton, {}, bar->actionGeometry(menu->menuAction()).center());
        QTest::qWait(400);
        ok &= save(screenPicture().copy(main.frameGeometry().united(menu->geometry())), dir, picture);
        menu->close();
    }

    TAboutBox &about = program.aboutBox();
    QTimer::singleShot(500, &about, [&] {
        ok &= save(about.grab(), dir, QStringLiteral("about-box.png"));
        ok &= save(screenPicture(), dir, QStringLiteral("screen-about-box.png"));
        QTest::keyClick(&about, Qt::Key_Return);
    });
    main.HelpAbout1Execute();

    TCOM_PORT_SETTING_FORM &dialog = program.comPortSettingForm();
    const bool connect = !qEnvironmentVariableIsEmpty("SGX100_COM1");
    QTimer::singleShot(500, &dialog, [&] {
        ok &= save(dialog.grab(), dir, QStringLiteral("com-port-dialog.png"));
        ok &= save(screenPicture(), dir, QStringLiteral("screen-com-port-dialog.png"));
        const char *button = connect ? "Button1" : "Button2";
        QTest::mouseClick(dialog.findChild<QPushButton *>(QString::fromLatin1(button)), Qt::LeftButton);
    });
    QTest::mouseClick(main.findChild<QToolButton *>(QStringLiteral("ConnectButton")), Qt::LeftButton);

    if (connect) {
        if (!QTest::qWaitFor([&] { return state.devicePresent == 1; }, 5000)) {
            std::fprintf(stderr, "the generator did not answer\n");
            ok = false;
        }
        QTest::qWait(300);
        ok &= save(main.grab(), dir, QStringLiteral("main-present.png"));

        // Edit > Default Setting and the generator's confirmation.
        QTimer poll;
        poll.setInterval(50);
        QObject::connect(&poll, &QTimer::timeout, &poll, [&] {
            auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
            if (box == nullptr || !box->isVisible())
                return;
            poll.stop();
            QTest::qWait(300);
            ok &= save(screenPicture().copy(main.frameGeometry()), dir, QStringLiteral("message-box.png"));
            QTest::mouseClick(box->button(QMessageBox::Ok), Qt::LeftButton);
        });
        poll.start();
        main.DefaultSettingClick();
        QTest::qWait(3000);

        // Run Timing, then Window > Line Monitor shows the line since start-up.
        DeviceLink &link = program.deviceLink();
        if (!link.StartLinkOperation(Operation::TMIX) ||
            !QTest::qWaitFor([&] { return !link.LinkBusy(); }, 5000)) {
            std::fprintf(stderr, "Run Timing did not end\n");
            ok = false;
        }
        main.WindowLineMonitorItemClick();
        QTest::qWait(300);
        QMdiSubWindow *monitor = main.mdiArea()->currentSubWindow();
        ok &= save(monitor->grab(), dir, QStringLiteral("line-monitor.png"));
        monitor->close();

        // EDID > Read EDID, its message closed, then EDID > Memory shows what came.
        QTimer closeBox;
        closeBox.setInterval(50);
        bool readDone = false;
        QObject::connect(&closeBox, &QTimer::timeout, &closeBox, [&] {
            if (auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget())) {
                readDone = true;
                QTest::mouseClick(box->button(QMessageBox::Ok), Qt::LeftButton);
            }
        });
        closeBox.start();
        main.EDID_READClick();
        if (!QTest::qWaitFor([&] { return readDone; }, 15000)) {
            std::fprintf(stderr, "Read EDID did not end\n");
            ok = false;
        }
        closeBox.stop();
        TEDID_Block &memory = program.edidBlock();
        QTimer::singleShot(500, &memory, [&] {
            auto *cells = memory.findChild<QTableView *>(QStringLiteral("StringGrid1"));
            QTest::mouseClick(cells->viewport(), Qt::LeftButton, {},
                              cells->visualRect(cells->model()->index(0, 8)).center());
            QTest::qWait(200);
            ok &= save(memory.grab(), dir, QStringLiteral("edid-memory.png"));
            ok &= save(screenPicture().copy(main.frameGeometry().united(memory.frameGeometry())), dir,
                       QStringLiteral("screen-edid-memory.png"));
            memory.close();
        });
        main.EDID_MemorysClick();
    }

    // File > Open, its filter list opened.
    QTimer::singleShot(800, &main, [&] {
        auto *open = qobject_cast<QFileDialog *>(QApplication::activeModalWidget());
        if (open == nullptr) {
            std::fprintf(stderr, "no open dialog\n");
            ok = false;
            return;
        }
        ok &= save(open->grab(), dir, QStringLiteral("open-dialog.png"));
        auto *filters = open->findChild<QComboBox *>(QStringLiteral("fileTypeCombo"));
        filters->showPopup();
        QTest::qWait(400);
        ok &= save(screenPicture().copy(open->frameGeometry().adjusted(0, 0, 0, 60)), dir,
                   QStringLiteral("open-dialog-filters.png"));
        filters->hidePopup();
        open->reject();
    });
    main.FileOpenItemClick();

    // The timing windows: entry 12 chosen from the list, a highlighted row, a few marks.
    main.Timing1Click();
    QTest::qWait(300);
    auto *timing = main.mdiArea()->currentSubWindow();
    auto *up = timing->findChild<QWidget *>(QStringLiteral("UpDown1"));
    for (int i = 0; i < 11; ++i)
        QTest::mouseClick(up, Qt::LeftButton, {}, QPoint(up->width() / 2, 3));
    QTest::qWait(200);
    ok &= save(timing->grab(), dir, QStringLiteral("timing.png"));
    TTiming_List &list = program.timingList();
    QTest::mouseClick(timing->findChild<QPushButton *>(QStringLiteral("Button1")), Qt::LeftButton);
    QTest::qWait(300);
    auto *grid = list.findChild<QTableView *>(QStringLiteral("StringGrid1"));
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {},
                      grid->visualRect(grid->model()->index(11, 1)).center());
    QTest::qWait(200);
    ok &= save(list.grab(), dir, QStringLiteral("timing-list.png"));
    list.hide();

    TTimings &timings = program.timings();
    QTimer::singleShot(500, &timings, [&] {
        auto *marks = timings.findChild<QTableView *>(QStringLiteral("StringGrid3"));
        for (int row : {0, 2, 9})
            QTest::mouseClick(marks->viewport(), Qt::LeftButton, {},
                              marks->visualRect(marks->model()->index(row, 0)).center());
        QTest::qWait(200);
        ok &= save(timings.grab(), dir, QStringLiteral("timings.png"));
        timings.close();
    });
    main.Timing2Click();

    // The pattern windows: "Color Bar" picked from the list, a highlighted row, a few marks.
    main.Pattern1Click();
    QTest::qWait(300);
    auto *pattern = main.mdiArea()->currentSubWindow();
    TPattern_List &patternList = program.patternList();
    QTest::mouseClick(pattern->findChild<QPushButton *>(QStringLiteral("ShowButton1")), Qt::LeftButton);
    QTest::qWait(300);
    auto *patternGrid = patternList.findChild<QTableView *>(QStringLiteral("StringGrid2"));
    const QPoint colorBar = patternGrid->visualRect(patternGrid->model()->index(12, 1)).center();
    QTest::mouseClick(patternGrid->viewport(), Qt::LeftButton, {}, colorBar);
    QTest::qWait(200);
    ok &= save(patternList.grab(), dir, QStringLiteral("pattern-list.png"));
    QTest::mouseDClick(patternGrid->viewport(), Qt::LeftButton, {}, colorBar);
    QTest::qWait(300);
    ok &= save(pattern->grab(), dir, QStringLiteral("pattern.png"));
    // Window > Cascade with both output windows open: each keeps its size.
    main.WindowCascadeItemClick();
    QTest::qWait(300);
    ok &= save(main.grab(), dir, QStringLiteral("cascade.png"));

    TPatterns &patterns = program.patterns();
    QTimer::singleShot(500, &patterns, [&] {
        auto *marks = patterns.findChild<QTableView *>(QStringLiteral("StringGrid4"));
        for (int row : {0, 2, 12})
            QTest::mouseClick(marks->viewport(), Qt::LeftButton, {},
                              marks->visualRect(marks->model()->index(row, 0)).center());
        QTest::qWait(200);
        ok &= save(patterns.grab(), dir, QStringLiteral("patterns.png"));
        patterns.close();
    });
    main.Pattern2Click();

    // The program editor: three steps composed in the boxes, the second row being edited.
    TProgrammer_Form &editor = program.programmerForm();
    QTimer::singleShot(500, &editor, [&] {
        auto *steps = editor.findChild<QTableView *>(QStringLiteral("StringGrid5"));
        const auto press = [steps](int row) {
            QTest::mouseClick(steps->viewport(), Qt::LeftButton, {},
                              steps->visualRect(steps->model()->index(row, 1)).center());
        };
        const std::array<std::array<int, 4>, 3> composed = {{{5, 2, 1, 4}, {9, 12, 0, 29}, {29, 23, 0, 9}}};
        for (std::size_t row = 0; row < composed.size(); ++row) {
            press(static_cast<int>(row));
            for (int box = 0; box < 4; ++box) {
                auto *pcBox = editor.findChild<QComboBox *>(QStringLiteral("PCBox%1").arg(box + 1));
                pcBox->setCurrentIndex(composed[row][static_cast<std::size_t>(box)]);
                emit pcBox->activated(pcBox->currentIndex());
            }
        }
        press(1);
        QTest::qWait(200);
        ok &= save(editor.grab(), dir, QStringLiteral("program.png"));
        editor.close();
    });
    main.Program1Click();

    // A port that cannot be opened: the message, and under it the device and why.
    qputenv("SGX100_COM8", "/dev/ttyUSB7");
    QTimer::singleShot(500, &dialog, [&] {
        auto *ports = dialog.findChild<QComboBox *>(QStringLiteral("ComboBox1"));
        ports->setCurrentIndex(7);
        QTimer::singleShot(500, &dialog, [&] {
            if (auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget())) {
                ok &= save(screenPicture().copy(box->frameGeometry().adjusted(-20, -20, 20, 20)), dir,
                           QStringLiteral("open-failure.png"));
                box->accept();
            }
            QTimer::singleShot(200, &dialog, [&] {
                dialog.findChild<QComboBox *>(QStringLiteral("ComboBox1"))->setCurrentIndex(0);
                QTest::mouseClick(dialog.findChild<QPushButton *>(QStringLiteral("Button2")), Qt::LeftButton);
            });
        });
        QTest::mouseClick(dialog.findChild<QPushButton *>(QStringLiteral("Button1")), Qt::LeftButton);
    });
    main.COMPort1Click();
    qunsetenv("SGX100_COM8");

    main.close();
    return ok ? 0 : 1;
}
