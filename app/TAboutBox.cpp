#include "TAboutBox.h"

#include "CentredOnScreen.h"

#include <QFont>
#include <QFrame>
#include <QLabel>
#include <QLinearGradient>
#include <QPainter>
#include <QPixmap>
#include <QPushButton>

#include <algorithm>
#include <array>

namespace {

// The banner: colour bars beside the product name on a dark blue ground.
QPixmap aboutPicture()
{
    QPixmap picture(258, 89);
    QPainter p(&picture);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient ground(0, 0, 0, 89);
    ground.setColorAt(0, QColor(20, 40, 110));
    ground.setColorAt(1, QColor(5, 10, 40));
    p.fillRect(picture.rect(), ground);

    static const std::array<QColor, 8> bars = {
        QColor(235, 235, 235), QColor(235, 235, 0), QColor(0, 235, 235), QColor(0, 235, 0),
        QColor(235, 0, 235),   QColor(235, 0, 0),   QColor(0, 0, 235),   QColor(16, 16, 16)};
    const QRect barArea(10, 12, 80, 65);
    const int barWidth = barArea.width() / static_cast<int>(bars.size());
    for (std::size_t i = 0; i < bars.size(); ++i)
        p.fillRect(barArea.left() + static_cast<int>(i) * barWidth, barArea.top(), barWidth, barArea.height(),
                   bars[i]);
    p.setPen(QPen(QColor(200, 200, 220), 1));
    p.setBrush(Qt::NoBrush);
    p.drawRect(barArea.adjusted(0, 0, -1, -1));

    QFont name(QStringLiteral("Times New Roman"));
    name.setPixelSize(40);
    name.setBold(true);
    p.setFont(name);
    p.setPen(Qt::white);
    p.drawText(QRect(100, 8, 150, 46), Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("Vorna"));
    QFont line(QStringLiteral("Arial"));
    line.setPixelSize(14);
    p.setFont(line);
    p.setPen(QColor(255, 220, 80));
    p.drawText(QRect(102, 52, 150, 24), Qt::AlignLeft | Qt::AlignVCenter,
               QStringLiteral("tv Signal Generator"));
    return picture;
}

QLabel *makeLabel(QWidget *parent, const char *name, const QString &text, int left, int top)
{
    auto *label = new QLabel(text, parent);
    label->setObjectName(QString::fromLatin1(name));
    label->move(left, top);
    label->adjustSize();
    return label;
}

} // namespace

TAboutBox::TAboutBox(QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::CustomizeWindowHint |
                          Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint)
{
    setObjectName(QStringLiteral("AboutBox"));
    setWindowTitle(QStringLiteral("About"));
    setFixedSize(298, 380);

    m_panel1 = new QFrame(this);
    m_panel1->setObjectName(QStringLiteral("Panel1"));
    m_panel1->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    m_panel1->setLineWidth(1);
    m_panel1->setGeometry(8, 8, 281, 297);
    QFont times(QStringLiteral("Times New Roman"));
    times.setPixelSize(16);
    // Hinted to whole pixels, as the layout was drawn: the product line then just fits its panel.
    times.setHintingPreference(QFont::PreferFullHinting);
    m_panel1->setFont(times);
    QPalette black = m_panel1->palette();
    black.setColor(QPalette::WindowText, Qt::black);
    m_panel1->setPalette(black);

    m_programIcon = new QLabel(m_panel1);
    m_programIcon->setObjectName(QStringLiteral("ProgramIcon"));
    m_programIcon->setGeometry(8, 8, 281, 97);
    m_programIcon->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    m_programIcon->setPixmap(aboutPicture());

    m_productName = makeLabel(m_panel1, "ProductName",
                              QStringLiteral("Product Name: Vorna - tv Signal Generator "), 8, 128);
    // Its trailing space would reach past the panel's edge; the label ends there instead.
    m_productName->resize(std::min(m_productName->width(), m_panel1->width() - m_productName->x()),
                          m_productName->height());
    m_version = makeLabel(m_panel1, "Version", QStringLiteral("Version:V0.3"), 96, 152);
    // Contact lines: web address, telephone, street, town.
    m_comments = makeLabel(m_panel1, "Comments", QStringLiteral("www.vorna-signal.example"), 72, 200);
    m_comments->setWordWrap(true);
    m_label1 = makeLabel(m_panel1, "Label1", QStringLiteral("Tel: +1 555 0142"), 72, 224);
    m_label3 = makeLabel(m_panel1, "Label3", QStringLiteral("12 Lantern Row"), 72, 248);
    m_label2 = makeLabel(m_panel1, "Label2", QStringLiteral("Eastbrook, Northshire"), 64, 264);

    m_okButton = new QPushButton(QStringLiteral("OK"), this);
    m_okButton->setObjectName(QStringLiteral("OKButton"));
    m_okButton->setGeometry(112, 330, 65, 33);
    m_okButton->setDefault(true);
    connect(m_okButton, &QPushButton::clicked, this, &QDialog::accept);

    // In the middle of the screen, the whole box with its frame.
    new CentredOnScreen(this);
}

void TAboutBox::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    m_okButton->setFocus();
}
