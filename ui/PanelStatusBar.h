#pragma once

#include <QStatusBar>
#include <QString>

#include <functional>
#include <optional>
#include <utility>
#include <vector>

class QLabel;

// A status bar of fixed panels side by side, the last one reaching to the right edge. A panel
// shows its text, or, when it is owner-drawn and a draw handler is attached, whatever the
// handler paints into it. Each panel has an accessible object over it (a label that paints
// nothing) named by what the panel shows and described by its detail, so that a screen reader
// can say it.
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
    // The text a draw handler paints into the owner-drawn panel; until one is set, the panel's text.
    void setPanelDrawnText(int panel, const QString &text);
    [[nodiscard]] QString panelDrawnText(int panel) const;
    // What the panel shows: its text, its drawn text while a handler paints it, or nothing.
    [[nodiscard]] QString panelShownText(int panel) const;
    // More about what the panel shows, as its accessible description and tool tip.
    void setPanelDetail(int panel, const QString &detail);
    [[nodiscard]] QString panelDetail(int panel) const;

    // An empty handler detaches it; owner-drawn panels then stay blank.
    void setDrawHandler(DrawHandler handler);

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    struct Panel {
        int width = 0;
        QString text;
        bool ownerDrawn = false;
        std::optional<QString> drawnText;
        QLabel *accessible = nullptr;
    };

    [[nodiscard]] bool valid(int panel) const { return panel >= 0 && panel < panelCount(); }
    // Sets one field of a panel and repaints it; a panel that does not exist is left alone.
    template <typename Field, typename Value> void changePanel(int panel, Field Panel::*field, Value value)
    {
        if (!valid(panel))
            return;
        m_panels[static_cast<std::size_t>(panel)].*field = std::move(value);
        update(panelRect(panel));
        updateAccessible();
    }
    // The accessible objects' names after what the panels show, and their places.
    void updateAccessible();

    std::vector<Panel> m_panels;
    DrawHandler m_drawHandler;
};
