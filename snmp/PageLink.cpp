#include "PageLink.h"

#include <QElapsedTimer>
#include <QEventLoop>
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

namespace {

void FillError(SOutcome& outcome, const CSnmp* answer) {
    if (outcome.result != SnmpResult::kErrorStatus || !answer)
        return;
    unsigned long index = 0;
    answer->getErrorInfo(outcome.errorStatus, index);
    if (index >= 1 && index <= answer->getValuesCount())
        outcome.errorOid = answer->oidAt(static_cast<unsigned>(index - 1));
}

SOutcome MakeOutcome(SOutcome::Kind kind, int result, const CSnmp* answer, int count,
                     const QElapsedTimer& clock, unsigned long timeoutMs) {
    SOutcome outcome;
    outcome.kind = kind;
    outcome.result = result;
    outcome.count = count;
    outcome.elapsedMs = clock.elapsed();
    outcome.timeoutMs = static_cast<int>(timeoutMs);
    FillError(outcome, answer);
    return outcome;
}

// The write without its outcome; answer keeps the switch's reply.
int SendWrite(CCommonSNMP& session, const std::vector<SSetVar>& vars, unsigned long timeoutMs,
              std::unique_ptr<CSnmp>& answer) {
    if (!session.Open(CCommonSNMP::kSet))
        return SnmpResult::kNotReady;
    for (const SSetVar& var : vars) {
        const int added = var.type == SnmpType::kOctetString
                              ? session.AddVarBindBytes(var.oid, var.type, var.value)
                              : session.AddVarBind(var.oid, var.type, var.value);
        if (added != 0)
            return added == -1 ? SnmpResult::kNotReady : SnmpResult::kBadArgument;
    }
    return session.Send(answer, timeoutMs);
}

} // namespace

std::optional<SSnmpRow> ReadObjects(CCommonSNMP& session, const QStringList& oids,
                                    unsigned long timeoutMs) {
    QElapsedTimer clock;
    clock.start();
    int result = SnmpResult::kNotReady;
    std::unique_ptr<CSnmp> answer;
    if (session.Open(CCommonSNMP::kGet)) {
        for (const QString& oid : oids)
            session.AddVarBind(oid, SnmpType::kNull);
        result = session.Send(answer, timeoutMs);
        if (result == 0 && (!answer || answer->getValuesCount() < static_cast<unsigned>(oids.size())))
            result = SnmpResult::kProtocol;
    }
    session.ReportOutcome(
        MakeOutcome(SOutcome::Kind::kRead, result, answer.get(), int(oids.size()), clock, timeoutMs));
    if (result != 0)
        return std::nullopt;
    return RowFromAnswer(*answer);
}

int WriteObjects(CCommonSNMP& session, const std::vector<SSetVar>& vars, unsigned long timeoutMs) {
    QElapsedTimer clock;
    clock.start();
    std::unique_ptr<CSnmp> answer;
    const int result = SendWrite(session, vars, timeoutMs, answer);
    session.ReportOutcome(
        MakeOutcome(SOutcome::Kind::kWrite, result, answer.get(), int(vars.size()), clock, timeoutMs));
    return result;
}

void PageWait(int ms) {
    if (ms <= 0)
        return;
    // Paints go on, the operator's input waits: nothing can start a second
    // action in the middle of this one.
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec(QEventLoop::ExcludeUserInputEvents);
}

int WriteSequence(CCommonSNMP& session, const std::vector<SWriteStep>& steps, const QString& context) {
    QElapsedTimer clock;
    clock.start();
    int count = 0;
    for (size_t i = 0; i < steps.size(); ++i) {
        const SWriteStep& step = steps[i];
        std::unique_ptr<CSnmp> answer;
        const int result = SendWrite(session, step.vars, step.timeoutMs, answer);
        if (result != 0) {
            SOutcome outcome = MakeOutcome(SOutcome::Kind::kWrite, result, answer.get(), count,
                                           clock, step.timeoutMs);
            outcome.step = int(i) + 1;
            outcome.steps = int(steps.size());
            outcome.stepName = step.name;
            outcome.context = context;
            session.ReportOutcome(outcome);
            return int(i);
        }
        count += int(step.vars.size());
        PageWait(step.pauseAfterMs);
    }
    SOutcome outcome = MakeOutcome(SOutcome::Kind::kWrite, 0, nullptr, count, clock, 0);
    outcome.context = context;
    session.ReportOutcome(outcome);
    return -1;
}

