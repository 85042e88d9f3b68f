#pragma once

#include <QObject>
#include <QPoint>
#include <QSize>
#include <QTimer>

#include <optional>

class QWidget;

// Keeps a top-level window at an outer size (frame included) and, if given, an outer position.
// The frame is known only once the window manager has framed the window, some time after it is
// shown, so the client size is corrected whenever the frame is seen to change; without a frame
// the client size is the outer size.
class OuterGeometry : public QObject {
    Q_OBJECT
public:
    enum class Sizing { Fixed, Resizable };

    OuterGeometry(QWidget *window, QSize outerSize, Sizing sizing, std::optional<QPoint> outerPosition = {});

    // Applies the size for the frame seen now.
    void apply();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QWidget *m_window;
    QSize m_outer;
    Sizing m_sizing;
    std::optional<QPoint> m_position;
    QSize m_frame{-1, -1};
    QTimer m_checks;
    int m_checksLeft = 0;
};
