#include "TMainForm.h"

#include "DeviceLinkState.h"
#include "EdidFileDialogs.h"
#include "GaugeBar.h"
#include "MdiTiling.h"
#include "MessageBoxes.h"
#include "OuterGeometry.h"
#include "PanelStatusBar.h"
#include "SharedValues.h"

#include <QApplication>
#include <QCloseEvent>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QMessageBox>
#include <QPainter>
#include <QPlainTextEdit>
#include <QProxyStyle>
#include <QStyleFactory>
#include <QTextCursor>
#include <QTextDocument>
#include <QToolBar>
#include <QToolButton>
#include <algorithm>

namespace {

constexpr int kLeft = 100;
constexpr int kTop = 45;
constexpr int kOuterWidth = 900;
constexpr int kOuterHeight = 694;

constexpr int kToolBarBorder = 1;
constexpr int kToolBarIndent = 5;

// The tool bar's border and spacing, the rest as the application's style has it.
class ToolBarMetrics : public QProxyStyle {
public:
    explicit ToolBarMetrics(int border)
        : QProxyStyle(QStyleFactory::create(QApplication::style()->name())), m_border(border)
    {
    }
    int pixelMetric(PixelMetric metric, const QStyleOption *option, const QWidget *widget) const override
    {
        switch (metric) {
        case PM_ToolBarFrameWidth: return m_border;
        case PM_ToolBarItemMargin:
        case PM_ToolBarItemSpacing: return 0;
        default: return QProxyStyle::pixelMetric(metric, option, widget);
        }
    }

private:
    int m_border;
};

constexpr int kGaugePanel = 0;
// Empty unless there is something to note.
constexpr int kNotePanel = 1;
constexpr int kReceiveLogChars = 16 * 1024;
constexpr int kPresencePanel = 2;
const QString kPresentText = QStringLiteral(" SGX-100 Status : Exist    ");
const QString kAbsentText = QStringLiteral(" SGX-100 Status : Not Exist");

} // namespace

TMainForm::TMainForm(DeviceLinkState &state, EdidBytes &edid, QWidget *parent)
    : QMainWindow(parent), m_state(state), m_edid(edid)
{
    setObjectName(QStringLiteral("MainForm"));
    setWindowTitle(QStringLiteral("Vorna - tv Signal Generator"));
    setWindowIcon(ImageList::programIcon());

    m_mdiArea = new QMdiArea(this);
    m_mdiArea->setObjectName(QStringLiteral("ClientArea"));
    m_mdiArea->setBackground(Qt::white);
    m_mdiArea->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    m_mdiArea->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setCentralWidget(m_mdiArea);

    createMenus();
    createToolBar();
    createStatusBar();

    // The receive log: kept, never shown, read by nothing.
    m_memo1 = new QPlainTextEdit(this);
    m_memo1->setObjectName(QStringLiteral("Memo1"));
    m_memo1->setReadOnly(true);
    // Trimmed as it grows, it keeps no history of what was trimmed.
    m_memo1->setUndoRedoEnabled(false);
    m_memo1->hide();

    // FormCreate: the size and place are the outer ones, frame included.
    new OuterGeometry(this, QSize(kOuterWidth, kOuterHeight), OuterGeometry::Sizing::Resizable,
                      QPoint(kLeft, kTop));
    showPresence(m_state.devicePresent == 1);
}

QAction *TMainForm::addItem(QMenu *menu, const char *name, const QString &caption,
                            void (TMainForm::*handler)(), int picture)
{
    QAction *action = menu->addAction(caption);
    action->setObjectName(QString::fromLatin1(name));
    if (picture >= 0)
        action->setIcon(m_images.icon(picture));
    connect(action, &QAction::triggered, this, handler);
    return action;
}

