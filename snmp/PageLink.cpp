#include "PageLink.h"

#include <QElapsedTimer>
#include <QMetaObject>
#include <QTimer>

const QString kFinished = QStringLiteral("Finished");
const QString kWriteFinished = QStringLiteral("WriteFinished");

std::vector<uint32_t> SSnmpRow::IndexArcs() const {
    // By hand rather than split(): called for every row of big tables. An arc
    // that is not a 32-bit decimal reads as 0, as QString::toUInt gives it.
    std::vector<uint32_t> arcs;
    uint64_t value = 0;
    bool inArc = false, bad = false;
    const auto close = [&] {
        if (inArc)
            arcs.push_back(bad ? 0 : uint32_t(value));
        value = 0;
        inArc = bad = false;
    };
    for (QChar c : suffix) {
        if (c == u'.') {
            close();
            continue;
        }
        inArc = true;
        if (c < u'0' || c > u'9') {
            bad = true;
            continue;
        }
        value = value * 10 + (c.unicode() - u'0');
        if (value > UINT32_MAX) {
            bad = true;
            value = 0;
        }
    }
    close();
    return arcs;
}

SSnmpRow RowFromAnswer(const CSnmp& answer, QString suffix) {
    SSnmpRow row;
    const unsigned count = answer.getValuesCount();
    row.cells.reserve(count);
    for (unsigned i = 0; i < count; ++i) {
        SSnmpCell cell;
        answer.getValue(i, cell.type, cell.value);
        answer.getOid(i, cell.oid);
        row.cells.push_back(std::move(cell));
    }
    row.suffix = std::move(suffix);
    return row;
}

std::shared_ptr<CNotifyChannel> CNotifyChannel::Create(QObject* receiver, Handler handler) {
    return std::shared_ptr<CNotifyChannel>(new CNotifyChannel(receiver, std::move(handler)));
}

CNotifyChannel::CNotifyChannel(QObject* receiver, Handler handler)
    : m_pReceiver(receiver), m_handler(std::move(handler)) {}

CNotifyChannel::~CNotifyChannel() = default;

void CNotifyChannel::Post(SSnmpReport report) {
    std::lock_guard lock(m_mutex);
    if (!m_bOpen)
        return;
    const bool end = !report.marker.isEmpty();
    m_queue.push_back(std::move(report));
    // A delayed flush is overtaken by an end marker: the page learns at once
    // that the walk is over.
    if (m_bFlushPending && !(end && m_bFlushDelayed))
        return;
    const auto since = std::chrono::steady_clock::now() - m_lastFlush;
    const auto wait = std::chrono::milliseconds(kPaceMs) - since;
    ScheduleFlush(end || wait <= wait.zero()
                      ? 0
                      : int(std::chrono::ceil<std::chrono::milliseconds>(wait).count()));
}

void CNotifyChannel::ScheduleFlush(int delayMs) {
    m_bFlushPending = true;
    m_bFlushDelayed = delayMs > 0;
    // The receiver lives while the channel is open (Shut comes first), and
    // Qt drops events and timers left for a receiver that is gone. A flush
    // that finds nothing queued (overtaken) does nothing.
    QMetaObject::invokeMethod(
        m_pReceiver,
        [weak = weak_from_this(), delayMs] {
            auto self = weak.lock();
            if (!self)
                return;
            if (delayMs <= 0) {
                self->Flush();
                return;
            }
            QTimer::singleShot(delayMs, self->m_pReceiver, [weak] {
                if (auto later = weak.lock())
                    later->Flush();
            });
        },
        Qt::QueuedConnection);
}

void CNotifyChannel::Flush() {
    QElapsedTimer timer;
    timer.start();
    // Batches of a bounded size keep the receiver's thread responsive.
    constexpr size_t kBatch = 512;
    constexpr int kSliceMs = 15;
    while (true) {
        std::vector<SSnmpReport> batch;
        {
            std::lock_guard lock(m_mutex);
            if (!m_bOpen)
                return;
            const size_t n = std::min(kBatch, m_queue.size() - m_nHead);
            if (n == 0) {
                m_queue.clear();
                m_nHead = 0;
                m_bFlushPending = false;
                m_bFlushDelayed = false;
                return;
            }
            batch.assign(std::make_move_iterator(m_queue.begin() + static_cast<long>(m_nHead)),
                         std::make_move_iterator(m_queue.begin() + static_cast<long>(m_nHead + n)));
            m_nHead += n;
            m_lastFlush = std::chrono::steady_clock::now();
        }
        m_handler(batch);
        if (timer.elapsed() >= kSliceMs) {
            // Let paint and input events in, then go on.
            std::lock_guard lock(m_mutex);
            if (m_bOpen)
                ScheduleFlush(0);
            return;
        }
    }
}

