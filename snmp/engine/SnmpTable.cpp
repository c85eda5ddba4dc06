#include "Snmp.h"

#include "SnmpOid.h"
#include "SnmpPdu.h"
#include "SnmpWorker.h"

#include <net-snmp/net-snmp-config.h>
#include <net-snmp/net-snmp-includes.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <utility>

namespace {

// Ids of asynchronous walk steps, process-wide so that a late answer of one
// table never matches a step of another.
std::atomic<int> g_nStepId{0};

int NextStepId() {
    int id = ++g_nStepId;
    while (id <= 0) { // wrapped
        int expected = id;
        g_nStepId.compare_exchange_strong(expected, 1);
        id = ++g_nStepId;
    }
    return id;
}

constexpr int kMaxRepetitionsLimit = 512;

std::atomic<size_t> g_nRowLimit{CSnmpTable::kDefaultRowLimit};

// Bytes of a message that are not variables: header, community or USM
// parameters, PDU fields. Generous, so that an answer sized by it fits.
int MessageOverhead(int version) {
    return version == 3 ? 200 : 80;
}

} // namespace

CSnmpTable::CSnmpTable(CSnmp* request)
    : m_pRequest(request), m_pWorker(std::make_unique<CSnmpWorker>()) {}

CSnmpTable::~CSnmpTable() {
    m_pWorker->Stop();
}

size_t CSnmpTable::rowLimit() {
    return g_nRowLimit.load(std::memory_order_relaxed);
}

void CSnmpTable::setRowLimit(size_t rows) {
    g_nRowLimit.store(rows ? rows : kDefaultRowLimit, std::memory_order_relaxed);
}

void CSnmpTable::reset() {
    std::lock_guard lock(m_mutex);
    m_uRevision = ~0u;
}

int CSnmpTable::getMaxRepetitions() const {
    std::lock_guard lock(m_mutex);
    return m_nMaxRepetitions;
}

void CSnmpTable::restartIfChanged() {
    const unsigned revision = m_pRequest->revision();
    if (revision == m_uRevision)
        return;
    m_uRevision = revision;
    m_columns.clear();
    for (const SnmpVarBind& var : m_pRequest->varBinds()) {
        Column column;
        column.base = var.oid;
        column.pos = var.oid;
        m_columns.push_back(std::move(column));
    }
    m_bGetDone = false;
    m_nRows = 0;
    m_bOutOfOrder = false;
    m_lPrefetch = 0; // its answer, if it comes, is dropped
    m_prefetchColumns.clear();
    m_nMaxRepetitions = 0;
    m_nRepetitionCap = 0;
    m_dVarBindBytes = 0;
}

int CSnmpTable::getNext(const char* host, std::unique_ptr<CSnmp>& answer, unsigned long timeoutMs) {
    answer.reset();
    std::lock_guard lock(m_mutex);
    restartIfChanged();
    if (m_columns.empty())
        return SnmpResult::kBadArgument;
    switch (m_pRequest->getType()) {
    case SnmpKind::kGet: {
        // A get is a table of one row.
        if (m_bGetDone)
            return SnmpResult::kEndOfTable;
        const int result = m_pRequest->send(host, answer, timeoutMs);
        if (result != SnmpResult::kOk) {
            answer.reset();
            return result;
        }
        m_bGetDone = true;
        return SnmpResult::kOk;
    }
    case SnmpKind::kGetNext:
        return getRow(host, answer, timeoutMs);
    default:
        return SnmpResult::kBadArgument;
    }
}

