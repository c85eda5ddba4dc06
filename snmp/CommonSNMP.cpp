#include "CommonSNMP.h"

#include "device/LaunchBytes.h"

#include "device/LaunchSettings.h"
#include "platform/Trace.h"
#include "snmp/engine/SnmpWorker.h"

#include <QCoreApplication>
#include <QEvent>
#include <QPointer>
#include <QThread>

#include <algorithm>
#include <atomic>
#include <chrono>

namespace {

// Numbers the walk steps of user-based sessions; the first id is 1.
std::atomic<int> g_nUserRequestCounter{0};

int DecimalOr(const QString& text, int fallback) {
    bool ok = false;
    const int value = text.trimmed().toInt(&ok);
    return ok ? value : fallback;
}

} // namespace

// One handing-over of work to a receiver's thread (Deliver).
class CDeliveryTicket {
public:
    enum State { kWaiting, kRunning, kDone, kCancelled };

    bool Begin() {
        std::lock_guard lock(m_mutex);
        if (m_state != kWaiting)
            return false;
        m_state = kRunning;
        return true;
    }
    void End(State to) {
        std::lock_guard lock(m_mutex);
        if (to == kDone || m_state == kWaiting) {
            m_state = to;
            m_changed.notify_all();
        }
    }
    bool Wait() {
        std::unique_lock lock(m_mutex);
        m_changed.wait(lock, [this] { return m_state == kDone || m_state == kCancelled; });
        return m_state == kDone;
    }

private:
    std::mutex m_mutex;
    std::condition_variable m_changed;
    State m_state = kWaiting;
};

namespace {

// Orders what a delivery's caller wrote before posting it before what the
// receiver's thread reads: Qt's event queue does it too, but out of sight of
// ThreadSanitizer, whose runs must stay clean.
std::mutex g_courierMutex;

void SeeCallersWrites() {
    std::lock_guard lock(g_courierMutex);
}

// One hand-over: runs its work unless cancelled or the receiver is gone;
// dropped unrun (its courier deleted), it releases the caller.
class CDeliveryEvent : public QEvent {
public:
    CDeliveryEvent(std::shared_ptr<CDeliveryTicket> ticket, QObject* receiver,
                   std::function<void()> work)
        : QEvent(Type()), m_pTicket(std::move(ticket)), m_pReceiver(receiver),
          m_work(std::move(work)) {}
    ~CDeliveryEvent() override {
        SeeCallersWrites();
        m_pTicket->End(CDeliveryTicket::kCancelled);
    }
    static QEvent::Type Type() {
        static const int type = QEvent::registerEventType();
        return static_cast<QEvent::Type>(type);
    }
    void Run() {
        if (m_pReceiver && m_pTicket->Begin()) {
            m_work();
            m_pTicket->End(CDeliveryTicket::kDone);
        }
    }

private:
    std::shared_ptr<CDeliveryTicket> m_pTicket;
    QPointer<QObject> m_pReceiver;
    std::function<void()> m_work;
};

} // namespace

// Lives in the receivers' thread and runs the hand-overs posted to it.
class CCourier : public QObject {
protected:
    bool event(QEvent* e) override {
        SeeCallersWrites(); // before the event is read
        if (e->type() != CDeliveryEvent::Type())
            return QObject::event(e);
        static_cast<CDeliveryEvent*>(e)->Run();
        return true;
    }
};

void CCommonSNMP::CourierDeleter::operator()(CCourier* courier) const {
    if (courier->thread() == QThread::currentThread())
        delete courier;
    else
        courier->deleteLater();
}

CCommonSNMP::CCommonSNMP()
    : m_strHost(g_strDeviceIp.trimmed().toStdString()),
      m_strReadCommunity(EncodeLaunchBytes(g_strReadCommunity)),
      m_strWriteCommunity(EncodeLaunchBytes(g_strWriteCommunity)), m_strSecurityLevel(g_strSecurityLevel),
      m_strAuthProtocol(g_strAuthProtocol), m_strPrivProtocol(g_strPrivProtocol),
      m_strUserName(EncodeLaunchBytes(g_strV3UserName)), m_strAuthPassword(EncodeLaunchBytes(g_strAuthPassword)),
      m_strPrivPassword(EncodeLaunchBytes(g_strPrivPassword)), m_pAbort(std::make_shared<CSnmpAbort>()),
      m_pWorker(std::make_unique<CSnmpWorker>()) {
    const int version = DecimalOr(g_strSnmpVersion, 0);
    m_nVersion = (version >= 1 && version <= 3) ? version : 0;
    m_nPort = DecimalOr(g_strSnmpPort, 0);
    m_nTimeoutMs = std::max(1, DecimalOr(g_strSnmpTimeout, 3000));
}

