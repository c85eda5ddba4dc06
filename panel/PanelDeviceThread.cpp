#include "PanelDeviceThread.h"

#include "platform/Trace.h"
#include "snmp/CommonSNMP.h"

#include <QStringList>

int GetScalar(CCommonSNMP& session, const char* oid, unsigned long timeoutMs, QString& value) {
    if (!session.Open(CCommonSNMP::kGet))
        return SnmpResult::kNotReady;
    session.AddVarBind(QString::fromLatin1(oid), SnmpType::kNull);
    std::unique_ptr<CSnmp> answer;
    if (const int status = session.Send(answer, timeoutMs); status != SnmpResult::kOk)
        return status;
    if (!answer)
        return SnmpResult::kProtocol;
    for (unsigned i = 0; i < answer->getValuesCount(); ++i) {
        if (answer->oidAt(i).contains(QLatin1String(PollOid::kProxyMarker)))
            continue;
        value = QString::fromLatin1(answer->valueAt(i));
        return SnmpResult::kOk;
    }
    return SnmpResult::kProtocol;
}

bool SwitchAnswered(int status) {
    return status == SnmpResult::kErrorStatus || status == SnmpResult::kAuthFailed ||
           status == SnmpResult::kProtocol;
}

int WalkColumns(CCommonSNMP& session, const std::vector<const char*>& columns,
                unsigned long timeoutMs, const std::atomic<bool>& stop,
                const std::function<void(const QString& index, const QStringList& values)>& row) {
    if (!session.Open(CCommonSNMP::kGetNext))
        return SnmpResult::kNotReady;
    for (const char* column : columns)
        session.AddVarBind(QString::fromLatin1(column), SnmpType::kNull);
    int status = SnmpResult::kOk;
    while (!stop.load()) {
        std::unique_ptr<CSnmp> answer;
        status = session.GetNextSync(answer, timeoutMs);
        if (status != SnmpResult::kOk || !answer)
            break;
        if (answer->oidAt(0).contains(QLatin1String(PollOid::kProxyMarker)))
            continue;
        QString index;
        session.GetSuffix(0, answer.get(), index);
        QStringList values;
        for (unsigned i = 0; i < answer->getValuesCount(); ++i)
            values << QString::fromLatin1(answer->valueAt(i));
        row(index, values);
    }
    if (stop.load())
        status = SnmpResult::kAborted;
    TraceF("call back get status = %d", status);
    return status;
}

CPanelDeviceThread::CPanelDeviceThread(CPanelState& state, SPollSessions sessions,
                                       const std::atomic<int32_t>& pageOpen, SPollConfig config)
    : m_state(state), m_sessions(sessions), m_nPageOpen(pageOpen), m_config(std::move(config)) {}

CPanelDeviceThread::~CPanelDeviceThread() {
    RequestStop();
    if (m_thread.joinable())
        m_thread.join();
}

void CPanelDeviceThread::Start(std::function<void()> onPass) {
    if (m_thread.joinable())
        return;
    m_onPass = std::move(onPass);
    m_bStop.store(false);
    m_bEnded = false;
    m_thread = std::thread([this] { Loop(); });
}

void CPanelDeviceThread::RequestStop() {
    {
        std::lock_guard lock(m_mutex);
        m_bStop.store(true);
    }
    m_wake.notify_all();
}

bool CPanelDeviceThread::WaitEnded(std::chrono::milliseconds limit) {
    if (!m_thread.joinable())
        return true;
    std::unique_lock lock(m_mutex);
    if (!m_wake.wait_for(lock, limit, [this] { return m_bEnded; }))
        return false;
    lock.unlock();
    m_thread.join();
    return true;
}

int CPanelDeviceThread::IntervalUnitMs() const {
    return m_config.strSnmpVersion == QLatin1String("1") ? 500 : 1000;
}

bool CPanelDeviceThread::Pause(std::chrono::milliseconds duration) {
    std::unique_lock lock(m_mutex);
    return !m_wake.wait_for(lock, duration, [this] { return m_bStop.load(); });
}

void CPanelDeviceThread::Loop() {
    const std::chrono::milliseconds unit(IntervalUnitMs());
    while (Pause(std::chrono::milliseconds(500))) {
        int pause = kPauseUnits;
        if (m_nPageOpen.load() == 0) {
            pause = RunPass();
            if (m_onPass && !StopRequested())
                m_onPass();
        }
        if (!Pause(unit * pause))
            break;
    }
    {
        std::lock_guard lock(m_mutex);
        m_bEnded = true;
    }
    m_wake.notify_all();
}

