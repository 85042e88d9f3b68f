#pragma once

#include <QStatusBar>
#include <QString>

#include <functional>
#include <vector>

// A status bar of fixed panels side by side, the last one reaching to the right edge. A panel
// shows its text, or, when it is owner-drawn and a draw handler is attached, whatever the
// handler paints into it.
class PanelStatusBar : public QStatusBar {
    Q_OBJECT
public:
    using DrawHandler = std::function<void(QPainter &painter, int panel, const QRect &rect)>;

    explicit PanelStatusBar(const std::vector<int> &panelWidths, QWidget *parent = nullptr);

    [[nodiscard]] int panelCount() const { return static_cast<int>(m_panels.size()); }
    // The panel's whole area, bevel included.
    [[nodiscard]] QRect panelRect(int panel) const;
    // The area inside the bevel, which a draw handler paints.
    [[nodiscard]] QRect panelContentsRect(int panel) const;

    void setPanelText(int panel, const QString &text);
    [[nodiscard]] QString panelText(int panel) const;
    void setPanelOwnerDrawn(int panel, bool ownerDrawn);
    [[nodiscard]] bool panelOwnerDrawn(int panel) const;

    // An empty handler detaches it; owner-drawn panels then stay blank.
    void setDrawHandler(DrawHandler handler);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    struct Panel {
        int width = 0;
        QString text;
        bool ownerDrawn = false;
    };

    [[nodiscard]] bool valid(int panel) const { return panel >= 0 && panel < panelCount(); }

    std::vector<Panel> m_panels;
    DrawHandler m_drawHandler;
};
