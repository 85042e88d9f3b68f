#pragma once

#include <QObject>
#include <QStringList>
#include <QTimer>

#include <deque>
#include <functional>

class QWidget;

// Works the program's modal windows from inside their own event loops, as an operator would.
// Every message box is read and closed with a click on its OK button; other modal windows get
// the queued actions, one action per turn, in order.
class ModalDriver : public QObject {
    Q_OBJECT
public:
    using Match = std::function<bool(QWidget *)>;
    using Action = std::function<void(QWidget *)>;

    explicit ModalDriver(QObject *parent = nullptr);

    // The next time a modal window that `match` accepts is on top, `act` runs on it once.
    void then(Match match, Action act);
    // A window of the given object name.
    void thenOn(const QString &objectName, Action act);
    [[nodiscard]] bool allDone() const { return m_actions.empty() && !m_busy; }

    // What the message boxes said, in order, with their titles and the number of their buttons.
    QStringList messages;
    QStringList titles;
    QList<int> buttonCounts;

private:
    void poll();

    QTimer m_poll;
    std::deque<std::pair<Match, Action>> m_actions;
    bool m_busy = false;
};