CCommonSNMP::~CCommonSNMP() {
    StopWalk();
}

bool CCommonSNMP::IsReadyLocked() const {
    return m_pRequest && m_pTable && m_pRequest->getValuesCount() != 0;
}

bool CCommonSNMP::IsClosed() const {
    std::lock_guard lock(m_stateMutex);
    return m_bClosed;
}

bool CCommonSNMP::IsBusy() const {
    std::lock_guard lock(m_stateMutex);
    return m_nStepsInFlight > 0 || m_nCallbacksRunning > 0;
}

void CCommonSNMP::CancelWalk() {
    {
        std::lock_guard lock(m_stateMutex);
        m_bClosed = true;
        m_bWalkActive = false;
        m_pendingIds.clear();
        for (const std::shared_ptr<CDeliveryTicket>& ticket : m_tickets)
            ticket->End(CDeliveryTicket::kCancelled);
    }
    m_pAbort->raise();
}

void CCommonSNMP::StopWalk() {
    CancelWalk();
    // No lock is held while the threads end: their callbacks may still call
    // GetNext or GetSuffix, which take the lock and find the session closed.
    m_pWorker->Stop();
    std::unique_ptr<CSnmpTable> table;
    std::unique_ptr<CSnmp> request;
    {
        std::lock_guard lock(m_lock);
        table = std::move(m_pTable);
        request = std::move(m_pRequest);
    }
    table.reset(); // ends the engine's thread of community-based walks
    request.reset();
    std::lock_guard lock(m_stateMutex);
    m_nStepsInFlight = 0;
    m_nCallbacksRunning = 0;
}

void CCommonSNMP::ApplyUserCredentials(CSnmpV3& request) const {
    request.setMsgMaxSize(1024);
    request.setMsgSecurityModel(3);
    request.setUserName(m_strUserName.constData());
    // Codes are the last arcs of the standard USM protocol identifiers.
    const auto authenticate = [&] {
        static const std::pair<const char*, int> kAuth[] = {
            {"2", SnmpAuthArith::kMd5},    {"3", SnmpAuthArith::kSha},
            {"5", SnmpAuthArith::kSha256}, {"6", SnmpAuthArith::kSha384},
            {"7", SnmpAuthArith::kSha512},
        };
        for (const auto& [code, arith] : kAuth) {
            if (m_strAuthProtocol == QLatin1String(code)) {
                request.setAuthArith(arith);
                request.setAuthPwd(m_strAuthPassword.constData(),
                                   static_cast<unsigned long>(m_strAuthPassword.size()));
                return true;
            }
        }
        request.setMsgFlags(0);
        return false;
    };
    if (m_strSecurityLevel == QLatin1String("2")) {
        request.setMsgFlags(1);
        authenticate();
    } else if (m_strSecurityLevel == QLatin1String("3")) {
        request.setMsgFlags(3);
        if (!authenticate())
            return;
        const int priv = m_strPrivProtocol == QLatin1String("2")   ? SnmpPrivArith::kDes
                         : m_strPrivProtocol == QLatin1String("4") ? SnmpPrivArith::kAes128
                                                                   : -1;
        if (priv < 0) {
            request.setMsgFlags(1); // no usable privacy: authentication only
            return;
        }
        request.setPriArith(priv);
        request.setPriPwd(m_strPrivPassword.constData(),
                          static_cast<unsigned long>(m_strPrivPassword.size()));
    } else {
        request.setMsgFlags(0);
    }
}