void CNotifyChannel::Shut() {
    std::lock_guard lock(m_mutex);
    m_bOpen = false;
    m_queue.clear();
    m_nHead = 0;
}

bool CNotifyChannel::IsOpen() const {
    std::lock_guard lock(m_mutex);
    return m_bOpen;
}

std::optional<SSnmpRow> ReadObjects(CCommonSNMP& session, const QStringList& oids,
                                    unsigned long timeoutMs) {
    if (!session.Open(CCommonSNMP::kGet))
        return std::nullopt;
    for (const QString& oid : oids)
        session.AddVarBind(oid, SnmpType::kNull);
    std::unique_ptr<CSnmp> answer;
    if (session.Send(answer, timeoutMs) != 0 || !answer ||
        answer->getValuesCount() < static_cast<unsigned>(oids.size()))
        return std::nullopt;
    return RowFromAnswer(*answer);
}

int WriteObjects(CCommonSNMP& session, const std::vector<SSetVar>& vars, unsigned long timeoutMs) {
    if (!session.Open(CCommonSNMP::kSet))
        return -1;
    for (const SSetVar& var : vars) {
        const int added = var.type == SnmpType::kOctetString
                              ? session.AddVarBindBytes(var.oid, var.type, var.value)
                              : session.AddVarBind(var.oid, var.type, var.value);
        if (added != 0)
            return added;
    }
    std::unique_ptr<CSnmp> answer;
    return session.Send(answer, timeoutMs);
}

namespace {

struct SWalkContext {
    CCommonSNMP* session;
    std::shared_ptr<CNotifyChannel> channel;
    SWalkSpec walk;
};

void Finish(SWalkContext& ctx) {
    ctx.channel->Post(SSnmpReport{ctx.walk.finishedCode, {}, kFinished});
    ctx.session->SetDone();
}

void Step(const std::shared_ptr<SWalkContext>& ctx);

void OnRow(const std::shared_ptr<SWalkContext>& ctx, std::unique_ptr<CSnmp> answer, int requestId,
           int status) {
    // A stale answer (closed or reopened session) touches nothing.
    if (!ctx->session->TakeRequest(requestId))
        return;
    const unsigned minValues = ctx->walk.minValues > 0 ? ctx->walk.minValues
                                                       : static_cast<unsigned>(ctx->walk.columns.size());
    if (status != 0 || !answer || answer->getValuesCount() < minValues) {
        Finish(*ctx);
        return;
    }
    QString suffix;
    if (ctx->walk.withSuffix)
        ctx->session->GetSuffix(0, answer.get(), suffix);
    ctx->channel->Post(SSnmpReport{ctx->walk.rowCode, RowFromAnswer(*answer, std::move(suffix)), {}});
    Step(ctx);
}

void Step(const std::shared_ptr<SWalkContext>& ctx) {
    const int started = ctx->session->GetNext(
        [ctx](std::unique_ptr<CSnmp> answer, int requestId, void*, int status) {
            OnRow(ctx, std::move(answer), requestId, status);
        },
        nullptr, ctx->walk.timeoutMs);
    if (started != 0)
        Finish(*ctx); // not ready or closed: the walk ends here
}

} // namespace

void StartWalk(CCommonSNMP& session, const std::shared_ptr<CNotifyChannel>& channel,
               const SWalkSpec& walk) {
    auto ctx = std::make_shared<SWalkContext>(SWalkContext{&session, channel, walk});
    if (!session.Open(walk.kind)) {
        Finish(*ctx);
        return;
    }
    for (const QString& column : walk.columns)
        session.AddVarBind(column, SnmpType::kNull);
    Step(ctx);
}
