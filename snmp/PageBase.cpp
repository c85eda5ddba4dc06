#include "PageBase.h"

#include "app/DeviceProfile.h"
#include "platform/Trace.h"

#include <QIcon>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QPainter>
#include <QPixmap>
#include <QShowEvent>
#include <QTimer>

namespace {

void CloseNamed(const QString& name, CCommonSNMP& session) {
    session.Close();
    Trace(QStringLiteral("==================%1.Close===============").arg(name));
}

} // namespace

QIcon PageIcon() {
    static const QIcon icon = [] {
        QIcon fromResource(QStringLiteral(":/icons/447.png"));
        if (!fromResource.isNull() && !fromResource.availableSizes().isEmpty())
            return fromResource;
        // A drawn switch glyph, so a page always has its icon.
        QPixmap pixmap(32, 32);
        pixmap.fill(Qt::transparent);
        QPainter painter(&pixmap);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setBrush(QColor(0x3a, 0x4a, 0x5c));
        painter.setPen(Qt::NoPen);
        painter.drawRoundedRect(2, 9, 28, 14, 3, 3);
        painter.setBrush(QColor(0x7c, 0xd6, 0x5a));
        for (int i = 0; i < 4; ++i)
            painter.drawRect(6 + i * 6, 14, 4, 4);
        return QIcon(pixmap);
    }();
    return icon;
}

CPageBase::CPageBase(QWidget* parent) : QDialog(parent) {
    m_pChannel = CNotifyChannel::Create(
        this, [this](std::vector<SSnmpReport>& batch) { OnSnmpNotifyBatch(batch); });
    // Top-most without moving or resizing, with the page icon.
    setWindowFlag(Qt::WindowStaysOnTopHint, true);
    setWindowIcon(PageIcon());
}

CPageBase::~CPageBase() { CloseSessions(); }

QWidget* CPageBase::Control(int id) const {
    for (QWidget* widget : findChildren<QWidget*>()) {
        const QVariant value = widget->property(kControlIdProperty);
        if (value.isValid() && value.toInt() == id)
            return widget;
    }
    return nullptr;
}

void CPageBase::SetControlId(QWidget* widget, int id) {
    widget->setProperty(kControlIdProperty, id);
}

QPushButton* CPageBase::NewButton(const QString& text, int id) {
    auto* button = new QPushButton(text, this);
    button->setAutoDefault(false);
    SetControlId(button, id);
    return button;
}

QLineEdit* CPageBase::NewEdit(int id, int maxLength) {
    auto* edit = new QLineEdit(this);
    if (maxLength > 0)
        edit->setMaxLength(maxLength);
    SetControlId(edit, id);
    return edit;
}

QLabel* CPageBase::NewLabel(const QString& text, int id) {
    auto* label = new QLabel(text, this);
    if (id)
        SetControlId(label, id);
    return label;
}

CCommonSNMP& CPageBase::AddSession(const QString& name) {
    m_sessions.push_back({name, std::make_unique<CCommonSNMP>()});
    return *m_sessions.back().session;
}

CCommonSNMP* CPageBase::Session(const QString& name) const {
    for (const SNamedSession& named : m_sessions)
        if (named.name == name)
            return named.session.get();
    return nullptr;
}

void CPageBase::AttachBackEnd(CFeatureBackEnd& backEnd) { m_backEnds.push_back(&backEnd); }

void CPageBase::CloseSessions() {
    if (m_bClosed)
        return;
    m_bClosed = true;
    // No report reaches the page from here on, whatever is still in flight.
    m_pChannel->Shut();
    Trace(QStringLiteral("==================DestroyWindow==============="));
    for (SNamedSession& named : m_sessions)
        CloseNamed(named.name, *named.session);
    for (CFeatureBackEnd* backEnd : m_backEnds)
        backEnd->CloseSessions();
}

void CPageBase::done(int result) {
    CloseSessions();
    QDialog::done(result);
}

void CPageBase::OnSnmpNotifyBatch(std::vector<SSnmpReport>& batch) {
    for (const SSnmpReport& report : batch) {
        if (m_bClosed)
            return;
        OnSnmpNotify(report);
    }
}

void CPageBase::OnSnmpNotify(const SSnmpReport&) {}

void CPageBase::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (m_bInitialised)
        return;
    m_bInitialised = true;
    OnInitDialog();
}

CFeatureBackEnd::CFeatureBackEnd()
    : m_cCommonSNMP(AddSession(QStringLiteral("m_cCommonSNMP"))),
      m_cCommonSNMPSet(AddSession(QStringLiteral("m_cCommonSNMPSet"))),
      m_cCommonSNMPTable(AddSession(QStringLiteral("m_cCommonSNMPTable"))),
      m_nPortValues(static_cast<size_t>(std::max(g_nPortNum, 0)), 0) {}

CFeatureBackEnd::~CFeatureBackEnd() { CloseSessions(); }

CCommonSNMP& CFeatureBackEnd::AddSession(const QString& name) {
    m_sessions.push_back({name, std::make_unique<CCommonSNMP>()});
    return *m_sessions.back().session;
}

int CFeatureBackEnd::SetOwner(CPageBase* owner) {
    if (!owner)
        return 0;
    m_pOwner = owner;
    return 1;
}

std::shared_ptr<CNotifyChannel> CFeatureBackEnd::Channel() const {
    return m_pOwner ? m_pOwner->Channel() : nullptr;
}

void CFeatureBackEnd::Notify(int code, SSnmpRow row) {
    if (auto channel = Channel())
        channel->Post(SSnmpReport{code, std::move(row), {}});
}

void CFeatureBackEnd::NotifyMarker(int code, const QString& marker) {
    if (auto channel = Channel())
        channel->Post(SSnmpReport{code, {}, marker});
}

void CFeatureBackEnd::CloseSessions() {
    if (m_bClosed)
        return;
    m_bClosed = true;
    for (SNamedSession& named : m_sessions)
        CloseNamed(named.name, *named.session);
}
