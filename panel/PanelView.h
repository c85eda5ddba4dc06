#pragma once

#include <QWidget>

#include <memory>

class CPanelObject;
class QMenu;
class CPanelPainter;
class CPanelState;

// The client area of the main window: paints the panel, shows a port's state
// as a tool tip while the mouse rests on it, and reports clicks on ports.
class CPanelView : public QWidget {
    Q_OBJECT
public:
    explicit CPanelView(QWidget* parent = nullptr);

    // Binds the panel; all three outlive the view's use of them.
    void Bind(const CPanelObject* root, const CPanelState* state, CPanelPainter* painter);
    void SetBlinkPhase(bool phase) { m_bBlinkPhase = phase; }
    bool BlinkPhase() const { return m_bBlinkPhase; }
    // Ports show a pointing hand when a click on them does something.
    void SetPortsClickable(bool clickable) { m_bClickable = clickable; }
    // The port menu offers the traffic graph when a window for it is registered.
    void SetTrafficAvailable(bool available) { m_bTrafficAvailable = available; }

    // The port under a point of the view; 0 for none.
    int PortAt(const QPoint& point) const;
    QString ToolTipAt(const QPoint& point) const;
    // The context menu of a port: its traffic graph and its configuration.
    std::unique_ptr<QMenu> PortMenu(int port);

signals:
    void PortClicked(int port);
    void PortTrafficRequested(int port);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    bool event(QEvent* event) override;

private:
    const CPanelObject* m_pRoot = nullptr;
    const CPanelState* m_pState = nullptr;
    CPanelPainter* m_pPainter = nullptr;
    bool m_bBlinkPhase = false;
    bool m_bClickable = false;
    bool m_bTrafficAvailable = false;
};
