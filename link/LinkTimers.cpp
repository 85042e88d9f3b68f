#include "LinkTimers.h"

#include "DeviceLink.h"
#include "StepMachine.h"

LinkTimers::LinkTimers(DeviceLink &link, StepMachine &machine, LinkClock &clock)
    : m_machine(machine),
      // The step tick runs from a timer of its own, started at once, so Timer1's callback has
      // returned before a message box the step shows runs its loop: Timer1 then keeps ticking
      // under the box instead of waiting for it to close.
      m_timer1(clock.makeTimer(LinkClock::Repeat::Every,
                               [this] {
                                   if (!m_stepDue->isActive())
                                       m_stepDue->start(0);
                               })),
      m_stepDue(clock.makeTimer(LinkClock::Repeat::Once, [&machine] { machine.stepTick(); })),
      m_timer2(clock.makeTimer(LinkClock::Repeat::Every, [&link] { link.receiveTick(); })),
      m_payload(clock.makeTimer(LinkClock::Repeat::Once, [&machine] { machine.payloadTick(); }))
{
    m_machine.onPayloadDue = [this](int pauseMs) { m_payload->start(pauseMs); };
}

LinkTimers::~LinkTimers()
{
    m_machine.onPayloadDue = nullptr;
}

void LinkTimers::start()
{
    m_timer1->start(kStepTickMs);
    m_timer2->start(kReceiveTickMs);
}

void LinkTimers::stop()
{
    m_timer1->stop();
    m_stepDue->stop();
    m_timer2->stop();
    m_payload->stop();
}
