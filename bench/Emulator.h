#pragma once

#include <QByteArray>
#include <QProcess>
#include <QStringList>

#include <cstdio>

// Starts the emulator with args and maps COM 1 to the device it prints; false, said on standard
// error, when it does not come up.
inline bool startEmulatorOnCom1(QProcess &sim, const QStringList &args = {})
{
    sim.start(QStringLiteral(SGX_SIM_PATH), args);
    if (!sim.waitForStarted(5000) || !sim.waitForReadyRead(5000)) {
        std::fprintf(stderr, "cannot start the emulator\n");
        return false;
    }
    qputenv("SGX100_COM1", sim.readLine().trimmed());
    return true;
}
