#pragma once

// A scripted community-based agent (SNMPv1 and v2c) on a loopback port, for
// walker cases a real agent does not show: sparse tables, agents that cut or
// refuse big answers, agents that answer with an OID that does not grow.

#include <QByteArray>

#include <atomic>
#include <cstdint>
#include <map>
#include <mutex>
#include <thread>
#include <vector>

class CFakeAgent {
public:
    using Oid = std::vector<uint32_t>;
    struct Value {
        uint8_t tag; // BER tag: 0x02 INTEGER, 0x04 OCTET STRING, 0x40 IpAddress ...
        QByteArray content;
    };
    static Value Integer(long long value);
    static Value Text(const QByteArray& text);
    static Value Number(uint8_t tag, long long value); // Counter32, Gauge32, TimeTicks ...
    static Value ObjectId(const char* dotted);
    static Oid Parse(const char* dotted);

    CFakeAgent();
    ~CFakeAgent();
    CFakeAgent(const CFakeAgent&) = delete;
    CFakeAgent& operator=(const CFakeAgent&) = delete;

    int Port() const { return m_nPort; }
    void Set(const Oid& oid, const Value& value);

    // Misbehaviours.
    std::atomic<int> m_nMaxVarBinds{0}; // cut every answer to this many (0: no cut)
    std::atomic<int> m_nTooBigAbove{0}; // tooBig when max-repetitions exceeds it (0: never)
    std::atomic<bool> m_bRepeatRequestOid{false}; // GETNEXT/GETBULK answer the asked OID again

    // What the agent saw.
    std::atomic<int> m_nRequests{0};
    std::atomic<int> m_nLargestRepetitions{0};

private:
    void Run();
    QByteArray Answer(const QByteArray& request);

    int m_nSocket = -1;
    int m_nPort = 0;
    std::atomic<bool> m_bStop{false};
    std::mutex m_mutex;
    std::map<Oid, Value> m_mib;
    std::thread m_thread;
};
