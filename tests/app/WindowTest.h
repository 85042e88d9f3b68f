#pragma once

#include "AppTestSupport.h"
#include "DeviceLinkState.h"
#include "ModalDriver.h"
#include "ScriptedProgram.h"
#include "SharedValues.h"

#include <QByteArray>
#include <QObject>
#include <QPushButton>
#include <QTest>

#include <map>
#include <memory>
#include <string>
#include <vector>

// What the window tests stand on: for each test, fresh link state and shared values, the program
// on a port in memory whose generator answers command lines from a script, shown, and the driver
// of the modal windows it opens. A test class derives from it, calls checkFonts() in its
// initTestCase, startProgram() in init and stopProgram() in cleanup.
class WindowTest : public QObject {
    Q_OBJECT
protected:
    static void checkFonts()
    {
        AppTestSupport::quietenPlatformWarnings();
        QVERIFY2(AppTestSupport::metricFontProblem().isEmpty(),
                 qPrintable(AppTestSupport::metricFontProblem()));
    }
    void startProgram(std::map<std::string, std::string> script = {})
    {
        m_state = DeviceLinkState();
        m_values = SharedValues();
        m_front = std::make_unique<ScriptedProgram>(m_state, m_values, std::move(script));
        m_driver = std::make_unique<ModalDriver>();
        m_front->program.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form()));
    }
    void stopProgram()
    {
        m_driver.reset();
        m_front.reset();
    }

    [[nodiscard]] TMainForm &form() { return m_front->form; }
    // Everything the program has put on the line.
    [[nodiscard]] QByteArray written() const
    {
        QByteArray out;
        for (std::uint8_t b : m_front->port.writtenBytes())
            out.append(static_cast<char>(b));
        return out;
    }
    [[nodiscard]] static QByteArray asBytes(const std::vector<std::uint8_t> &bytes)
    {
        return QByteArray(reinterpret_cast<const char *>(bytes.data()), static_cast<qsizetype>(bytes.size()));
    }
    // Presses a run button and answers the payload as the generator does (the script answers the
    // command line); what went out, once the link is idle again.
    [[nodiscard]] QByteArray runOnce(QPushButton &run)
    {
        const qsizetype before = written().size();
        QTest::mouseClick(&run, Qt::LeftButton);
        if (AppTestSupport::waitUntil([&] { return written().size() >= before + 12; }, 5000)) {
            m_front->port.queueAnswer("OK\r\n");
            m_front->line.clear();
        }
        const auto idle = [this] { return !m_front->program.deviceLink().LinkBusy(); };
        return AppTestSupport::waitUntil(idle, 5000) ? written().mid(before) : QByteArray("<still busy>");
    }

    DeviceLinkState m_state;
    SharedValues m_values;
    std::unique_ptr<ScriptedProgram> m_front;
    std::unique_ptr<ModalDriver> m_driver;
};
