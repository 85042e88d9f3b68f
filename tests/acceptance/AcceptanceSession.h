#pragma once

// One program and one emulator on a pseudo-terminal, at real pacing, worked through the windows
// with real clicks; the emulator's own account of what it received is what a test asserts on.
#include "AppTestSupport.h"
#include "DeviceLinkState.h"
#include "ModalDriver.h"
#include "SgxProgram.h"
#include "SharedValues.h"
#include "SimProcess.h"

#include <QPushButton>
#include <QTest>

#include <memory>

class AcceptanceSession {
public:
    // Starts an emulator with flags, maps COM 1 to it and connects through the port dialog.
    [[nodiscard]] bool start(const QStringList &flags = {})
    {
        if (!m_program) {
            m_program = std::make_unique<SgxProgram>(state, values);
            m_program->show();
            if (!QTest::qWaitForWindowExposed(&m_program->mainForm()))
                return false;
        }
        auto sim = std::make_unique<SimProcess>();
        if (!sim->start(flags))
            return false;
        qputenv("SGX100_COM1", sim->path().toLocal8Bit());
        m_sim = std::move(sim);
        m_changes.clear();
        // Connect when the display is absent, Config > COM Port when a generator is shown present.
        AppTestSupport::pickPortAndConfirm(driver, 0);
        const bool opened = state.devicePresent == 1
                                ? AppTestSupport::chooseMenuItem(form(), QStringLiteral("Config1"),
                                                                 QStringLiteral("COMPort1"))
                                : AppTestSupport::clickToolButton(form(), QStringLiteral("ConnectButton"));
        // Present once the presence check's answer has been examined.
        return opened && driver.allDone() &&
               QTest::qWaitFor([this] { return changes().contains("presence check"); }, 5000) &&
               waitIdle(3000) && state.devicePresent == 1;
    }

    [[nodiscard]] TMainForm &form() { return m_program->mainForm(); }
    [[nodiscard]] SgxProgram &program() { return *m_program; }
    [[nodiscard]] SimProcess &sim() { return *m_sim; }

    // Everything the emulator has reported so far, one line per change.
    [[nodiscard]] QString changes()
    {
        m_changes += m_sim->newChanges();
        return m_changes;
    }
    // Waits, with the message loop running, until the emulator has reported text.
    [[nodiscard]] bool waitForChange(const QString &text, int ms)
    {
        return QTest::qWaitFor([&] { return changes().contains(text); }, ms);
    }
    [[nodiscard]] bool waitForMessages(int count, int ms)
    {
        return QTest::qWaitFor([&] { return driver.messages.size() >= count; }, ms);
    }
    // Waits until the link is idle again.
    [[nodiscard]] bool waitIdle(int ms)
    {
        return QTest::qWaitFor([&] { return !m_program->deviceLink().LinkBusy(); }, ms);
    }

    DeviceLinkState state;
    SharedValues values;
    ModalDriver driver;

private:
    std::unique_ptr<SgxProgram> m_program;
    std::unique_ptr<SimProcess> m_sim;
    QString m_changes;
};
