#include "TCOM_PORT_SETTING_FORM.h"

#include "Fonts.h"
#include "LinkRequest.h"
#include "MessageBoxes.h"
#include "OuterGeometry.h"
#include "PortDirectory.h"
#include "ShownName.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QFont>
#include <QLabel>
#include <QPushButton>

#include <algorithm>
#include <utility>

namespace {

constexpr int kPortCount = PortDirectory::kComPorts;
constexpr int kLabelLeft = 32;
constexpr int kListLeft = 150;
constexpr int kListWidth = 140;
constexpr int kRowHeight = 26;
// The rows and buttons keep within 320 x 195, what a tall frame leaves of 330 x 232.
constexpr int kFirstRowTop = 14;
constexpr int kRowPitch = 34;
constexpr int kButtonTop = 156;
constexpr int kButtonWidth = 85;
constexpr int kButtonHeight = 30;
// Room beside an item's text in the drop-down: its frame, the item's padding and a scroll bar.
constexpr int kDropDownMargins = 40;

QLabel *makeLabel(QWidget *parent, const char *name, const QString &text, int row)
{
    auto *label = new QLabel(text, parent);
    label->setObjectName(QString::fromLatin1(name));
    label->setGeometry(kLabelLeft, kFirstRowTop + row * kRowPitch, kListLeft - kLabelLeft - 8, kRowHeight);
    return label;
}

QComboBox *makeList(QWidget *parent, const char *name, const QStringList &items, int row)
{
    auto *list = new QComboBox(parent);
    list->setObjectName(QString::fromLatin1(name));
    list->setEditable(false);
    list->addItems(items);
    list->setGeometry(kListLeft, kFirstRowTop + row * kRowPitch, kListWidth, kRowHeight);
    return list;
}

} // namespace

TCOM_PORT_SETTING_FORM::TCOM_PORT_SETTING_FORM(PortDirectory &ports, int portNumber, QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowCloseButtonHint),
      m_ports(ports)
{
    setObjectName(QStringLiteral("COM_PORT_SETTING_FORM"));
    setWindowTitle(QStringLiteral("COM Port Setting "));
    new OuterGeometry(this, QSize(330, 232), OuterGeometry::Sizing::Fixed);
    setFont(arialFont(16));

    QStringList comPorts;
    for (int n = 1; n <= kPortCount; ++n)
        comPorts << QStringLiteral("COM %1").arg(n);

    m_label1 = makeLabel(this, "Label1", QStringLiteral("COM Port"), 0);
    m_comboBox1 = makeList(this, "ComboBox1", comPorts, 0);
    m_label2 = makeLabel(this, "Label2", QStringLiteral("Baud Rate"), 1);
    m_comboBox2 = makeList(this, "ComboBox2", {QStringLiteral("19200")}, 1);
    m_label3 = makeLabel(this, "Label3", QStringLiteral("Data Bits"), 2);
    m_comboBox3 = makeList(this, "ComboBox3", {QStringLiteral("8")}, 2);
    m_label4 = makeLabel(this, "Label4", QStringLiteral("Parity"), 3);
    m_comboBox4 = makeList(this, "ComboBox4", {QStringLiteral("None")}, 3);
    // The line settings are fixed; these only show them.
    m_comboBox2->setEnabled(false);
    m_comboBox3->setEnabled(false);
    m_comboBox4->setEnabled(false);
    // Each box is known by its label, and carries it as its accessible name.
    for (const auto &[label, box] : {std::pair{m_label1, m_comboBox1}, std::pair{m_label2, m_comboBox2},
                                     std::pair{m_label3, m_comboBox3}, std::pair{m_label4, m_comboBox4}}) {
        label->setBuddy(box);
        box->setAccessibleName(label->text());
    }
    connect(m_comboBox1, qOverload<int>(&QComboBox::currentIndexChanged), this,
            &TCOM_PORT_SETTING_FORM::showDevice);
    connect(m_comboBox1, &QComboBox::activated, this, [this] { m_startAt.reset(); });

    m_button1 = new QPushButton(QStringLiteral("OK"), this);
    m_button1->setObjectName(QStringLiteral("Button1"));
    m_button1->setGeometry(70, kButtonTop, kButtonWidth, kButtonHeight);
    m_button2 = new QPushButton(QStringLiteral("Cancel"), this);
    m_button2->setObjectName(QStringLiteral("Button2"));
    m_button2->setGeometry(175, kButtonTop, kButtonWidth, kButtonHeight);
    connect(m_button1, &QPushButton::clicked, this, &TCOM_PORT_SETTING_FORM::Button1Click);
    connect(m_button2, &QPushButton::clicked, this, &TCOM_PORT_SETTING_FORM::Button2Click);

    // FormCreate: the list starts at the port in use, which is none yet, so COM 1.
    m_comboBox1->setCurrentIndex(portNumber >= 1 && portNumber <= kPortCount ? portNumber - 1 : 0);
}

