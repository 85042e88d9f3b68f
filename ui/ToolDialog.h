#pragma once

#include <QDialog>

// A tool window that the main menu shows modally and that only its close box or system menu
// closes. FormShow runs when the program shows the window, not when the window system shows it
// again after a minimise (of the window or of the main window), so nothing the operator entered
// is lost to a restore. Escape does nothing: closing drops the window's work.
class ToolDialog : public QDialog {
    Q_OBJECT
public:
    // A title bar with the system menu and the close box alone.
    explicit ToolDialog(QWidget *parent)
        : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                              Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint)
    {
    }

protected:
    virtual void FormShow() {}

    void showEvent(QShowEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
};
