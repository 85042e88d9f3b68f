#pragma once

#include "LineTypes.h"

#include <QObject>

// Where a link's requests go and its line's events come from: the line itself when both live on
// one thread (tests), or a stand-in for a line on a thread of its own. The link reaches it by
// queued signals only.
class LineEndpoint : public QObject {
    Q_OBJECT
public:
    explicit LineEndpoint(QObject *parent = nullptr) : QObject(parent)
    {
        // Both cross threads in queued signals.
        qRegisterMetaType<LineRequest>();
        qRegisterMetaType<LineEvent>();
    }
    virtual void request(const LineRequest &request) = 0;

signals:
    void event(const LineEvent &event);
};

class LinkClock;

// What a link is built from: its line, and the clock of the link's own thread.
class LineBundle {
public:
    virtual ~LineBundle() = default;
    [[nodiscard]] virtual LineEndpoint &line() = 0;
    [[nodiscard]] virtual LinkClock &clock() = 0;
};
