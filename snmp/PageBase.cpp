#include "PageBase.h"

#include "device/DeviceProfile.h"
#include "platform/ListControl.h"
#include "platform/Trace.h"

#include <QBoxLayout>
#include <QFormLayout>
#include <QGridLayout>
#include <QIcon>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QPainter>
#include <QPixmap>
#include <QShowEvent>
#include <QTimer>

#include <algorithm>

namespace {

void CloseNamed(const QString& name, CCommonSNMP& session) {
    Trace(QStringLiteral("==================%1.Close===============").arg(name));
    session.Close();
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
    m_clock.start();
    m_pChannel = CNotifyChannel::Create(
        this, [this](std::vector<SSnmpReport>& batch) { Dispatch(batch); });
    m_pOutcomeLine = new QLabel(this);
    SetControlId(m_pOutcomeLine, kIdOutcomeLine);
    m_pOutcomeLine->setFrameShape(QFrame::StyledPanel);
    m_pOutcomeLine->setFrameShadow(QFrame::Sunken);
    m_pOutcomeLine->setTextInteractionFlags(Qt::TextSelectableByMouse);
    m_pOutcomeLine->setWordWrap(true);
    m_pOutcomeLine->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    // Top-most without moving or resizing, with the page icon.
    setWindowFlag(Qt::WindowStaysOnTopHint, true);
    setWindowIcon(PageIcon());
}

CPageBase::~CPageBase() {
    // A page's back-ends are its members, gone by now: each closed its own
    // sessions when it was destroyed. Only a page closed by done() closes
    // them here, in their order after the page's own.
    m_backEnds.clear();
    CloseSessions();
}

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
    WatchSession(*m_sessions.back().session);
    return *m_sessions.back().session;
}

void CPageBase::WatchSession(CCommonSNMP& session) {
    session.SetOutcomeSink([weak = std::weak_ptr<CNotifyChannel>(m_pChannel)](const SOutcome& o) {
        if (auto channel = weak.lock())
            channel->Post(SSnmpReport{kOutcomeReport, {}, {}, std::make_shared<const SOutcome>(o)});
    });
}

bool CPageBase::IsBusy() const {
    if (m_bLoading)
        return true;
    for (const SNamedSession& named : m_sessions)
        if (named.session->IsBusy())
            return true;
    for (const CFeatureBackEnd* backEnd : m_backEnds)
        if (backEnd->IsBusy())
            return true;
    return false;
}

void CPageBase::Dispatch(std::vector<SSnmpReport>& batch) {
    // The page's reports go to the page in runs; each outcome is taken after
    // the rows before it, so that the line speaks of what the page shows.
    std::vector<SSnmpReport> run;
    bool outcomes = false;
    for (SSnmpReport& report : batch) {
        if (m_bClosed)
            return;
        if (report.code == kOutcomeReport) {
            if (!run.empty()) {
                OnSnmpNotifyBatch(run);
                run.clear();
            }
            if (m_bClosed)
                return;
            if (report.outcome)
                TakeOutcome(*report.outcome);
            else
                m_strWrite = report.marker; // the page's own words about its action
            outcomes = true;
        } else {
            run.push_back(std::move(report));
        }
    }
    if (!run.empty() && !m_bClosed)
        OnSnmpNotifyBatch(run);
    if (outcomes && !m_bClosed) {
        // Reads that ran together make one load; it ends when the page is idle.
        if (!IsBusy())
            m_load.open = false;
        RenderOutcome();
    }
}

