#pragma once

#include <QWidget>

#include <cstddef>

class LineMonitorLog;
class QFileDialog;
class QPlainTextEdit;

// Window > Line Monitor: the line as it goes, one line an entry of the program's line log
// (kept from start-up, so it shows what happened before it was opened), read-only and
// selectable; Clear empties the log, Copy puts the selection or the whole on the clipboard,
// Save writes every byte of the log as a trace. A child of the frame, destroyed when closed.
class LineMonitorWindow : public QWidget {
    Q_OBJECT
public:
    static constexpr int kWidth = 760;
    static constexpr int kHeight = 420;

    explicit LineMonitorWindow(LineMonitorLog &log, QWidget *parent = nullptr);

    void ClearButtonClick();
    void CopyButtonClick();
    // Asks for the file without waiting for the answer; the trace is written once it is chosen.
    void SaveButtonClick();

private:
    // The log dropped its first `dropped` entries and changed from `from` on.
    void showChanges(std::size_t dropped, std::size_t from);
    void removeFirstLines(std::size_t count);
    void removeLinesFrom(std::size_t first);
    void save(const QString &path);

    LineMonitorLog &m_log;
    QPlainTextEdit *m_text = nullptr;
    QFileDialog *m_saveDialog = nullptr; // made on first use, then kept
    std::size_t m_shown = 0;             // entries shown, one line (text block) each
};