int CPanelDeviceThread::RunPass() {
    int pause = kPauseUnits;
    // A switch that does not answer its cheapest question gets no further
    // requests this pass: each would only wait out its own time-out.
    if (ReachabilityStep()) {
        if (m_config.bHasFan && !StopRequested())
            FanStep();
        if (m_config.nPoePorts > 0) {
            if (!StopRequested() && PoePath() == -1)
                pause = kShortPauseUnits;
        } else if (!StopRequested()) {
            LinkStatusWalk();
        }
    }
    m_state.CountPass();
    return pause;
}

bool CPanelDeviceThread::ReachabilityStep() {
    QString value;
    const int status = m_sessions.pReach ? GetScalar(*m_sessions.pReach, PollOid::kReachability,
                                                     PollTimeout::kReachabilityMs, value)
                                         : SnmpResult::kNotReady;
    if (status != SnmpResult::kOk) {
        // The lamps go dark either way; the status line tells silence from
        // an answer the panel cannot use.
        m_state.SetReachable(false, SwitchAnswered(status));
        m_state.ResetPanel();
        return false;
    }
    m_state.SetReachable(true);
    return true;
}

void CPanelDeviceThread::FanStep() {
    Trace(QStringLiteral("======GetGetFanStatus======"));
    QString value;
    if (!m_sessions.pFan ||
        GetScalar(*m_sessions.pFan, PollOid::kFan, PollTimeout::kFanMs, value) != SnmpResult::kOk)
        return;
    TraceF("IStatus is zero %s", qPrintable(value));
    m_state.SetFanValue(value);
}

int CPanelDeviceThread::PoePath() {
    Trace(QStringLiteral("Get10PPOEOrLinkStatus"));
    int result = 0;
    QString refused;
    QString left;
    if (m_sessions.pPoe &&
        GetScalar(*m_sessions.pPoe, PollOid::kPoeRefused, PollTimeout::kPoeMs, refused) ==
            SnmpResult::kOk &&
        !StopRequested() &&
        GetScalar(*m_sessions.pPoe, PollOid::kPoePowerLeft, PollTimeout::kPoeMs, left) ==
            SnmpResult::kOk) {
        // The budget is used up when the switch has refused a powered device
        // for lack of it (22.8 is 1) or has no power left at all.
        bool ok = false;
        const double watts = left.trimmed().toDouble(&ok);
        const bool max = refused == QLatin1String("1") || (ok && watts <= 0.0);
        m_state.SetPowMax(max);
        Trace(max ? QStringLiteral("pThis->m_BIsPowMax = TRUE")
                  : QStringLiteral("pThis->m_BIsPowMax = FALSE"));
    } else {
        // Without the budget only the MAX lamp is unknown (shown off); the
        // ports' PoE states come from their own table all the same.
        m_state.SetPowMax(false);
        result = -1;
    }
    if (!StopRequested()) {
        Trace(QStringLiteral("--1----GetPOEPortStatus---------"));
        PoeStatusWalk();
    }
    if (!StopRequested())
        LinkStatusWalk();
    return result;
}

bool CPanelDeviceThread::LinkStatusWalk() {
    if (!m_sessions.pDevStat)
        return false;
    std::vector<SPortRow> rows;
    const int status = WalkColumns(*m_sessions.pDevStat,
                                   {PollOid::kIfType, PollOid::kIfSpeed, PollOid::kIfAdminStatus,
                                    PollOid::kIfOperStatus, PollOid::kPortMedia},
                                   PollTimeout::kLinkWalkMs, m_bStop,
                                   [&rows](const QString& index, const QStringList& values) {
                                       if (values.size() < 5)
                                           return;
                                       bool ok = false;
                                       SPortRow row;
                                       row.port = index.toInt(&ok);
                                       if (!ok)
                                           return;
                                       row.speed = values[1];
                                       row.admin = values[2];
                                       row.oper = values[3];
                                       row.media = values[4];
                                       rows.push_back(row);
                                   });
    if (status != SnmpResult::kEndOfTable)
        return false;
    m_state.ApplyLinkRows(rows);
    return true;
}

bool CPanelDeviceThread::PoeStatusWalk() {
    if (!m_sessions.pPoeStat)
        return false;
    std::vector<SPoeRow> rows;
    const int status =
        WalkColumns(*m_sessions.pPoeStat, {PollOid::kPoePortStatus}, PollTimeout::kPoeMs, m_bStop,
                    [&rows](const QString& index, const QStringList& values) {
                        // The row index is the unit (1) and the port number.
                        bool ok = false;
                        const int port = index.section(u'.', -1).toInt(&ok);
                        if (ok && !values.isEmpty())
                            rows.push_back({port, values[0]});
                    });
    if (status != SnmpResult::kEndOfTable)
        return false;
    m_state.ApplyPoeRows(rows);
    return true;
}
