#pragma once

#include <QMargins>
#include <QObject>
#include <QPoint>
#include <QSize>
#include <QTimer>

#include <optional>

class QWidget;

// Keeps a top-level window at an outer size (frame included) and, if given, an outer position, as
// far as its controls allow: the client area never gets smaller than its controls need, so a frame
// taller than usual makes the window larger rather than cutting a control.
//
// The frame is known only once the window manager has framed the window, some time after it is
// shown, and its extents may come later still, with no event of their own. So after each show the
// frame is read from the window system every 50 ms until it has been seen and has held for a while
// (or a time limit passes), and on every move and resize. Until the window has once settled at its
// size and place, they are asked for again (a few times) while they differ.
class OuterGeometry : public QObject {
    Q_OBJECT
public:
    enum class Sizing { Fixed, Resizable };
    // How often, and for how many checks after a show, the frame is looked for. A window manager
    // frames a window within a few hundred milliseconds, but on a busy machine its extents have
    // been seen to come seconds later.
    static constexpr int kCheckIntervalMs = 50;
    static constexpr int kChecksAfterShow = 200;

    OuterGeometry(QWidget *window, QSize outerSize, Sizing sizing, std::optional<QPoint> outerPosition = {});

    // The frame as the window system reports it now (no frame: none).
    [[nodiscard]] static QMargins frameOf(const QWidget &window);
    // Its width and height together.
    [[nodiscard]] static QSize frameSizeOf(const QWidget &window);
    // The smallest client area that holds every control: the layout's least size, or, without a
    // layout, the bottom right corner of the controls placed by hand.
    [[nodiscard]] static QSize clientNeeded(const QWidget &window);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    [[nodiscard]] QSize clientFor(QSize frame) const;
    // The window has the size and place that this frame asks for.
    [[nodiscard]] bool fitted(const QMargins &frame) const;
    // Applies the size and place for the frame seen now if that frame is new, or, when insist,
    // if the window is framed and does not have them.
    void apply(bool insist);
    void check();

    QWidget *m_window;
    QSize m_outer;
    Sizing m_sizing;
    std::optional<QPoint> m_position;
    QSize m_frame{-1, -1};
    QTimer m_checks;
    int m_checksLeft = 0;
    int m_steadyChecks = 0;
    int m_asksLeft = 0;
    // The window manager has framed the window and let it have its size and place.
    bool m_settled = false;
};
