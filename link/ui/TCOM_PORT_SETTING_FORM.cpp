#include "TCOM_PORT_SETTING_FORM.h"

#include "DeviceLink.h"
#include "Fonts.h"
#include "OuterGeometry.h"
#include "StepMachine.h"

#include <QComboBox>
#include <QFont>
#include <QLabel>
#include <QPushButton>

namespace {

constexpr int kPortCount = 8;
constexpr int kLabelLeft = 32;
constexpr int kListLeft = 150;
constexpr int kListWidth = 140;
constexpr int kRowHeight = 26;
constexpr int kFirstRowTop = 20;
constexpr int kRowPitch = 38;

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

TCOM_PORT_SETTING_FORM::TCOM_PORT_SETTING_FORM(StepMachine &steps, QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowCloseButtonHint),
      m_steps(steps)
{
    setObjectName(QStringLiteral("COM_PORT_SETTING_FORM"));
    setWindowTitle(QStringLiteral("COM Port Setting "));
    new OuterGeometry(this, QSize(330, 232), OuterGeometry::Sizing::Fixed);
    setFont(arialFont(16));

    QStringList ports;
    for (int n = 1; n <= kPortCount; ++n)
        ports << QStringLiteral("COM %1").arg(n);

    m_label1 = makeLabel(this, "Label1", QStringLiteral("COM Port"), 0);
    m_comboBox1 = makeList(this, "ComboBox1", ports, 0);
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

    m_button1 = new QPushButton(QStringLiteral("OK"), this);
    m_button1->setObjectName(QStringLiteral("Button1"));
    m_button1->setGeometry(70, 180, 85, 32);
    m_button2 = new QPushButton(QStringLiteral("Cancel"), this);
    m_button2->setObjectName(QStringLiteral("Button2"));
    m_button2->setGeometry(175, 180, 85, 32);
    connect(m_button1, &QPushButton::clicked, this, &TCOM_PORT_SETTING_FORM::Button1Click);
    connect(m_button2, &QPushButton::clicked, this, &TCOM_PORT_SETTING_FORM::Button2Click);

    // FormCreate: the list starts at the port in use, which is none yet, so COM 1.
    const int portNumber = m_steps.link().state().portNumber;
    m_comboBox1->setCurrentIndex(portNumber >= 1 && portNumber <= kPortCount ? portNumber - 1 : 0);
}

void TCOM_PORT_SETTING_FORM::Button1Click()
{
    if (m_steps.connectPort(m_comboBox1->currentIndex()))
        accept();
}

void TCOM_PORT_SETTING_FORM::Button2Click()
{
    reject();
}
