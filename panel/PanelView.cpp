#include "PanelView.h"

#include "panel/PanelArt.h"
#include "panel/PanelPainter.h"

#include <QContextMenuEvent>
#include <QHelpEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QToolTip>

CPanelView::CPanelView(QWidget* parent) : QWidget(parent) {
    setMouseTracking(true);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void CPanelView::Bind(const CPanelObject* root, const CPanelState* state, CPanelPainter* painter) {
    m_pRoot = root;
    m_pState = state;
    m_pPainter = painter;
    update();
}

int CPanelView::PortAt(const QPoint& point) const {
    if (!m_pRoot || !m_pState)
        return 0;
    return PortNumberOf(*m_pState, m_pRoot->Hover(point.x(), point.y()));
}

QString CPanelView::ToolTipAt(const QPoint& point) const {
    const int port = PortAt(point);
    return port > 0 ? PortToolTip(*m_pState, port) : QString();
}

void CPanelView::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), QColor(0x20, 0x23, 0x27));
    if (!m_pPainter)
        return;
    PanelBitmaps().SetDevicePixelRatio(devicePixelRatioF());
    m_pPainter->Paint(painter, m_bBlinkPhase);
}

void CPanelView::mouseMoveEvent(QMouseEvent* event) {
    const bool overPort = PortAt(event->position().toPoint()) > 0;
    setCursor(overPort && m_bClickable ? Qt::PointingHandCursor : Qt::ArrowCursor);
    QWidget::mouseMoveEvent(event);
}

void CPanelView::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton && m_pRoot) {
        const QPoint point = event->position().toPoint();
        const int port = PortNumberOf(*m_pState, m_pRoot->Click(point.x(), point.y()));
        if (port > 0)
            emit PortClicked(port);
    }
    QWidget::mousePressEvent(event);
}

std::unique_ptr<QMenu> CPanelView::PortMenu(int port) {
    auto menu = std::make_unique<QMenu>(this);
    QAction* traffic = menu->addAction(QStringLiteral("&Traffic Graph of Port %1").arg(port));
    traffic->setEnabled(m_bTrafficAvailable);
    connect(traffic, &QAction::triggered, this, [this, port] { emit PortTrafficRequested(port); });
    QAction* configure = menu->addAction(QStringLiteral("Port &Configuration"));
    configure->setEnabled(m_bClickable);
    connect(configure, &QAction::triggered, this, [this, port] { emit PortClicked(port); });
    return menu;
}

void CPanelView::contextMenuEvent(QContextMenuEvent* event) {
    const int port = PortAt(event->pos());
    if (port <= 0) {
        event->ignore();
        return;
    }
    PortMenu(port)->exec(event->globalPos());
}

bool CPanelView::event(QEvent* event) {
    if (event->type() == QEvent::ToolTip) {
        auto* help = static_cast<QHelpEvent*>(event);
        const QString text = ToolTipAt(help->pos());
        if (text.isEmpty())
            QToolTip::hideText();
        else
            QToolTip::showText(help->globalPos(), text, this);
        return true;
    }
    return QWidget::event(event);
}