bool CCommonSNMP::Open(int kind) {
    StopWalk();
    m_pAbort->clear();
    if (m_nVersion == 0 || m_nPort <= 0 || m_nPort > 65535)
        return false;
    if (kind != kGet && kind != kGetNext && kind != kSet)
        return false;

    std::unique_ptr<CSnmp> request;
    if (m_nVersion == 3) {
        auto v3 = std::make_unique<CSnmpV3>(0);
        ApplyUserCredentials(*v3);
        request = std::move(v3);
    } else {
        auto v1 = std::make_unique<CSnmpV1>(0, m_nVersion);
        v1->setCommunity(kind == kSet ? m_strWriteCommunity.constData()
                                      : m_strReadCommunity.constData());
        request = std::move(v1);
    }
    request->setType(kind);
    request->clearVarBindList();
    request->setPort(m_nPort);
    request->setAbort(m_pAbort);

    std::lock_guard lock(m_lock);
    m_pRequest = std::move(request);
    m_pTable = std::make_unique<CSnmpTable>(m_pRequest.get());
    std::lock_guard state(m_stateMutex);
    m_bClosed = false;
    return true;
}

int CCommonSNMP::AddVarBind(const QString& oid, int type, const char* value) {
    std::lock_guard lock(m_lock);
    if (!m_pRequest)
        return -1;
    return m_pRequest->addValue(oid.toLatin1().constData(), type, value);
}

int CCommonSNMP::AddVarBind(const QString& oid, int type, const QByteArray& value) {
    return AddVarBind(oid, type, value.constData());
}

int CCommonSNMP::AddVarBindBytes(const QString& oid, int type, const char* bytes,
                                 unsigned long length) {
    std::lock_guard lock(m_lock);
    if (!m_pRequest)
        return -1;
    return m_pRequest->addValue(oid.toLatin1().constData(), type, bytes, length);
}

int CCommonSNMP::AddVarBindBytes(const QString& oid, int type, const QByteArray& bytes) {
    return AddVarBindBytes(oid, type, bytes.constData(), static_cast<unsigned long>(bytes.size()));
}

int CCommonSNMP::Send(std::unique_ptr<CSnmp>& answer, unsigned long timeoutMs) {
    answer.reset();
    std::lock_guard lock(m_lock);
    if (!IsReadyLocked())
        return -1;
    return m_pRequest->send(m_strHost.c_str(), answer, timeoutMs ? timeoutMs : m_nTimeoutMs);
}

int CCommonSNMP::GetNextSync(std::unique_ptr<CSnmp>& answer, unsigned long timeoutMs) {
    answer.reset();
    std::lock_guard lock(m_lock);
    if (!IsReadyLocked())
        return -1;
    return m_pTable->getNext(m_strHost.c_str(), answer, timeoutMs ? timeoutMs : m_nTimeoutMs);
}

int CCommonSNMP::GetSuffix(int index, const CSnmp* answer, QString& suffix) {
    std::lock_guard lock(m_lock);
    if (!IsReadyLocked())
        return -1;
    return m_pTable->getSuffix(index, answer, suffix);
}

int CCommonSNMP::GetNext(SnmpWalkCallback callback, void* param, unsigned long timeoutMs) {
    if (!callback)
        return -1;
    std::lock_guard lock(m_lock);
    std::lock_guard state(m_stateMutex);
    if (!IsReadyLocked() || m_bClosed) {
        m_stateChanged.notify_all();
        return -1;
    }
    const unsigned long timeout = timeoutMs ? timeoutMs : static_cast<unsigned long>(m_nTimeoutMs);
    ++m_nStepsInFlight;
    m_bWalkActive = true;
    if (m_nVersion == 3) {
        const int id = ++g_nUserRequestCounter;
        m_pendingIds.push_back(id);
        m_pWorker->Post([this, callback = std::move(callback), param, timeout, id] {
            std::unique_ptr<CSnmp> answer;
            int status = SnmpResult::kNotReady;
            {
                std::lock_guard lock(m_lock);
                if (IsReadyLocked()) {
                    Trace(QStringLiteral("getNext begin"));
                    status = m_pTable->getNext(m_strHost.c_str(), answer, timeout);
                    Trace(QStringLiteral("getNext end"));
                }
            }
            if (status == SnmpResult::kOk)
                answer->setRequestID(id);
            RunStep(std::move(answer), id, status, callback, param);
        });
        return 0;
    }
    // The step may finish on the engine's thread before this returns; it
    // waits for m_stateMutex, so its id is pending by then. The id comes
    // from the table: the request's own id field is the packet's once the
    // step has sent.
    int id = 0;
    m_pTable->getNext(
        m_strHost.c_str(),
        [this, callback = std::move(callback)](std::unique_ptr<CSnmp> answer, int requestId,
                                               void* param, int status) {
            RunStep(std::move(answer), requestId, status, callback, param);
        },
        param, timeout, &id);
    if (s_pAfterStepPosted)
        s_pAfterStepPosted();
    m_pendingIds.push_back(id);
    return 0;
}

