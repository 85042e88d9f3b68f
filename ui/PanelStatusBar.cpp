#include "PanelStatusBar.h"

#include <QPainter>
#include <QStyle>
#include <qdrawutil.h>

#include <algorithm>

PanelStatusBar::PanelStatusBar(const std::vector<int> &panelWidths, QWidget *parent) : QStatusBar(parent)
{
    for (int width : panelWidths)
        m_panels.push_back(Panel{width, QString(), false});
    setFixedHeight(fontMetrics().height() + 8);
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
    if (!valid(panel))
        return;
    m_panels[static_cast<std::size_t>(panel)].text = text;
    update(panelRect(panel));
}

QString PanelStatusBar::panelText(int panel) const
{
    return valid(panel) ? m_panels[static_cast<std::size_t>(panel)].text : QString();
}

void PanelStatusBar::setPanelOwnerDrawn(int panel, bool ownerDrawn)
{
    if (!valid(panel))
        return;
    m_panels[static_cast<std::size_t>(panel)].ownerDrawn = ownerDrawn;
    update(panelRect(panel));
}

bool PanelStatusBar::panelOwnerDrawn(int panel) const
{
    return valid(panel) && m_panels[static_cast<std::size_t>(panel)].ownerDrawn;
}

void PanelStatusBar::setDrawHandler(DrawHandler handler)
{
    m_drawHandler = std::move(handler);
    update();
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
