#pragma once

// The page side of SNMP: rows and reports as pages receive them, the channel
// that brings them onto the page's thread (the WM_SNMP_NOTIFY of the pages),
// and the request flows every page uses: synchronous read and write, and the
// asynchronous table walk.

#include "snmp/CommonSNMP.h"

#include <QByteArray>
#include <QObject>
#include <QString>
#include <QStringList>

#include <chrono>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <vector>

// One value of an answer: type code, value text or bytes, and its OID.
struct SSnmpCell {
    int type = SnmpType::kNull;
    QByteArray value;
    QString oid;
    QString Text() const { return QString::fromUtf8(value); }
};

// One row of a walk (or the answer of a get): one cell per requested column
// and the row index (the OID suffix after the first column).
struct SSnmpRow {
    std::vector<SSnmpCell> cells;
    QString suffix;

    int Count() const { return static_cast<int>(cells.size()); }
    QString Text(int i) const { return i >= 0 && i < Count() ? cells[i].Text() : QString(); }
    QByteArray Bytes(int i) const { return i >= 0 && i < Count() ? cells[i].value : QByteArray(); }
    // Sub-identifiers of the row index.
    std::vector<uint32_t> IndexArcs() const;
};

// What a back-end or a walk reports to its page: a code of its own and a row,
// or the end markers "Finished" and "WriteFinished".
// The page base also carries the outcomes of requests on this channel (code
// kOutcomeReport), so that an outcome follows the rows it speaks of; pages
// never see those reports.
struct SSnmpReport {
    SSnmpReport() = default;
    SSnmpReport(int c, SSnmpRow r = {}, QString m = {}, std::shared_ptr<const SOutcome> o = {})
        : code(c), row(std::move(r)), marker(std::move(m)), outcome(std::move(o)) {}
    int code = 0;
    SSnmpRow row;
    QString marker;
    std::shared_ptr<const SOutcome> outcome;
};
inline constexpr int kOutcomeReport = -0x4f55;

SSnmpRow RowFromAnswer(const CSnmp& answer, QString suffix = {});

// Brings reports from engine threads onto the receiver's thread, in order.
// Reports are taken in batches (never holding the receiver's thread for more
// than a few milliseconds at a time), so a walk of tens of thousands of rows
// neither waits for the user interface nor freezes it. Rows are handed over
// at most every kPaceMs: a list repaints once per batch, and a repaint per
// answer of the switch would cost the user interface more than the rows
// themselves. The first report after a pause and an end marker go at once.
// After Shut() (on the receiver's thread) the handler is never called again
// and posting is a no-op.
class CNotifyChannel : public std::enable_shared_from_this<CNotifyChannel> {
public:
    using Handler = std::function<void(std::vector<SSnmpReport>& batch)>;
    static constexpr int kPaceMs = 40;

    static std::shared_ptr<CNotifyChannel> Create(QObject* receiver, Handler handler);
    ~CNotifyChannel();

    void Post(SSnmpReport report); // any thread
    void Shut();                   // receiver's thread
    bool IsOpen() const;

private:
    CNotifyChannel(QObject* receiver, Handler handler);
    void Flush();
    void ScheduleFlush(int delayMs); // m_mutex held

    QObject* m_pReceiver;
    Handler m_handler;
    mutable std::mutex m_mutex;
    std::vector<SSnmpReport> m_queue;
    size_t m_nHead = 0;
    bool m_bFlushPending = false;
    bool m_bFlushDelayed = false;
    std::chrono::steady_clock::time_point m_lastFlush{};
    bool m_bOpen = true;
};

// Synchronous read of scalars or one row: Open(0), one variable of type 4 per
// OID, Send. Empty when the request failed or the answer holds fewer values.
std::optional<SSnmpRow> ReadObjects(CCommonSNMP& session, const QStringList& oids,
                                    unsigned long timeoutMs = 0);

// One variable of a write.
struct SSetVar {
    QString oid;
    int type = SnmpType::kInteger;
    QByteArray value;
};
// Synchronous write of all variables in one request: Open(3), AddVarBind(Bytes), Send.
// 0 when the switch took them; non-zero otherwise.
int WriteObjects(CCommonSNMP& session, const std::vector<SSetVar>& vars, unsigned long timeoutMs = 0);

// A write of several SETs in order (row creation, per-port applies): stops at
// the first one the switch does not take. Returns the index of that step, or
// -1 when every step was taken; the outcome line names the failed step.
// Pauses run the page's event loop without the operator's input.
struct SWriteStep {
    QString name; // what the step writes, in the operator's words
    std::vector<SSetVar> vars;
    int pauseAfterMs = 0;
    unsigned long timeoutMs = 0;
};
int WriteSequence(CCommonSNMP& session, const std::vector<SWriteStep>& steps,
                  const QString& context = {});

// Waits ms milliseconds on the page's thread: paints go on, input waits.
void PageWait(int ms);

// Walks the columns to the end of the table, one row at a time, on the
// caller's thread (for small tables: ports, groups). Empty when the walk
// failed before its end; a table without rows gives an empty vector.
std::optional<std::vector<SSnmpRow>> WalkTable(CCommonSNMP& session, const QStringList& columns,
                                               size_t maxRows = 8192);

// One object read on its own. Absent: the switch answered that it has no
// such object (a feature this model lacks), which is no failure.
enum class ReadResult { kValue, kAbsent, kFailed };
ReadResult ReadObject(CCommonSNMP& session, const QString& oid, SSnmpCell& cell);

// "column.index", the instance of a table cell.
QString CellOid(const QString& column, int index);
// The first arc of a row index (the port, group or VLAN number); 0 when none.
int RowNumber(const SSnmpRow& row);

// Asynchronous walk of the given columns on session, reported on channel: a
// report of rowCode for each row that carries at least minValues values, then
// one report of finishedCode with the marker "Finished" (also when the walk
// fails at its first step, or a row is short). kind 1 walks the table; kind 0
// reads the OIDs as one row with one asynchronous get.
struct SWalkSpec {
    QStringList columns;
    int rowCode = 0;
    int finishedCode = 1;
    int minValues = 0; // 0: every requested column
    int kind = CCommonSNMP::kGetNext;
    bool withSuffix = true;
    unsigned long timeoutMs = 0;
};
void StartWalk(CCommonSNMP& session, const std::shared_ptr<CNotifyChannel>& channel,
               const SWalkSpec& walk);

// The report markers.
extern const QString kFinished;      // "Finished"
extern const QString kWriteFinished; // "WriteFinished"