void TMainForm::createMenus()
{
    QMenuBar *bar = menuBar();
    bar->setObjectName(QStringLiteral("MainMenu1"));

    QMenu *file = bar->addMenu(QStringLiteral("&File"));
    file->setObjectName(QStringLiteral("File1"));
    QAction *open = addItem(file, "FileOpenItem", QStringLiteral("&Open"), &TMainForm::FileOpenItemClick,
                            ImageList::Open);
    open->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_O));
    addItem(file, "FileSaveAsItem", QStringLiteral("Save &As..."), &TMainForm::FileSaveAsItemClick,
            ImageList::SaveAs);
    addItem(file, "FileExitItem", QStringLiteral("E&xit"), &TMainForm::FileExit1Execute);

    QMenu *edit = bar->addMenu(QStringLiteral("&Edit"));
    edit->setObjectName(QStringLiteral("Edit1"));
    addItem(edit, "Timing2", QStringLiteral("Timing"), &TMainForm::Timing2Click);
    addItem(edit, "Pattern2", QStringLiteral("Pattern"), &TMainForm::Pattern2Click);
    addItem(edit, "Program1", QStringLiteral("Program"), &TMainForm::Program1Click);
    edit->addSeparator()->setObjectName(QStringLiteral("N1"));
    addItem(edit, "DefaultSetting", QStringLiteral("Default Setting"), &TMainForm::DefaultSettingClick);

    QMenu *config = bar->addMenu(QStringLiteral("Config"));
    config->setObjectName(QStringLiteral("Config1"));
    addItem(config, "COMPort1", QStringLiteral("COM Port"), &TMainForm::COMPort1Click);

    QMenu *output = bar->addMenu(QStringLiteral("Output"));
    output->setObjectName(QStringLiteral("Output1"));
    addItem(output, "Timing1", QStringLiteral("Timing"), &TMainForm::Timing1Click);
    addItem(output, "Pattern1", QStringLiteral("Pattern"), &TMainForm::Pattern1Click);

    QMenu *edid = bar->addMenu(QStringLiteral("EDID"));
    edid->setObjectName(QStringLiteral("EDID"));
    addItem(edid, "EDID_READ", QStringLiteral("Read EDID"), &TMainForm::EDID_READClick);
    addItem(edid, "WRITE_EDID", QStringLiteral("Upload EDID"), &TMainForm::WRITE_EDIDClick);
    addItem(edid, "WriteEDID1", QStringLiteral("Write EDID"), &TMainForm::WriteEDID1Click);
    addItem(edid, "EDID_Memorys", QStringLiteral("Memory"), &TMainForm::EDID_MemorysClick);

    m_windowMenu = bar->addMenu(QStringLiteral("&Window"));
    m_windowMenu->setObjectName(QStringLiteral("Window1"));
    addItem(m_windowMenu, "WindowCascadeItem", QStringLiteral("&Cascade"), &TMainForm::WindowCascadeItemClick,
            ImageList::Cascade);
    addItem(m_windowMenu, "WindowTileItem", QStringLiteral("Tile &Horizontally"),
            &TMainForm::WindowTileItemClick, ImageList::TileHorizontally);
    addItem(m_windowMenu, "WindowTileItem2", QStringLiteral("Tile &Vertically"),
            &TMainForm::WindowTileItem2Click, ImageList::TileVertically);
    addItem(m_windowMenu, "WindowLineMonitorItem", QStringLiteral("&Line Monitor"),
            &TMainForm::WindowLineMonitorItemClick);
    connect(m_windowMenu, &QMenu::aboutToShow, this, &TMainForm::fillWindowList);

    QMenu *help = bar->addMenu(QStringLiteral("&Help"));
    help->setObjectName(QStringLiteral("Help1"));
    addItem(help, "HelpAboutItem", QStringLiteral("&About..."), &TMainForm::HelpAbout1Execute);
}

void TMainForm::createToolBar()
{
    m_toolBar2 = addToolBar(QStringLiteral("ToolBar2"));
    m_toolBar2->setObjectName(QStringLiteral("ToolBar2"));
    m_toolBar2->setMovable(false);
    m_toolBar2->setFloatable(false);
    m_toolBar2->setIconSize(QSize(16, 16));
    m_toolBar2->setToolButtonStyle(Qt::ToolButtonIconOnly);
    m_toolBar2->setContextMenuPolicy(Qt::PreventContextMenu);
    m_toolBar2->toggleViewAction()->setVisible(false);
    // Border width 1 and the buttons side by side; the style's own margins would move them.
    auto *metrics = new ToolBarMetrics(kToolBarBorder);
    metrics->setParent(m_toolBar2);
    m_toolBar2->setStyle(metrics);
    m_toolBar2->setFixedHeight(30);
    // Indent 5 before the first button.
    auto *indent = new QWidget(m_toolBar2);
    indent->setObjectName(QStringLiteral("Indent"));
    indent->setFixedSize(kToolBarIndent, 1);
    m_toolBar2->addWidget(indent);

    const auto addButton = [this](const char *name, const QString &tip, int picture,
                                  void (TMainForm::*handler)()) {
        QAction *action = m_toolBar2->addAction(m_images.icon(picture), tip);
        action->setObjectName(QString::fromLatin1(name));
        m_toolBar2->widgetForAction(action)->setObjectName(QString::fromLatin1(name));
        connect(action, &QAction::triggered, this, handler);
        return action;
    };
    m_connectButton = addButton("ConnectButton", QStringLiteral("Connect"), ImageList::Connect,
                                &TMainForm::ConnectButtonClick);
    m_disConnectButton = addButton("DisConnectButton", QStringLiteral("Disconnect"), ImageList::Disconnect,
                                   &TMainForm::DisConnectButtonClick);
    addButton("Timing_Run", QStringLiteral("Timing"), ImageList::TimingRun, &TMainForm::Timing_RunClick);
    addButton("Pattern_Run", QStringLiteral("Pattern"), ImageList::PatternRun, &TMainForm::Pattern_RunClick);
}

