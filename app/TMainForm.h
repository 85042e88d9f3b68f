#pragma once

#include "DeviceLinkState.h"
#include "ImageList.h"
#include "LinkOperator.h"

#include <QMainWindow>

#include <functional>
#include <optional>

class PanelStatusBar;
class QAction;
class QFileDialog;
class QMdiArea;
class QMdiSubWindow;
class QMenu;
class QPlainTextEdit;
class QProgressBar;
class QToolBar;
struct AppForms;

// The frame: menus, tool bar, status bar with the presence display and progress gauge, and the
// two timers that drive the link. Everything the link shows the operator comes through here.
class TMainForm : public QMainWindow, public LinkOperator {
    Q_OBJECT
public:
    // The link core is reached through forms; it is built after this window, which it reports to.
    TMainForm(DeviceLinkState &state, AppForms &forms, QWidget *parent = nullptr);

    [[nodiscard]] QMdiArea *mdiArea() const { return m_mdiArea; }

    // LinkOperator
    void showMessage(const std::string &text, const std::string &detail) override;
    void showDevicePresent() override;
    void showDeviceAbsent() override;
    void setProgress(int percent) override;
    void setProgressPanelOwnerDrawn() override;
    void appendReceiveLog(const std::uint8_t *bytes, std::size_t count) override;
    void clearReceiveLog() override;

    // File
    void FileOpenItemClick();
    void FileSaveAsItemClick();
    void FileExit1Execute();
    // Edit
    void Timing2Click();
    void Pattern2Click();
    void Program1Click();
    void DefaultSettingClick();
    // Config
    void COMPort1Click();
    // Output
    void Timing1Click();
    void Pattern1Click();
    // EDID
    void EDID_READClick();
    void WRITE_EDIDClick();
    void WriteEDID1Click();
    void EDID_MemorysClick();
    // Window
    void WindowCascadeItemClick();
    void WindowTileItemClick();
    void WindowTileItem2Click();
    // Help
    void HelpAbout1Execute();
    // Tool bar
    void ConnectButtonClick();
    void DisConnectButtonClick();
    void Timing_RunClick();
    void Pattern_RunClick();

    // Paints an owner-drawn status panel: the red "Not Exist" panel, or a plain one.
    void StatusBar1DrawPanel(QPainter &painter, int panel, const QRect &rect);

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void createMenus();
    void createToolBar();
    void createStatusBar();
    QAction *addItem(QMenu *menu, const char *name, const QString &caption, void (TMainForm::*handler)(),
                     int picture = -1);
    void attachStatusDrawHandler(bool attached);
    void fillWindowList();
    [[nodiscard]] QMdiSubWindow *findChildWindow(const QString &caption) const;
    // At the outer size in the frame; without a place, where the frame puts a new child.
    QMdiSubWindow *addOutputWindow(QWidget *content, QSize size, std::optional<QPoint> place,
                                   std::function<void()> onActivate);

    void startOperation(Operation op);

    DeviceLinkState &m_state;
    AppForms &m_forms;
    ImageList m_images;

    QMdiArea *m_mdiArea = nullptr;
    QMenu *m_windowMenu = nullptr;
    QToolBar *m_toolBar2 = nullptr;
    QAction *m_connectButton = nullptr;
    QAction *m_disConnectButton = nullptr;
    QAction *m_timingRun = nullptr;
    QAction *m_patternRun = nullptr;
    PanelStatusBar *m_statusBar1 = nullptr;
    QProgressBar *m_progressGauge = nullptr;
    QPlainTextEdit *m_memo1 = nullptr;
    // Made on first use, then kept.
    QFileDialog *m_openDialog1 = nullptr;
    QFileDialog *m_saveDialog1 = nullptr;
};
