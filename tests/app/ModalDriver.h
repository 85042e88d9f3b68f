#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QPointer>
#include <QStringList>
#include <QTimer>

#include <deque>
#include <functional>

class QWidget;

// Works the program's modal windows from inside their own event loops, as an operator would.
// Every message box is read and closed with a click on its OK button; other modal windows get
// the queued actions, one action per turn, in order.
//
// A test never hangs on a window: once the running test has failed (an action's check, say),
// or a modal window has waited kStuckMs with no action for it, every modal window is closed,
// so the blocked call returns and the test ends with its own message.
class ModalDriver : public QObject {
    Q_OBJECT
public:
    static constexpr int kStuckMs = 5000;

    using Match = std::function<bool(QWidget *)>;
    using Action = std::function<void(QWidget *)>;

    explicit ModalDriver(QObject *parent = nullptr);
    ~ModalDriver() override;

    // The next time a modal window that `match` accepts is on top, `act` runs on it once.
    void then(Match match, Action act);
    // A window of the given object name.
    void thenOn(const QString &objectName, Action act);
    [[nodiscard]] bool allDone() const { return m_actions.empty() && !m_busy; }

    // Closes every modal window still open, innermost first.
    static void closeAllModalWindows();

    // What the message boxes said, in order, with their titles and the number of their buttons.
    QStringList messages;
    QStringList details; // each message's informative text, empty when it had none
    QStringList titles;
    QList<int> buttonCounts;
    QList<int> icons;

private:
    void poll();

    QTimer m_poll;
    std::deque<std::pair<Match, Action>> m_actions;
    bool m_busy = false;
    QPointer<QWidget> m_waiting;
    QElapsedTimer m_waitingSince;
};