int CSnmpTable::getRow(const char* host, std::unique_ptr<CSnmp>& answer, unsigned long timeoutMs) {
    if (m_nRows >= rowLimit())
        return SnmpResult::kRowLimit;
    // Every live column needs its next cell before the row can be told.
    for (;;) {
        if (m_bOutOfOrder)
            return SnmpResult::kOutOfOrder;
        const bool missing = std::any_of(m_columns.begin(), m_columns.end(), [](const Column& c) {
            return !c.ended && c.buffer.empty();
        });
        if (!missing)
            break;
        const int result = fetch(host, timeoutMs);
        if (result != SnmpResult::kOk)
            return result;
    }

    // The row is the smallest index any column has next; columns without a
    // cell at that index give an empty one. An ended column still hands out
    // what it has buffered.
    const auto indexOf = [](const Column& column) {
        const std::vector<uint32_t>& oid = column.buffer.front().oid;
        return std::vector<uint32_t>(oid.begin() + qsizetype(column.base.size()), oid.end());
    };
    bool any = false;
    std::vector<uint32_t> smallest;
    for (const Column& column : m_columns) {
        if (column.buffer.empty())
            continue;
        std::vector<uint32_t> index = indexOf(column);
        if (!any || SnmpOid::Less(index, smallest))
            smallest = std::move(index);
        any = true;
    }
    if (!any)
        return SnmpResult::kEndOfTable;

    std::vector<SnmpVarBind> row;
    row.reserve(m_columns.size());
    for (Column& column : m_columns) {
        if (!column.buffer.empty() && indexOf(column) == smallest) {
            row.push_back(std::move(column.buffer.front()));
            column.buffer.pop_front();
            continue;
        }
        SnmpVarBind empty;
        empty.oid = column.base;
        empty.oid.insert(empty.oid.end(), smallest.begin(), smallest.end());
        row.push_back(std::move(empty));
    }
    answer = CSnmp::makeAnswer(std::move(row), m_pRequest->getRequestID());
    ++m_nRows;
    return SnmpResult::kOk;
}

int CSnmpTable::fetch(const char* host, unsigned long timeoutMs) {
    if (m_lPrefetch != 0) {
        // The next answer was asked for when the last one came.
        const long ticket = std::exchange(m_lPrefetch, 0);
        const auto waitStart = std::chrono::steady_clock::now();
        snmp_pdu* response = nullptr;
        const int result = m_pRequest->finishExchange(ticket, &response, timeoutMs);
        if (result == SnmpResult::kOk)
            return absorb(host, timeoutMs, response, m_prefetchColumns);
        // Abandoned for another request, or its time ran out mostly before
        // anybody waited for it: ask again, as without the early request.
        // Otherwise the agent did not answer within a time-out of this wait.
        const auto waited = std::chrono::steady_clock::now() - waitStart;
        if (result == SnmpResult::kAborted ||
            (result == SnmpResult::kTimeout && waited >= std::chrono::milliseconds(timeoutMs / 2)))
            return result;
    }
    std::vector<Column*> wanted;
    for (Column& column : m_columns)
        if (!column.ended && column.buffer.empty())
            wanted.push_back(&column);
    snmp_pdu* pdu = buildRequest(wanted);
    if (!pdu)
        return SnmpResult::kBadArgument;
    snmp_pdu* response = nullptr;
    const int result = m_pRequest->exchange(host, pdu, &response, timeoutMs);
    if (result != SnmpResult::kOk)
        return result;
    return absorb(host, timeoutMs, response, wanted);
}

snmp_pdu* CSnmpTable::buildRequest(const std::vector<Column*>& wanted) {
    const int version = m_pRequest->snmpVersion();
    const bool bulk = version != 1;
    const int count = int(wanted.size());
    if (bulk) {
        if (m_dVarBindBytes <= 0) {
            // Before the first answer: the column OID, an index of a few
            // sub-identifiers and a short value.
            m_dVarBindBytes = double(wanted.front()->base.size()) + 24;
        }
        const int room = m_pRequest->msgMaxSize() - MessageOverhead(version);
        const int fit = int(room / (m_dVarBindBytes * count));
        int limit = m_nMaxRepetitions > 0 ? m_nMaxRepetitions * 2 : kMaxRepetitionsLimit;
        if (m_nRepetitionCap > 0)
            limit = std::min(limit, m_nRepetitionCap);
        m_nMaxRepetitions = std::clamp(std::min(fit, limit), 1, kMaxRepetitionsLimit);
    }

    std::vector<SnmpVarBind> vars;
    for (const Column* column : wanted) {
        SnmpVarBind var;
        var.oid = column->pos;
        vars.push_back(std::move(var));
    }
    snmp_pdu* pdu = SnmpPdu::Build(bulk ? SNMP_MSG_GETBULK : SNMP_MSG_GETNEXT, vars);
    if (pdu && bulk) {
        pdu->non_repeaters = 0;
        pdu->max_repetitions = m_nMaxRepetitions;
    }
    return pdu;
}