void CPageBase::TakeOutcome(const SOutcome& outcome) {
    if (outcome.kind == SOutcome::Kind::kWrite) {
        m_strWrite = OutcomeText(outcome);
        m_load = SLoad{};
        m_strLoad.clear();
        return;
    }
    // The load began with its earliest request: outcomes can arrive together
    // although one of them took longer than the others.
    const qint64 now = m_clock.elapsed();
    const qint64 began = now - outcome.elapsedMs;
    if (!m_load.open) {
        m_load = SLoad{};
        m_load.open = true;
        m_load.startedMs = began;
    }
    m_load.startedMs = std::min(m_load.startedMs, began);
    if (outcome.kind == SOutcome::Kind::kWalk) {
        m_load.walked = true;
        m_load.rows += outcome.count;
    } else if (outcome.Ok()) {
        m_load.values += outcome.count;
    }
    if (!outcome.Ok() && m_load.failure.isEmpty())
        m_load.failure = OutcomeText(outcome);
    if (!m_load.failure.isEmpty()) {
        m_strLoad = m_load.failure;
        return;
    }
    const auto plural = [](int n, const char* one, const char* many) {
        return QString::number(n) + u' ' + QLatin1String(n == 1 ? one : many);
    };
    QStringList parts;
    if (m_load.walked || m_load.values == 0)
        parts << plural(m_load.rows, "row", "rows");
    if (m_load.values > 0)
        parts << plural(m_load.values, "value", "values");
    SOutcome total;
    total.elapsedMs = now - m_load.startedMs;
    const QString took = OutcomeText(total); // "Loaded 0 values in N ms"
    m_strLoad = QStringLiteral("Loaded ") + parts.join(QStringLiteral(" and ")) +
                took.mid(took.lastIndexOf(QStringLiteral(" in ")));
}

void CPageBase::RenderOutcome() {
    // The last write (or the page's words about its action), then the load after it.
    QString text = m_strWrite;
    if (!m_strLoad.isEmpty()) {
        if (!text.isEmpty())
            text += text.endsWith(u'.') ? QStringLiteral(" ") : QStringLiteral(". ");
        text += m_strLoad;
    }
    m_pOutcomeLine->setText(text);
    m_pOutcomeLine->setToolTip(text);
    ++m_nOutcomeSerial;
    emit OutcomeShown(text);
}

void CPageBase::ShowOutcome(const QString& text) {
    // Behind the outcomes of the requests before it, so it is not overwritten by them.
    m_pChannel->Post(SSnmpReport{kOutcomeReport, {}, text});
}

QString CPageBase::OutcomeLine() const { return m_pOutcomeLine->text(); }

void CPageBase::PlaceOutcomeLine() {
    // At the foot of whatever layout the page built.
    QLayout* top = layout();
    if (auto* box = qobject_cast<QBoxLayout*>(top))
        box->addWidget(m_pOutcomeLine);
    else if (auto* grid = qobject_cast<QGridLayout*>(top))
        grid->addWidget(m_pOutcomeLine, grid->rowCount(), 0, 1, std::max(1, grid->columnCount()));
    else if (auto* form = qobject_cast<QFormLayout*>(top))
        form->addRow(m_pOutcomeLine);
    else {
        // A page placed by hand: the line goes below its widgets.
        const int height = m_pOutcomeLine->sizeHint().height();
        const QRect area = childrenRect();
        m_pOutcomeLine->setGeometry(8, area.bottom() + 6, std::max(area.width(), 300), height);
        resize(std::max(width(), area.right() + 8), area.bottom() + 12 + height);
    }
    m_pOutcomeLine->show();
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

QString CPageBase::MemoryKey() const {
    const QVariant command = property(kCommandIdProperty);
    return command.isValid() ? QStringLiteral("page-%1").arg(command.toInt())
                             : QString::fromLatin1(metaObject()->className());
}

NamedLists CPageBase::MemoryLists() const {
    NamedLists lists;
    for (CListControl* list : findChildren<CListControl*>()) {
        const QVariant id = list->property(kControlIdProperty);
        if (id.isValid())
            lists.emplace_back(QStringLiteral("list%1").arg(id.toInt()), list);
    }
    return lists;
}

void CPageBase::done(int result) {
    if (m_bInitialised && isVisible())
        SaveWindowLooks(*this, MemoryKey(), MemoryLists());
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
    if (!m_bInitialised) {
        PlaceOutcomeLine();
        RestoreWindowLooks(*this, MemoryKey(), MemoryLists());
        // What a copy or an export came to goes on the outcome line.
        for (CListControl* list : findChildren<CListControl*>())
            connect(list, &CListControl::Reported, this, &CPageBase::ShowOutcome);
    }
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
    if (m_pOwner)
        m_pOwner->WatchSession(*m_sessions.back().session);
    return *m_sessions.back().session;
}

int CFeatureBackEnd::SetOwner(CPageBase* owner) {
    if (!owner)
        return 0;
    m_pOwner = owner;
    for (SNamedSession& named : m_sessions)
        owner->WatchSession(*named.session);
    return 1;
}

bool CFeatureBackEnd::IsBusy() const {
    for (const SNamedSession& named : m_sessions)
        if (named.session->IsBusy())
            return true;
    return false;
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
