#pragma once

#include "LinkRequest.h"
#include "RememberedPort.h"

#include <QObject>
#include <QString>

#include <optional>

class SgxProgram;

// The bench remembered: the port of the last connect the operator asked for is kept in the
// user's settings once it has opened, and the COM Port dialog of a later run starts at it while
// it is there. connectAtStart() opens it without the dialog.
class PortMemory final : public QObject {
    Q_OBJECT
public:
    // sgxcontrol.conf in a folder of the program's under $XDG_CONFIG_HOME, else ~/.config; the
    // environment is read at each call.
    [[nodiscard]] static QString userSettingsFile();
    // The port kept in a settings file; none when there is none or it is not one this program wrote.
    [[nodiscard]] static std::optional<RememberedPort> load(const QString &settingsFile);
    // Replaces what the file keeps, whole; false when it could not be written.
    [[nodiscard]] static bool save(const QString &settingsFile, const RememberedPort &port);

    // Owned by the program's main window; offers the kept port to its COM Port dialog.
    PortMemory(SgxProgram &program, QString settingsFile);

    // sgxcontrol --connect: opens the kept port, or COM 1 when none is kept or it is not there
    // now, and checks for the generator, as OK in the dialog does; a failure is told in a box.
    void connectAtStart();

private:
    void connectFinished(bool opened, const QString &message, const QString &detail);

    SgxProgram &m_program;
    QString m_file;
    std::optional<RememberedPort> m_kept;
    std::optional<PortChoice> m_asked; // the operator's connect, until its port has opened or failed
    bool m_atStart = false;
};
