#pragma once

#include <QObject>
#include <QSize>
#include <QTimer>

class QWidget;

// Centres a top-level window on its screen, frame included, each time it is shown. The frame is
// known only once the window manager has framed the window, some time after it is shown, so the
// window is centred again whenever its frame is seen to change.
class CentredOnScreen : public QObject {
    Q_OBJECT
public:
    explicit CentredOnScreen(QWidget *window);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    // Centres the window for the frame seen now, unless it was centred for that frame already.
    void centre();

    QWidget *m_window;
    QSize m_frame{-1, -1};
    QTimer m_checks;
    int m_checksLeft = 0;
};