void TMainForm::createStatusBar()
{
    m_statusBar1 = new PanelStatusBar({250, 450, 100}, this);
    m_statusBar1->setObjectName(QStringLiteral("StatusBar1"));
    m_statusBar1->setPanelDrawnText(kPresencePanel, kAbsentText);
    setStatusBar(m_statusBar1);

    m_progressGauge = new GaugeBar(m_statusBar1);
    m_progressGauge->setObjectName(QStringLiteral("ProgressGauge"));
    const QRect panel = m_statusBar1->panelRect(kGaugePanel);
    m_progressGauge->setGeometry(2, 2, panel.width() - 4, m_statusBar1->height() - 4);
}

// ---- What the link shows the operator ----

void TMainForm::showStatusNote(const QString &text)
{
    const int room = m_statusBar1->panelContentsRect(kNotePanel).width() - 4;
    m_statusBar1->setPanelText(kNotePanel,
                               m_statusBar1->fontMetrics().elidedText(text, Qt::ElideMiddle, room));
    // The whole note, however it was shortened: the tool tip and accessible description of its
    // panel, and of the presence panel, whose state it explains.
    m_statusBar1->setPanelDetail(kNotePanel, text);
    m_statusBar1->setPanelDetail(kPresencePanel, text);
}

void TMainForm::showDevicePresent()
{
    m_connectButton->setEnabled(false);
    m_disConnectButton->setEnabled(true);
    m_statusBar1->setPanelOwnerDrawn(kPresencePanel, false);
    attachStatusDrawHandler(false);
    m_statusBar1->setPanelText(kPresencePanel, kPresentText);
    m_statusBar1->repaint();
}

void TMainForm::showDeviceAbsent()
{
    m_connectButton->setEnabled(true);
    m_disConnectButton->setEnabled(false);
    m_statusBar1->setPanelOwnerDrawn(kPresencePanel, true);
    attachStatusDrawHandler(true);
    m_statusBar1->repaint();
}

void TMainForm::setProgress(int percent)
{
    m_progressGauge->setValue(percent);
}

void TMainForm::setProgressPanelOwnerDrawn()
{
    m_statusBar1->setPanelOwnerDrawn(kGaugePanel, true);
    attachStatusDrawHandler(true);
    m_statusBar1->repaint();
}

void TMainForm::appendReceiveLog(const QByteArray &bytes)
{
    // Nothing reads the log: of a long read only the tail is worth keeping.
    m_memo1->moveCursor(QTextCursor::End);
    m_memo1->insertPlainText(QString::fromLatin1(bytes.right(kReceiveLogChars)));
    // Nothing reads the log, and a chattering line must not grow it without end: keep the tail.
    const int excess = m_memo1->document()->characterCount() - kReceiveLogChars;
    if (excess > 0) {
        QTextCursor cursor(m_memo1->document());
        cursor.setPosition(excess, QTextCursor::KeepAnchor);
        cursor.removeSelectedText();
    }
}

void TMainForm::clearReceiveLog()
{
    m_memo1->clear();
}

void TMainForm::attachStatusDrawHandler(bool attached)
{
    if (attached)
        m_statusBar1->setDrawHandler([this](QPainter &painter, int panel, const QRect &rect) {
            StatusBar1DrawPanel(painter, panel, rect);
        });
    else
        m_statusBar1->setDrawHandler({});
}

void TMainForm::StatusBar1DrawPanel(QPainter &painter, int panel, const QRect &rect)
{
    QColor brush = palette().color(QPalette::Button);
    QColor font = Qt::black;
    // The presence panel's " SGX-100 Status : Not Exist", any other its own text; what a screen
    // reader says of the panel too.
    const QString text = m_statusBar1->panelDrawnText(panel);
    if (panel == kPresencePanel) {
        brush = QColor(255, 0, 0);
        font = Qt::white;
    }
    painter.fillRect(rect, brush);
    painter.setPen(font);
    painter.drawText(rect, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, text);
}

// ---- Menu and tool bar ----

void TMainForm::FileOpenItemClick()
{
    if (m_openDialog1 == nullptr)
        m_openDialog1 = EdidFileDialogs::makeOpenDialog1(this);
    EdidFileDialogs::openFile(*m_openDialog1, m_edid);
}

