#pragma once

#include "RememberedPort.h"

#include <QDialog>

#include <optional>

class QComboBox;
class QLabel;
class QPushButton;
class PortDirectory;
struct PortChoice;

// Where the operator picks the serial port and connects. Created once and shown modally. OK
// hands the chosen port over and waits, busy, for the result of its open, which it is handed:
// it closes once the port is open, and stays, with the message, when it is not.
class TCOM_PORT_SETTING_FORM : public QDialog {
    Q_OBJECT
public:
    // portNumber: the port in use, which the list starts at (0: none yet, so COM 1).
    TCOM_PORT_SETTING_FORM(PortDirectory &ports, int portNumber, QWidget *parent = nullptr);

    // Lists, after COM 8, the serial ports the system has now; keeps the choice while its device does.
    void FormShow();
    // The port the list starts at while it is there, until the operator chooses one.
    void startAt(const RememberedPort &port) { m_startAt = port; }
    // OK: asks for the chosen port to be opened.
    void Button1Click();
    // Cancel: an open still under way is given up.
    void Button2Click();
    // How the open went: closes the dialog, or shows why not and lets the operator choose again.
    void showConnectResult(bool opened, const QString &message, const QString &detail);
    [[nodiscard]] bool waiting() const { return m_waiting; }

signals:
    void connectRequested(const PortChoice &port);
    void connectCancelled();

protected:
    void showEvent(QShowEvent *event) override;
    void reject() override;

private:
    void showDevice(int index);
    void setWaiting(bool waiting);

    PortDirectory &m_ports;
    QLabel *m_label1 = nullptr;
    QLabel *m_label2 = nullptr;
    QLabel *m_label3 = nullptr;
    QLabel *m_label4 = nullptr;
    QComboBox *m_comboBox1 = nullptr;
    QComboBox *m_comboBox2 = nullptr;
    QComboBox *m_comboBox3 = nullptr;
    QComboBox *m_comboBox4 = nullptr;
    QPushButton *m_button1 = nullptr;
    QPushButton *m_button2 = nullptr;
    bool m_waiting = false;
    std::optional<RememberedPort> m_startAt;
};
