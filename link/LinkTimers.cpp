#include "LinkTimers.h"

#include "DeviceLink.h"
#include "StepMachine.h"

LinkTimers::LinkTimers(DeviceLink &link, StepMachine &machine, QObject *parent)
    : QObject(parent), m_machine(machine), m_timer1(this), m_timer2(this), m_payload(this)
{
    m_timer1.setObjectName(QStringLiteral("Timer1"));
    m_timer1.setInterval(kStepTickMs);
    // Queued, so the step tick's own slot has returned before a message box it shows starts a
    // nested loop; otherwise the timer would be held back until the box closed.
    connect(
        &m_timer1, &QTimer::timeout, this,
        [this] {
            m_machine.stepTick();
            if (afterStepTick)
                afterStepTick();
        },
        Qt::QueuedConnection);

    m_timer2.setObjectName(QStringLiteral("Timer2"));
    m_timer2.setInterval(kReceiveTickMs);
    connect(&m_timer2, &QTimer::timeout, this, [&link] { link.receiveTick(); });

    // Payload bytes keep their pace to the millisecond.
    m_payload.setObjectName(QStringLiteral("PayloadTimer"));
    m_payload.setSingleShot(true);
    m_payload.setTimerType(Qt::PreciseTimer);
    connect(&m_payload, &QTimer::timeout, this, [this] { m_machine.payloadTick(); });
    m_machine.onPayloadDue = [this](int pauseMs) { m_payload.start(pauseMs); };
}

LinkTimers::~LinkTimers()
{
    m_machine.onPayloadDue = nullptr;
}

void LinkTimers::start()
{
    m_timer1.start();
    m_timer2.start();
}

void LinkTimers::stop()
{
    m_timer1.stop();
    m_timer2.stop();
    m_payload.stop();
}
