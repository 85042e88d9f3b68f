#pragma once

#include <QObject>
#include <QTimer>

class ByteTrace;
class DeviceLink;
class TMainForm;

// Tells the operator that the trace (sgxcontrol --trace) stopped short, as on a full disk: in
// the status bar as soon as it is seen, and once in a box when an operation has ended, after the
// operation's own message. The line's thread writes the trace; its failure flag is read here.
class TraceReport : public QObject {
    Q_OBJECT
public:
    static constexpr int kLookEveryMs = 500;
    static constexpr const char *kIncompleteMessage = "The trace is incomplete";

    TraceReport(const ByteTrace &trace, TMainForm &form, DeviceLink &link);

private:
    void look();
    void operationEnded();

    const ByteTrace &m_trace;
    TMainForm &m_form;
    QTimer m_look;
    bool m_noted = false;
    bool m_boxDue = false;
    bool m_boxShown = false;
};
