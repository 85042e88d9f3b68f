#include "PanelStatusBar.h"

#include <QLabel>
#include <QPainter>
#include <QStyle>
#include <qdrawutil.h>

#include <algorithm>

PanelStatusBar::PanelStatusBar(const std::vector<int> &panelWidths, QWidget *parent) : QStatusBar(parent)
{
    for (std::size_t i = 0; i < panelWidths.size(); ++i) {
        // Made before any child of the owner's, so that a widget over a panel (a gauge) stays on top.
        auto *accessible = new QLabel(this);
        accessible->setObjectName(QStringLiteral("StatusPanel%1").arg(i));
        m_panels.push_back(Panel{panelWidths[i], QString(), false, std::nullopt, accessible});
    }
    setFixedHeight(fontMetrics().height() + 8);
    updateAccessible();
}

void PanelStatusBar::updateAccessible()
{
    for (int i = 0; i < panelCount(); ++i) {
        QLabel *accessible = m_panels[static_cast<std::size_t>(i)].accessible;
        accessible->setGeometry(panelRect(i));
        // Qt tells a screen reader of each new name: only a change is set.
        const QString name = panelShownText(i);
        if (accessible->accessibleName() != name)
            accessible->setAccessibleName(name);
    }
}

void PanelStatusBar::resizeEvent(QResizeEvent *event)
{
    QStatusBar::resizeEvent(event);
    updateAccessible();
}

QRect PanelStatusBar::panelRect(int panel) const
{
    if (!valid(panel))
        return {};
    int left = 0;
    for (int i = 0; i < panel; ++i)
        left += m_panels[static_cast<std::size_t>(i)].width;
    int width = m_panels[static_cast<std::size_t>(panel)].width;
    if (panel == panelCount() - 1) {
        // Like the system's status bar, the last panel takes the rest, up to the size grip.
        const int grip =
            isSizeGripEnabled() ? style()->pixelMetric(QStyle::PM_SizeGripSize, nullptr, this) : 0;
        width = std::max(width, this->width() - grip - left);
    }
    return QRect(left, 0, width, height());
}

QRect PanelStatusBar::panelContentsRect(int panel) const
{
    return panelRect(panel).adjusted(1, 1, -1, -1);
}

void PanelStatusBar::setPanelText(int panel, const QString &text)
{
    changePanel(panel, &Panel::text, text);
}

QString PanelStatusBar::panelText(int panel) const
{
    return valid(panel) ? m_panels[static_cast<std::size_t>(panel)].text : QString();
}

void PanelStatusBar::setPanelOwnerDrawn(int panel, bool ownerDrawn)
{
    changePanel(panel, &Panel::ownerDrawn, ownerDrawn);
}

bool PanelStatusBar::panelOwnerDrawn(int panel) const
{
    return valid(panel) && m_panels[static_cast<std::size_t>(panel)].ownerDrawn;
}

void PanelStatusBar::setPanelDrawnText(int panel, const QString &text)
{
    changePanel(panel, &Panel::drawnText, std::optional<QString>(text));
}

QString PanelStatusBar::panelDrawnText(int panel) const
{
    if (!valid(panel))
        return {};
    const Panel &p = m_panels[static_cast<std::size_t>(panel)];
    return p.drawnText.value_or(p.text);
}

QString PanelStatusBar::panelShownText(int panel) const
{
    if (!panelOwnerDrawn(panel))
        return panelText(panel);
    return m_drawHandler ? panelDrawnText(panel) : QString();
}

void PanelStatusBar::setPanelDetail(int panel, const QString &detail)
{
    if (!valid(panel))
        return;
    QLabel *accessible = m_panels[static_cast<std::size_t>(panel)].accessible;
    accessible->setAccessibleDescription(detail);
    accessible->setToolTip(detail);
}

QString PanelStatusBar::panelDetail(int panel) const
{
    return valid(panel) ? m_panels[static_cast<std::size_t>(panel)].accessible->accessibleDescription()
                        : QString();
}

void PanelStatusBar::setDrawHandler(DrawHandler handler)
{
    m_drawHandler = std::move(handler);
    update();
    updateAccessible();
}

void PanelStatusBar::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.fillRect(rect(), palette().window());
    for (int i = 0; i < panelCount(); ++i) {
        const Panel &panel = m_panels[static_cast<std::size_t>(i)];
        qDrawShadePanel(&painter, panelRect(i), palette(), true, 1);
        const QRect inside = panelContentsRect(i);
        if (panel.ownerDrawn) {
            if (m_drawHandler) {
                painter.save();
                painter.setClipRect(inside);
                m_drawHandler(painter, i, inside);
                painter.restore();
            }
            continue;
        }
        painter.setPen(palette().color(QPalette::WindowText));
        painter.drawText(inside.adjusted(2, 0, 0, 0), Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine,
                         panel.text);
    }
}