void TMainForm::FileSaveAsItemClick()
{
    if (m_saveDialog1 == nullptr)
        m_saveDialog1 = EdidFileDialogs::makeSaveDialog1(this);
    EdidFileDialogs::saveFile(*m_saveDialog1, m_edid);
}

void TMainForm::FileExit1Execute()
{
    close();
}

void TMainForm::Timing2Click()
{
    emit timingsRequested();
}

void TMainForm::Pattern2Click()
{
    emit patternsRequested();
}

void TMainForm::Program1Click()
{
    emit programRequested();
}

void TMainForm::DefaultSettingClick()
{
    emit operationRequested(Operation::DFSET);
}

void TMainForm::COMPort1Click()
{
    emit portSettingsRequested();
}

void TMainForm::Timing1Click()
{
    emit timingWindowRequested();
}

void TMainForm::Pattern1Click()
{
    emit patternWindowRequested();
}

QMdiSubWindow *TMainForm::addOutputWindow(QWidget *content, QSize size, std::optional<QPoint> place,
                                          std::function<void()> onActivate)
{
    // Minimise but no maximise; destroyed when closed. Sized before it joins the frame, so that
    // the frame's own placement of a new child allows for its size.
    auto *child = new QMdiSubWindow(nullptr, Qt::SubWindow | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                                                 Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                                                 Qt::WindowCloseButtonHint);
    child->setWidget(content);
    child->setAttribute(Qt::WA_DeleteOnClose);
    child->setWindowTitle(content->windowTitle());
    child->setWindowIcon(windowIcon());
    child->resize(size);
    m_mdiArea->addSubWindow(child);
    if (place)
        child->move(*place);
    connect(child, &QMdiSubWindow::windowStateChanged, content,
            [onActivate = std::move(onActivate)](Qt::WindowStates before, Qt::WindowStates now) {
                if (onActivate && now.testFlag(Qt::WindowActive) && !before.testFlag(Qt::WindowActive))
                    onActivate();
            });
    child->show();
    return child;
}

void TMainForm::EDID_READClick()
{
    emit operationRequested(Operation::REDID);
}

void TMainForm::WRITE_EDIDClick()
{
    emit operationRequested(Operation::UEDID);
}

void TMainForm::WriteEDID1Click()
{
    emit operationRequested(Operation::WEDID);
}

void TMainForm::EDID_MemorysClick()
{
    emit edidMemoryRequested();
}

void TMainForm::WindowCascadeItemClick()
{
    cascadeSubWindows(*m_mdiArea);
}

void TMainForm::WindowTileItemClick()
{
    tileSubWindows(*m_mdiArea, Qt::Horizontal);
}

void TMainForm::WindowTileItem2Click()
{
    tileSubWindows(*m_mdiArea, Qt::Vertical);
}

void TMainForm::fillWindowList()
{
    // The fixed items stay; the list of open children after them is built anew each time.
    constexpr int kFixedItems = 4;
    const QList<QAction *> actions = m_windowMenu->actions();
    for (int i = kFixedItems; i < actions.size(); ++i) {
        m_windowMenu->removeAction(actions[i]);
        actions[i]->deleteLater();
    }
    const QList<QMdiSubWindow *> windows = m_mdiArea->subWindowList();
    if (windows.isEmpty())
        return;
    m_windowMenu->addSeparator();
    for (int i = 0; i < windows.size(); ++i) {
        QMdiSubWindow *window = windows[i];
        QAction *entry =
            m_windowMenu->addAction(QStringLiteral("&%1 %2").arg(i + 1).arg(window->windowTitle()));
        entry->setCheckable(true);
        entry->setChecked(window == m_mdiArea->activeSubWindow());
        connect(entry, &QAction::triggered, this, [this, window] { m_mdiArea->setActiveSubWindow(window); });
    }
}

void TMainForm::WindowLineMonitorItemClick()
{
    emit lineMonitorRequested();
}

void TMainForm::HelpAbout1Execute()
{
    emit aboutRequested();
}

void TMainForm::ConnectButtonClick()
{
    COMPort1Click();
}

void TMainForm::DisConnectButtonClick()
{
    emit disconnectRequested();
}

void TMainForm::Timing_RunClick()
{
    Timing1Click();
}

void TMainForm::Pattern_RunClick()
{
    Pattern1Click();
}

// ---- Window events ----

void TMainForm::closeEvent(QCloseEvent *event)
{
    // FormClose: whoever drives the link abandons a running transfer and closes the port now.
    emit closing();
    event->accept();
}

QString TMainForm::statusNote() const
{
    return m_statusBar1->panelDetail(kNotePanel);
}
