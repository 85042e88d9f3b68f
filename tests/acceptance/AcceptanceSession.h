#pragma once

// One program and one emulated generator (the emulator's own engine, in this process) worked
// through the windows with real clicks, the link's time running ten times faster than the wall
// clock; the generator's own account of what it received is what a test asserts on. The pacing
// at real speed on a pseudo-terminal is the business of the slow tests.
#include "AppTestSupport.h"
#include "DeviceLinkState.h"
#include "EdidImage.h"
#include "EngineSerialPort.h"
#include "LinkHarness.h"
#include "ModalDriver.h"
#include "QtLinkClock.h"
#include "SgxProgram.h"
#include "SharedValues.h"
#include "SimOptions.h"

#include <QPushButton>
#include <QTest>

#include <memory>

class AcceptanceSession {
public:
    // A generator with the emulator's flags on the line, then connected through the port dialog.
    [[nodiscard]] bool start(const QStringList &flags = {})
    {
        std::vector<std::string> args;
        for (const QString &flag : flags)
            args.push_back(flag.toStdString());
        SimOptions options;
        std::string error;
        if (!parseSimOptions(args, options, error))
            return false;
        m_port.restart(options.faults);
        m_changes.clear();
        m_port.engine().onChange = [this](const std::string &line) {
            m_changes += QString::fromStdString(line) + QLatin1Char('\n');
        };
        if (!options.edidPath.empty()) {
            GeneratorState::Edid edid{};
            std::string report;
            if (!loadEdidFile(options.edidPath, edid, report))
                return false;
            m_port.engine().setEdid(edid);
        }
        if (!m_program) {
            m_program = std::make_unique<SgxProgram>(state, values, m_line);
            m_program->show();
            if (!QTest::qWaitForWindowExposed(&m_program->mainForm()))
                return false;
        }
        // Connect when the display is absent, Config > COM Port when a generator is shown present.
        AppTestSupport::pickPortAndConfirm(driver, 0);
        const bool opened = state.devicePresent == 1
                                ? AppTestSupport::chooseMenuItem(form(), QStringLiteral("Config1"),
                                                                 QStringLiteral("COMPort1"))
                                : AppTestSupport::clickToolButton(form(), QStringLiteral("ConnectButton"));
        // Present once the presence check's answer has been examined.
        return opened && driver.allDone() && waitForChange(QStringLiteral("presence check"), 5000) &&
               waitIdle(3000) && state.devicePresent == 1;
    }

    [[nodiscard]] TMainForm &form() { return m_program->mainForm(); }
    [[nodiscard]] SgxProgram &program() { return *m_program; }
    [[nodiscard]] EngineSerialPort &line() { return m_port; }

    // Everything the generator has reported, one line per change.
    [[nodiscard]] QString changes() const { return m_changes; }
    // The bytes the program put on the line since the generator was started.
    [[nodiscard]] QByteArray sentBytes() const
    {
        QByteArray out;
        for (const EngineSerialPort::Written &w : m_port.written())
            out.append(static_cast<char>(w.byte));
        return out;
    }
    // Waits, with the message loop running, until the generator has reported text.
    [[nodiscard]] bool waitForChange(const QString &text, int ms)
    {
        return AppTestSupport::waitUntil([&] { return m_changes.contains(text); }, ms);
    }
    [[nodiscard]] bool waitForMessages(int count, int ms)
    {
        return AppTestSupport::waitUntil([&] { return driver.messages.size() >= count; }, ms);
    }
    // Waits until the link is idle again.
    [[nodiscard]] bool waitIdle(int ms)
    {
        return AppTestSupport::waitUntil([&] { return !m_program->deviceLink().LinkBusy(); }, ms);
    }

    DeviceLinkState state;
    SharedValues values;
    ModalDriver driver;

private:
    QtLinkClock m_clock{10};
    EngineSerialPort m_port{m_clock};
    LocalLine m_line{m_port, m_clock};
    std::unique_ptr<SgxProgram> m_program;
    QString m_changes;
};
