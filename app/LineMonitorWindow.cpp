#include "LineMonitorWindow.h"

#include "EdidFile.h"
#include "FileDialog.h"
#include "LineMonitorFormat.h"
#include "LineMonitorLog.h"
#include "MessageBoxes.h"
#include "WholeFile.h"

#include <QApplication>
#include <QClipboard>
#include <QFile>
#include <QFontDatabase>
#include <QHBoxLayout>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextCursor>
#include <QVBoxLayout>

#include <algorithm>

namespace {

// One entry's text block. An exchange starts with an empty line, within its own block so that
// the window's lines stay one an entry (the bound on them is the log's).
QString blockText(const LineMonitorEntry &entry)
{
    const QString line = QString::fromStdString(LineMonitorFormat::line(entry));
    return LineMonitorFormat::startsExchange(entry) ? QChar(QChar::LineSeparator) + line : line;
}

} // namespace

LineMonitorWindow::LineMonitorWindow(LineMonitorLog &log, QWidget *parent) : QWidget(parent), m_log(log)
{
    setObjectName(QStringLiteral("LineMonitor"));
    setWindowTitle(QStringLiteral("Line Monitor"));

    m_text = new QPlainTextEdit(this);
    m_text->setObjectName(QStringLiteral("MonitorText"));
    m_text->setAccessibleName(QStringLiteral("Line Monitor"));
    m_text->setReadOnly(true);
    m_text->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    m_text->setTabChangesFocus(true);
    m_text->setUndoRedoEnabled(false);
    m_text->setLineWrapMode(QPlainTextEdit::NoWrap);
    m_text->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    m_text->setMaximumBlockCount(static_cast<int>(std::min<std::size_t>(log.capacity(), 1 << 30)));

    const auto button = [this](const char *name, const QString &caption, const QString &accessible,
                               void (LineMonitorWindow::*handler)()) {
        auto *b = new QPushButton(caption, this);
        b->setObjectName(QString::fromLatin1(name));
        b->setAccessibleName(accessible);
        b->setAutoDefault(false);
        connect(b, &QPushButton::clicked, this, handler);
        return b;
    };
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    QWidget *previous = m_text;
    for (QPushButton *b : {button("ClearButton", QStringLiteral("C&lear"), QStringLiteral("Clear"),
                                  &LineMonitorWindow::ClearButtonClick),
                           button("CopyButton", QStringLiteral("&Copy"), QStringLiteral("Copy"),
                                  &LineMonitorWindow::CopyButtonClick),
                           button("SaveButton", QStringLiteral("&Save..."), QStringLiteral("Save"),
                                  &LineMonitorWindow::SaveButtonClick)}) {
        buttons->addWidget(b);
        setTabOrder(previous, b);
        previous = b;
    }
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_text);
    layout->addLayout(buttons);
    setFocusProxy(m_text);

    connect(&m_log, &LineMonitorLog::changed, this, &LineMonitorWindow::showChanges);
    connect(&m_log, &LineMonitorLog::cleared, this, [this] {
        m_text->clear();
        m_shown = 0;
    });
    showChanges(0, 0);
}

void LineMonitorWindow::showChanges(std::size_t dropped, std::size_t from)
{
    QScrollBar *bar = m_text->verticalScrollBar();
    const bool following = bar->value() == bar->maximum();
    QTextCursor cursor(m_text->document());
    cursor.beginEditBlock();
    removeFirstLines(std::min(dropped, m_shown));
    removeLinesFrom(std::min(from, m_shown));
    cursor.movePosition(QTextCursor::End);
    const std::deque<LineMonitorEntry> &entries = m_log.entries();
    for (std::size_t i = m_shown; i < entries.size(); ++i) {
        if (m_shown > 0)
            cursor.insertBlock();
        cursor.insertText(blockText(entries[i]));
        ++m_shown;
    }
    cursor.endEditBlock();
    if (following)
        bar->setValue(bar->maximum());
}

void LineMonitorWindow::removeFirstLines(std::size_t count)
{
    if (count == 0)
        return;
    if (count >= m_shown) {
        removeLinesFrom(0);
        return;
    }
    QTextCursor cursor(m_text->document());
    cursor.setPosition(m_text->document()->findBlockByNumber(static_cast<int>(count)).position(),
                       QTextCursor::KeepAnchor);
    cursor.removeSelectedText();
    m_shown -= count;
}

void LineMonitorWindow::removeLinesFrom(std::size_t first)
{
    if (first >= m_shown)
        return;
    QTextCursor cursor(m_text->document());
    if (first > 0) {
        // From the end of the line before, so that its line break goes too.
        const QTextBlock before = m_text->document()->findBlockByNumber(static_cast<int>(first - 1));
        cursor.setPosition(before.position() + before.length() - 1);
    }
    cursor.movePosition(QTextCursor::End, QTextCursor::KeepAnchor);
    cursor.removeSelectedText();
    m_shown = first;
}

void LineMonitorWindow::ClearButtonClick()
{
    m_log.clear();
}

void LineMonitorWindow::CopyButtonClick()
{
    if (m_text->textCursor().hasSelection())
        m_text->copy();
    else
        QApplication::clipboard()->setText(QString::fromStdString(LineMonitorFormat::text(m_log.entries())));
}

void LineMonitorWindow::SaveButtonClick()
{
    if (m_saveDialog == nullptr) {
        m_saveDialog = makeFileDialog(this, "SaveDialog", QFileDialog::AcceptSave,
                                      {QStringLiteral("Trace files (*.txt)"), QStringLiteral("All files (*)")});
        m_saveDialog->setWindowTitle(QStringLiteral("Save the line as a trace"));
        connect(m_saveDialog, &QFileDialog::fileSelected, this, &LineMonitorWindow::save);
    }
    m_saveDialog->open();
}

void LineMonitorWindow::save(const QString &path)
{
    const std::string trace = m_log.traceText();
    std::string error;
    if (!replaceFile(QFile::encodeName(path).toStdString(),
                     reinterpret_cast<const std::uint8_t *>(trace.data()), trace.size(), error))
        openProgramMessage(this, QString::fromLatin1(EdidFile::OpenErrorMessage), QMessageBox::NoIcon,
                           QFile::decodeName(QByteArray::fromStdString(error)));
}