int CSnmpTable::absorb(const char* host, unsigned long timeoutMs, snmp_pdu* response,
                       std::vector<Column*> wanted) {
    const bool bulk = m_pRequest->snmpVersion() != 1;
    const int count = int(wanted.size());
    SnmpPdu::Answer answer = SnmpPdu::Convert(response);
    SnmpPdu::Free(response);
    m_pRequest->setLastError(answer.errorStatus, answer.errorIndex);

    if (answer.errorStatus != SnmpErrorStatus::kNoError) {
        if (!bulk && answer.errorStatus == SnmpErrorStatus::kNoSuchName && answer.errorIndex >= 1 &&
            answer.errorIndex <= wanted.size()) {
            // v1's end of the MIB view for that column.
            wanted[answer.errorIndex - 1]->ended = true;
            return SnmpResult::kOk;
        }
        if (bulk && answer.errorStatus == SnmpErrorStatus::kTooBig && m_nMaxRepetitions > 1) {
            m_nRepetitionCap = std::max(1, m_nMaxRepetitions / 2);
            return SnmpResult::kOk; // the same request, asking for less
        }
        return SnmpResult::kErrorStatus;
    }

    bool ended = false;
    bool progressed = false;
    for (size_t i = 0; i < answer.vars.size(); ++i) {
        Column& column = *wanted[i % wanted.size()];
        if (column.ended)
            continue;
        SnmpVarBind& var = answer.vars[i];
        // Outside the column or an exception ends the column; a step
        // backwards or in place ends the walk: a looping agent cannot keep
        // it going, and the rows would not be the table's.
        const bool backwards = !answer.exception[i] && !SnmpOid::Less(column.pos, var.oid);
        const bool inColumn = !answer.exception[i] && var.oid.size() > column.base.size() &&
                              SnmpOid::StartsWith(var.oid, column.base);
        if (backwards || !inColumn) {
            m_bOutOfOrder = m_bOutOfOrder || backwards;
            column.ended = true;
            ended = true;
            progressed = true;
            continue;
        }
        column.pos = var.oid;
        column.buffer.push_back(std::move(var));
        progressed = true;
    }
    if (!progressed) {
        // An empty answer: nothing more will come for these columns.
        for (Column* column : wanted)
            column->ended = true;
        return SnmpResult::kOk;
    }
    if (bulk) {
        if (!answer.vars.empty())
            m_dVarBindBytes = double(answer.encodedBytes) / double(answer.vars.size());
        // Fewer repetitions than asked and no column at its end: the agent
        // cut the answer to its size, so ask for that many.
        const int full = int(answer.vars.size()) / count;
        if (!ended && full < m_nMaxRepetitions)
            m_nRepetitionCap = std::max(1, full);
    }
    // Every live column took a step and none ended: ask for the next block
    // now, so that it travels while these rows are handed out.
    const bool allLive = std::all_of(m_columns.begin(), m_columns.end(), [&](const Column& c) {
        return c.ended || std::find(wanted.begin(), wanted.end(), &c) != wanted.end();
    });
    if (!ended && allLive) {
        if (snmp_pdu* next = buildRequest(wanted)) {
            long ticket = 0;
            if (m_pRequest->startExchange(host, next, timeoutMs, ticket) == SnmpResult::kOk) {
                m_lPrefetch = ticket;
                m_prefetchColumns = std::move(wanted);
            }
        }
    }
    return SnmpResult::kOk;
}

int CSnmpTable::getNext(const char* host, SnmpWalkCallback callback, void* param,
                        unsigned long timeoutMs, int* stepId) {
    const int id = NextStepId();
    m_pRequest->setRequestID(id);
    if (stepId)
        *stepId = id;
    m_pWorker->Post([this, host = std::string(host ? host : ""), callback = std::move(callback),
                     param, timeoutMs, id] {
        std::unique_ptr<CSnmp> answer;
        const int status = getNext(host.c_str(), answer, timeoutMs);
        if (status == SnmpResult::kOk)
            answer->setRequestID(id);
        else
            answer.reset();
        callback(std::move(answer), id, param, status);
    });
    return SnmpResult::kOk;
}

int CSnmpTable::getSuffix(int index, const CSnmp* answer, QString& suffix) const {
    suffix.clear();
    if (!answer || index < 0 || unsigned(index) >= answer->getValuesCount())
        return SnmpResult::kBadIndex;
    const std::vector<SnmpVarBind> columns = m_pRequest->varBinds();
    if (size_t(index) >= columns.size())
        return SnmpResult::kBadIndex;
    std::vector<uint32_t> oid;
    if (!SnmpOid::Parse(answer->oidAt(unsigned(index)).toLatin1().constData(), oid) ||
        !SnmpOid::StartsWith(oid, columns[size_t(index)].oid))
        return SnmpResult::kBadArgument;
    suffix = SnmpOid::Text(oid.data() + columns[size_t(index)].oid.size(), oid.data() + oid.size());
    return SnmpResult::kOk;
}
