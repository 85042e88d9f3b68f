#pragma once

#include "DeviceLinkState.h"
#include "ImageList.h"
#include "SharedValues.h"

#include <QMainWindow>
#include <QMdiArea>
#include <QMdiSubWindow>

#include <functional>
#include <optional>

class PanelStatusBar;
class QAction;
class QFileDialog;
class QMenu;
class QPlainTextEdit;
class QProgressBar;
class QToolBar;

// The frame: menus, tool bar, and the status bar with the presence display and progress gauge.
// Its items and buttons say what the operator asked for through the signals below; the program
// connects them to the windows and the link. The File items load and save the EDID it is given.
class TMainForm : public QMainWindow {
    Q_OBJECT
public:
    TMainForm(DeviceLinkState &state, EdidBytes &edid, QWidget *parent = nullptr);

    [[nodiscard]] QMdiArea *mdiArea() const { return m_mdiArea; }
    // Adds an output window (Output > Timing, Output > Pattern) at its outer size; without a
    // place, where the frame puts a new child. onActivate runs each time it becomes active.
    QMdiSubWindow *addOutputWindow(QWidget *content, QSize size, std::optional<QPoint> place,
                                   std::function<void()> onActivate);
    // The open output window whose contents are of type W, if any.
    template <typename W> [[nodiscard]] W *outputWindow() const;

    // What the link shows: the presence displays, the gauge, messages and the receive log.
    void showDevicePresent();
    void showDeviceAbsent();
    void showPresence(bool present) { present ? showDevicePresent() : showDeviceAbsent(); }
    void setProgress(int percent);
    void setProgressPanelOwnerDrawn();
    [[nodiscard]] QString statusNote() const;
    void appendReceiveLog(const QByteArray &bytes);
    void clearReceiveLog();
    // A note in the middle status panel that stays, such as a trace that stopped.
    void showStatusNote(const QString &text);

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
    void WindowLineMonitorItemClick();
    // Help
    void HelpAbout1Execute();
    // Tool bar
    void ConnectButtonClick();
    void DisConnectButtonClick();
    void Timing_RunClick();
    void Pattern_RunClick();

    // Paints an owner-drawn status panel: the red "Not Exist" panel, or a plain one.
    void StatusBar1DrawPanel(QPainter &painter, int panel, const QRect &rect);

signals:
    void timingsRequested();
    void patternsRequested();
    void programRequested();
    void portSettingsRequested();
    void disconnectRequested();
    void timingWindowRequested();
    void patternWindowRequested();
    void edidMemoryRequested();
    void aboutRequested();
    void lineMonitorRequested();
    // Default Setting and the three EDID transfers.
    void operationRequested(Operation op);
    // The frame is closing, which ends the program.
    void closing();

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

    DeviceLinkState &m_state;
    EdidBytes &m_edid;
    ImageList m_images;

    QMdiArea *m_mdiArea = nullptr;
    QMenu *m_windowMenu = nullptr;
    QToolBar *m_toolBar2 = nullptr;
    QAction *m_connectButton = nullptr;
    QAction *m_disConnectButton = nullptr;
    PanelStatusBar *m_statusBar1 = nullptr;
    QProgressBar *m_progressGauge = nullptr;
    QPlainTextEdit *m_memo1 = nullptr;
    // Made on first use, then kept.
    QFileDialog *m_openDialog1 = nullptr;
    QFileDialog *m_saveDialog1 = nullptr;
};

template <typename W> W *TMainForm::outputWindow() const
{
    for (QMdiSubWindow *window : m_mdiArea->subWindowList())
        if (auto *content = qobject_cast<W *>(window->widget()))
            return content;
    return nullptr;
}