void TCOM_PORT_SETTING_FORM::showEvent(QShowEvent *event)
{
    FormShow();
    QDialog::showEvent(event);
}

void TCOM_PORT_SETTING_FORM::FormShow()
{
    // The choice is kept by the device's name: positions after COM 8 change as ports come and go.
    const int chosen = m_comboBox1->currentIndex();
    const QString chosenName = chosen >= kPortCount ? m_comboBox1->itemData(chosen).toString() : QString();

    m_ports.refresh();
    const QSignalBlocker quiet(m_comboBox1);
    while (m_comboBox1->count() > kPortCount)
        m_comboBox1->removeItem(kPortCount);
    for (const SystemPort &port : m_ports.addedPorts())
        m_comboBox1->addItem((port.systemName + QStringLiteral("  ") + port.description).trimmed(),
                             port.systemName);
    int widest = m_comboBox1->width();
    for (int i = 0; i < m_comboBox1->count(); ++i) {
        const QString device = shownName(m_ports.devicePath(i + 1));
        m_comboBox1->setItemData(i, device, Qt::ToolTipRole);
        m_comboBox1->setItemData(i, device, Qt::AccessibleDescriptionRole);
        widest = std::max(widest, m_comboBox1->fontMetrics().horizontalAdvance(m_comboBox1->itemText(i)) +
                                      kDropDownMargins);
    }
    // A long description widens the drop-down, never the dialog.
    m_comboBox1->view()->setMinimumWidth(widest);

    int selected = chosen >= 0 && chosen < kPortCount ? chosen : 0;
    if (const int number = m_ports.portNumberOf(chosenName); number != 0)
        selected = number - 1;
    if (const int number = m_startAt ? m_startAt->portNumberIn(m_ports) : 0; number != 0)
        selected = number - 1;
    m_comboBox1->setCurrentIndex(selected);
    showDevice(selected);
}

void TCOM_PORT_SETTING_FORM::showDevice(int index)
{
    const QString device = m_comboBox1->itemData(index, Qt::ToolTipRole).toString();
    m_comboBox1->setToolTip(device);
    m_comboBox1->setAccessibleDescription(device);
}

void TCOM_PORT_SETTING_FORM::Button1Click()
{
    if (m_waiting)
        return;
    setWaiting(true);
    m_startAt.reset();
    emit connectRequested(m_ports.choice(m_comboBox1->currentIndex() + 1));
}

void TCOM_PORT_SETTING_FORM::Button2Click()
{
    reject();
}

void TCOM_PORT_SETTING_FORM::reject()
{
    // Cancel, Escape or the close box: an open still under way is not wanted any more.
    if (m_waiting) {
        setWaiting(false);
        emit connectCancelled();
    }
    QDialog::reject();
}

void TCOM_PORT_SETTING_FORM::setWaiting(bool waiting)
{
    m_waiting = waiting;
    // A terminal server may take seconds to answer: the dialog shows it is busy, and the choice
    // stays as it was asked for meanwhile.
    if (waiting)
        setCursor(Qt::BusyCursor);
    else
        unsetCursor();
    m_button1->setEnabled(!waiting);
    m_comboBox1->setEnabled(!waiting);
}

void TCOM_PORT_SETTING_FORM::showConnectResult(bool opened, const QString &message, const QString &detail)
{
    if (!m_waiting)
        return;
    setWaiting(false);
    if (opened) {
        accept();
        return;
    }
    openProgramMessage(this, message, QMessageBox::NoIcon, detail);
}
