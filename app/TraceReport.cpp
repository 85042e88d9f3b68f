#include "TraceReport.h"

#include "ByteTrace.h"
#include "StepMachine.h"
#include "TMainForm.h"

TraceReport::TraceReport(const ByteTrace &trace, TMainForm &form, StepMachine &steps)
    : QObject(&form), m_trace(trace), m_form(form)
{
    connect(&m_look, &QTimer::timeout, this, &TraceReport::look);
    m_look.start(kLookEveryMs);
    connect(&steps, &StepMachine::finished, this, &TraceReport::operationEnded);
}

void TraceReport::look()
{
    if (m_noted || !m_trace.failed())
        return;
    m_noted = true;
    m_look.stop();
    m_form.showStatusNote(QString::fromLatin1(kIncompleteMessage) + QStringLiteral(": ") +
                          QString::fromStdString(m_trace.error()));
}

void TraceReport::operationEnded()
{
    look();
    if (!m_noted || m_boxShown)
        return;
    m_boxShown = true;
    // Once the step machine is done with its tick.
    QMetaObject::invokeMethod(
        this,
        [this] {
            m_form.showMessage(QString::fromLatin1(kIncompleteMessage),
                               QString::fromStdString(m_trace.error()));
        },
        Qt::QueuedConnection);
}