std::optional<std::vector<SSnmpRow>> WalkTable(CCommonSNMP& session, const QStringList& columns,
                                               size_t maxRows) {
    QElapsedTimer clock;
    clock.start();
    std::vector<SSnmpRow> rows;
    int result = SnmpResult::kNotReady;
    if (session.Open(CCommonSNMP::kGetNext)) {
        for (const QString& column : columns)
            session.AddVarBind(column, SnmpType::kNull);
        // A bound on the rows keeps a misbehaving agent from holding the page.
        result = SnmpResult::kEndOfTable;
        while (rows.size() < maxRows) {
            std::unique_ptr<CSnmp> answer;
            const int status = session.GetNextSync(answer);
            if (status != 0) {
                result = status;
                break;
            }
            if (!answer || answer->getValuesCount() < static_cast<unsigned>(columns.size())) {
                result = SnmpResult::kProtocol;
                break;
            }
            QString suffix;
            session.GetSuffix(0, answer.get(), suffix);
            rows.push_back(RowFromAnswer(*answer, std::move(suffix)));
        }
        if (result == SnmpResult::kEndOfTable && rows.size() >= maxRows)
            result = SnmpResult::kRowLimit; // cut, not ended: no table of the switch is this long
    }
    session.ReportOutcome(
        MakeOutcome(SOutcome::Kind::kWalk, result, nullptr, int(rows.size()), clock, 0));
    if (result != SnmpResult::kEndOfTable)
        return std::nullopt;
    return rows;
}

ReadResult ReadObject(CCommonSNMP& session, const QString& oid, SSnmpCell& cell) {
    QElapsedTimer clock;
    clock.start();
    cell = SSnmpCell{};
    std::unique_ptr<CSnmp> answer;
    int result = SnmpResult::kNotReady;
    if (session.Open(CCommonSNMP::kGet) && session.AddVarBind(oid, SnmpType::kNull) == 0)
        result = session.Send(answer);
    if (result == 0 && (!answer || answer->getValuesCount() < 1))
        result = SnmpResult::kProtocol;
    long error = 0;
    unsigned long index = 0;
    const bool absent = result == SnmpResult::kErrorStatus && answer &&
                        answer->getErrorInfo(error, index) == 0 &&
                        error == SnmpErrorStatus::kNoSuchName;
    // An object this model lacks is no failure: nothing was loaded.
    session.ReportOutcome(MakeOutcome(SOutcome::Kind::kRead, absent ? 0 : result, answer.get(),
                                      result == 0 ? 1 : 0, clock, 0));
    if (result == 0) {
        cell = RowFromAnswer(*answer).cells.front();
        return ReadResult::kValue;
    }
    return absent ? ReadResult::kAbsent : ReadResult::kFailed;
}

QString CellOid(const QString& column, int index) {
    return column + u'.' + QString::number(index);
}

int RowNumber(const SSnmpRow& row) {
    const std::vector<uint32_t> arcs = row.IndexArcs();
    return arcs.empty() ? 0 : static_cast<int>(arcs.front());
}

namespace {

struct SWalkContext {
    CCommonSNMP* session;
    std::shared_ptr<CNotifyChannel> channel;
    SWalkSpec walk;
    QElapsedTimer clock;
    int rows = 0;
};

void Finish(SWalkContext& ctx, int result) {
    ctx.channel->Post(SSnmpReport{ctx.walk.finishedCode, {}, kFinished});
    // A get (kind 0) reads values, a walk rows; both end well at the table's end.
    SOutcome outcome;
    outcome.kind = ctx.walk.kind == CCommonSNMP::kGet ? SOutcome::Kind::kRead : SOutcome::Kind::kWalk;
    outcome.result = result == SnmpResult::kEndOfTable && outcome.kind == SOutcome::Kind::kRead
                         ? (ctx.rows > 0 ? SnmpResult::kOk : SnmpResult::kProtocol)
                         : result;
    outcome.count = outcome.kind == SOutcome::Kind::kRead ? ctx.rows * int(ctx.walk.columns.size())
                                                          : ctx.rows;
    outcome.elapsedMs = ctx.clock.elapsed();
    outcome.timeoutMs = int(ctx.walk.timeoutMs);
    ctx.session->ReportOutcome(outcome);
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
        Finish(*ctx, status != 0 ? status : SnmpResult::kProtocol);
        return;
    }
    ++ctx->rows;
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
        Finish(*ctx, SnmpResult::kNotReady); // not ready or closed: the walk ends here
}

} // namespace

void StartWalk(CCommonSNMP& session, const std::shared_ptr<CNotifyChannel>& channel,
               const SWalkSpec& walk) {
    auto ctx = std::make_shared<SWalkContext>(SWalkContext{&session, channel, walk, {}, 0});
    ctx->clock.start();
    if (!session.Open(walk.kind)) {
        Finish(*ctx, SnmpResult::kNotReady);
        return;
    }
    for (const QString& column : walk.columns)
        session.AddVarBind(column, SnmpType::kNull);
    Step(ctx);
}