void CCommonSNMP::RunStep(std::unique_ptr<CSnmp> answer, int requestId, int status,
                          const SnmpWalkCallback& callback, void* param) {
    {
        std::lock_guard state(m_stateMutex);
        --m_nStepsInFlight;
        const bool wanted = !m_bClosed && std::find(m_pendingIds.begin(), m_pendingIds.end(),
                                                    requestId) != m_pendingIds.end();
        if (!wanted) {
            m_stateChanged.notify_all();
            return; // stale: the answer goes with it
        }
        m_bWalkActive = false;
        ++m_nCallbacksRunning;
    }
    callback(std::move(answer), requestId, param, status);
    std::lock_guard state(m_stateMutex);
    --m_nCallbacksRunning;
    m_stateChanged.notify_all();
    // Nothing of this session is touched after the lock goes: Close may
    // return and the owner destroy the session.
}

int CCommonSNMP::TakeRequest(int requestId) {
    std::lock_guard state(m_stateMutex);
    const auto it = std::find(m_pendingIds.begin(), m_pendingIds.end(), requestId);
    if (it == m_pendingIds.end())
        return 0;
    m_pendingIds.erase(it);
    return 1;
}

void CCommonSNMP::SetDone() {
    std::lock_guard state(m_stateMutex);
    m_bWalkActive = false;
    m_stateChanged.notify_all();
}

int CCommonSNMP::Close() {
    CancelWalk();
    const auto deadline =
        std::chrono::steady_clock::now() + std::chrono::milliseconds(m_nTimeoutMs + 1000);
    std::unique_lock state(m_stateMutex);
    while (m_nStepsInFlight > 0 || m_nCallbacksRunning > 0) {
        const auto left = deadline - std::chrono::steady_clock::now();
        if (left <= left.zero())
            return kWaitTimeout;
        // Short system-clock waits: a steady-clock wait is a call that
        // ThreadSanitizer does not follow here, and slices stay right when
        // the wall clock jumps.
        m_stateChanged.wait_until(state, std::chrono::system_clock::now() +
                                             std::min<std::chrono::steady_clock::duration>(
                                                 left, std::chrono::milliseconds(100)));
    }
    return 0;
}

bool CCommonSNMP::Deliver(QObject* receiver, std::function<void()> work) {
    if (!receiver || !work)
        return false;
    if (QThread::currentThread() == receiver->thread()) {
        if (IsClosed())
            return false;
        work();
        return true;
    }
    auto ticket = std::make_shared<CDeliveryTicket>();
    {
        std::lock_guard state(m_stateMutex);
        if (m_bClosed)
            return false;
        m_tickets.push_back(ticket);
    }
    auto* event = new CDeliveryEvent(ticket, receiver, std::move(work));
    SeeCallersWrites();
    {
        // Posted under the lock: the courier is not replaced meanwhile.
        std::lock_guard state(m_stateMutex);
        if (!m_pCourier || m_pCourier->thread() != receiver->thread()) {
            m_pCourier.reset(new CCourier);
            m_pCourier->moveToThread(receiver->thread());
        }
        QCoreApplication::postEvent(m_pCourier.get(), event);
    }
    const bool ran = ticket->Wait();
    std::lock_guard state(m_stateMutex);
    m_tickets.erase(std::find(m_tickets.begin(), m_tickets.end(), ticket));
    return ran;
}

void CCommonSNMP::SetOutcomeSink(OutcomeSink sink) {
    std::lock_guard lock(m_outcomeMutex);
    m_outcomeSink = std::move(sink);
}

void CCommonSNMP::ReportOutcome(SOutcome outcome) const {
    if (outcome.peer.isEmpty())
        outcome.peer = Peer();
    if (outcome.timeoutMs == 0)
        outcome.timeoutMs = m_nTimeoutMs;
    std::lock_guard lock(m_outcomeMutex);
    if (m_outcomeSink)
        m_outcomeSink(outcome);
}

QString CCommonSNMP::Peer() const {
    return QString::fromStdString(m_strHost) + u':' + QString::number(m_nPort);
}
