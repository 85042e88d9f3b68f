#include "PortMemory.h"

#include "MessageBoxes.h"
#include "SgxProgram.h"
#include "ShownName.h"

#include <QSettings>
#include <QStandardPaths>

#include <utility>

namespace {

const QString kGroup = QStringLiteral("port");

// A number the file keeps, within its range; none when missing or anything else.
std::optional<int> numberIn(const QSettings &settings, const QString &key, int low, int high)
{
    const QVariant value = settings.value(key);
    bool ok = false;
    const int n = value.toString().toInt(&ok);
    if (!value.isValid() || !ok || n < low || n > high)
        return std::nullopt;
    return n;
}

} // namespace

QString PortMemory::userSettingsFile()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
           QStringLiteral("/sgxcontrol/sgxcontrol.conf");
}

std::optional<RememberedPort> PortMemory::load(const QString &settingsFile)
{
    QSettings settings(settingsFile, QSettings::IniFormat);
    settings.beginGroup(kGroup);
    RememberedPort port;
    const std::optional<int> com = numberIn(settings, QStringLiteral("com"), 0, PortDirectory::kComPorts);
    port.device = settings.value(QStringLiteral("device")).toString();
    if (settings.status() != QSettings::NoError || !com || port.device.isEmpty())
        return std::nullopt;
    port.comNumber = *com;
    if (port.comNumber != 0)
        return port;
    port.byId = settings.value(QStringLiteral("byId")).toString();
    if (!settings.contains(QStringLiteral("usbSerial")))
        return port;
    const std::optional<int> vendor = numberIn(settings, QStringLiteral("usbVendor"), 0, 0xFFFF);
    const std::optional<int> product = numberIn(settings, QStringLiteral("usbProduct"), 0, 0xFFFF);
    const QString serial = settings.value(QStringLiteral("usbSerial")).toString();
    if (!vendor || !product || serial.isEmpty())
        return std::nullopt;
    port.usb = UsbIdentity{static_cast<quint16>(*vendor), static_cast<quint16>(*product), serial};
    return port;
}

bool PortMemory::save(const QString &settingsFile, const RememberedPort &port)
{
    // QSettings writes a new file beside the old one and renames it over it: whole or not at all.
    QSettings settings(settingsFile, QSettings::IniFormat);
    settings.remove(kGroup);
    settings.beginGroup(kGroup);
    settings.setValue(QStringLiteral("com"), port.comNumber);
    settings.setValue(QStringLiteral("device"), port.device);
    if (!port.byId.isEmpty())
        settings.setValue(QStringLiteral("byId"), port.byId);
    if (port.usb) {
        settings.setValue(QStringLiteral("usbVendor"), int{port.usb->vendorId});
        settings.setValue(QStringLiteral("usbProduct"), int{port.usb->productId});
        settings.setValue(QStringLiteral("usbSerial"), port.usb->serialNumber);
    }
    settings.endGroup();
    settings.sync();
    return settings.status() == QSettings::NoError;
}

PortMemory::PortMemory(SgxProgram &program, QString settingsFile)
    : QObject(&program.mainForm()), m_program(program), m_file(std::move(settingsFile)), m_kept(load(m_file))
{
    TCOM_PORT_SETTING_FORM &dialog = program.comPortSettingForm();
    DeviceLink &link = program.deviceLink();
    if (m_kept)
        dialog.startAt(*m_kept);
    // The program opens the port first; an open refused at once has already finished by now.
    // The dialog tells of its own failures.
    connect(&dialog, &TCOM_PORT_SETTING_FORM::connectRequested, this, [this, &link](const PortChoice &port) {
        m_atStart = false;
        m_asked = link.opening() ? std::optional<PortChoice>(port) : std::nullopt;
    });
    connect(&dialog, &TCOM_PORT_SETTING_FORM::connectCancelled, this, [this] {
        m_atStart = false;
        m_asked.reset();
    });
    connect(&link, &DeviceLink::connectFinished, this, &PortMemory::connectFinished);
}

void PortMemory::connectAtStart()
{
    PortDirectory &ports = m_program.ports();
    ports.refresh();
    const int kept = m_kept ? m_kept->portNumberIn(ports) : 0;
    const PortChoice port = ports.choice(kept != 0 ? kept : 1);
    m_program.comPortSettingForm().startAt(RememberedPort::of(port));
    m_asked = port;
    m_atStart = true;
    m_program.connectTo(port);
}

void PortMemory::connectFinished(bool opened, const QString &message, const QString &detail)
{
    if (!m_asked)
        return;
    const PortChoice port = *std::exchange(m_asked, std::nullopt);
    const bool atStart = std::exchange(m_atStart, false);
    if (!opened) {
        if (atStart)
            openProgramMessage(&m_program.mainForm(), message, QMessageBox::NoIcon, detail);
        return;
    }
    m_kept = RememberedPort::of(port);
    if (!save(m_file, *m_kept))
        m_program.mainForm().showStatusNote(
            QStringLiteral("The port is not remembered: %1 cannot be written").arg(shownName(m_file)));
}
