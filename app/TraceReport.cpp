#include "TraceReport.h"

#include "ByteTrace.h"
#include "DeviceLink.h"
#include "MessageBoxes.h"
#include "TMainForm.h"

#include <QApplication>

TraceReport::TraceReport(const ByteTrace &trace, TMainForm &form, DeviceLink &link)
    : QObject(&form), m_trace(trace), m_form(form)
{
    connect(&m_look, &QTimer::timeout, this, &TraceReport::look);
    m_look.start(kLookEveryMs);
    connect(&link, &DeviceLink::finished, this, &TraceReport::operationEnded);
}

void TraceReport::look()
{
    if (!m_noted && m_trace.failed()) {
        m_noted = true;
        m_form.showStatusNote(QString::fromLatin1(kIncompleteMessage) + QStringLiteral(": ") +
                              QString::fromStdString(m_trace.error()));
    }
    // Once the operation's own message has been read and closed.
    if (!m_boxDue || QApplication::activeModalWidget() != nullptr)
        return;
    m_boxDue = false;
    m_boxShown = true;
    m_look.stop();
    openProgramMessage(&m_form, QString::fromLatin1(kIncompleteMessage), QMessageBox::NoIcon,
                       QString::fromStdString(m_trace.error()));
}

void TraceReport::operationEnded()
{
    look();
    if (!m_noted || m_boxShown)
        return;
    m_boxDue = true;
    QTimer::singleShot(0, this, &TraceReport::look);
}
