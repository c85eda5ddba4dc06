// nsw-sim walk costs: GETNEXT over its 10,000-entry forwarding table against
// Debian's snmpd walking its own ifTable (same client, same run), and the
// per-row cost at 100,000 entries against 10,000 (no linear scans).
#include "common/BenchReport.h"

// net-snmp needs its configuration header first.
#include <net-snmp/net-snmp-config.h>

#include <net-snmp/net-snmp-includes.h>

#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QThread>
#include <QUdpSocket>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

namespace {

int FreePort() {
    QUdpSocket socket;
    return socket.bind(QHostAddress(QStringLiteral("127.0.0.1")), 0) ? socket.localPort() : 0;
}

// One SNMP v2c session of net-snmp's single-session API.
class Session {
public:
    Session(int port, const std::string& community) {
        netsnmp_session setup;
        snmp_sess_init(&setup);
        const std::string peer = "udp:127.0.0.1:" + std::to_string(port);
        setup.peername = const_cast<char*>(peer.c_str());
        setup.version = SNMP_VERSION_2c;
        setup.community = reinterpret_cast<u_char*>(const_cast<char*>(community.c_str()));
        setup.community_len = community.size();
        setup.timeout = 2000000;
        setup.retries = 2;
        m_session = snmp_sess_open(&setup);
    }
    ~Session() {
        if (m_session)
            snmp_sess_close(m_session);
    }
    bool Ok() const { return m_session != nullptr; }

    // One request; the answer's first varbind (name and type), false on failure.
    bool Request(int command, const std::vector<oid>& name, std::vector<oid>& next, u_char& type,
                 long setValue = 0) {
        netsnmp_pdu* pdu = snmp_pdu_create(command);
        if (command == SNMP_MSG_SET)
            snmp_pdu_add_variable(pdu, name.data(), name.size(), ASN_INTEGER, &setValue,
                                  sizeof setValue);
        else
            snmp_add_null_var(pdu, name.data(), name.size());
        netsnmp_pdu* response = nullptr;
        const int status = snmp_sess_synch_response(m_session, pdu, &response);
        bool ok = status == STAT_SUCCESS && response && response->errstat == SNMP_ERR_NOERROR &&
                  response->variables;
        if (ok) {
            next.assign(response->variables->name,
                        response->variables->name + response->variables->name_length);
            type = response->variables->type;
        }
        if (response)
            snmp_free_pdu(response);
        return ok;
    }

private:
    void* m_session = nullptr;
};

std::vector<oid> Parse(const char* text) {
    oid name[MAX_OID_LEN];
    size_t length = MAX_OID_LEN;
    read_objid(text, name, &length);
    return {name, name + length};
}

struct Walk {
    long requests = 0;
    double seconds = 0;
    double PerRequestUs() const { return requests ? seconds * 1e6 / requests : 0; }
};

// GETNEXT from root to the end of its subtree; every request is counted.
Walk WalkSubtree(Session& session, const std::vector<oid>& root) {
    Walk walk;
    QElapsedTimer timer;
    timer.start();
    std::vector<oid> name = root, next;
    u_char type = 0;
    while (session.Request(SNMP_MSG_GETNEXT, name, next, type)) {
        ++walk.requests;
        if (type == SNMP_ENDOFMIBVIEW || next.size() < root.size() ||
            !std::equal(root.begin(), root.end(), next.begin()))
            break;
        name = next;
    }
    walk.seconds = timer.nsecsElapsed() / 1e9;
    return walk;
}

// Repeats short walks until enough requests make a stable figure.
Walk WalkRepeated(Session& session, const std::vector<oid>& root, long minRequests) {
    Walk total;
    while (total.requests < minRequests) {
        Walk once = WalkSubtree(session, root);
        if (once.requests == 0)
            break;
        total.requests += once.requests;
        total.seconds += once.seconds;
    }
    return total;
}

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values.empty() ? 0 : values[values.size() / 2];
}

class Agent {
public:
    bool StartSim(const QStringList& args, double* startMs = nullptr) {
        m_port = FreePort();
        QElapsedTimer timer;
        timer.start();
        m_process.setProcessChannelMode(QProcess::MergedChannels);
        m_process.start(QStringLiteral(NSW_BIN_DIR "/nsw-sim"),
                        QStringList(args)
                            << "--listen" << QStringLiteral("127.0.0.1:%1").arg(m_port));
        while (m_process.waitForReadyRead(10000)) {
            while (m_process.canReadLine())
                if (m_process.readLine().startsWith("nsw-sim listening on ")) {
                    if (startMs)
                        *startMs = timer.nsecsElapsed() / 1e6;
                    return true;
                }
        }
        return false;
    }

    bool StartSnmpd(const QString& dir) {
        const QString snmpd = QStandardPaths::findExecutable(QStringLiteral("snmpd"),
                                                             {"/usr/sbin", "/usr/local/sbin"});
        if (snmpd.isEmpty())
            return false;
        m_port = FreePort();
        QFile conf(dir + "/snmpd.conf");
        if (!conf.open(QIODevice::WriteOnly))
            return false;
        conf.write("rocommunity public 127.0.0.1\n");
        conf.close();
        m_process.start(snmpd, {"-f", "-C", "-c", conf.fileName(), "--persistentDir=" + dir, "-Lf",
                                dir + "/snmpd.log", "-p", dir + "/snmpd.pid",
                                QStringLiteral("udp:127.0.0.1:%1").arg(m_port)});
        if (!m_process.waitForStarted())
            return false;
        Session probe(m_port, "public");
        std::vector<oid> next;
        u_char type = 0;
        for (int i = 0; i < 50; ++i) {
            if (probe.Request(SNMP_MSG_GET, Parse(".1.3.6.1.2.1.1.1.0"), next, type))
                return true;
            QThread::msleep(100);
        }
        return false;
    }

    ~Agent() {
        if (m_process.state() != QProcess::NotRunning) {
            m_process.terminate();
            if (!m_process.waitForFinished(5000))
                m_process.kill();
        }
    }
    int Port() const { return m_port; }
    double RssMb() const {
        QFile status(QStringLiteral("/proc/%1/status").arg(m_process.processId()));
        if (!status.open(QIODevice::ReadOnly))
            return 0;
        for (const QByteArray& line : status.readAll().split('\n'))
            if (line.startsWith("VmRSS:"))
                return line.mid(6).trimmed().split(' ').first().toDouble() / 1024.0;
        return 0;
    }

private:
    QProcess m_process;
    int m_port = 0;
};

} // namespace

int main(int argc, char** argv) {
    CBenchReport report(argc, argv);
    QTemporaryDir dir;
    setenv("MIBS", "", 1);
    netsnmp_ds_set_boolean(NETSNMP_DS_LIBRARY_ID, NETSNMP_DS_LIB_DONT_READ_CONFIGS, 1);
    netsnmp_ds_set_boolean(NETSNMP_DS_LIBRARY_ID, NETSNMP_DS_LIB_DISABLE_PERSISTENT_SAVE, 1);
    netsnmp_ds_set_string(NETSNMP_DS_LIBRARY_ID, NETSNMP_DS_LIB_PERSISTENT_DIR,
                          dir.path().toLocal8Bit().constData());
    init_snmp("nsw-bench");

    double startDefault = 0, start100k = 0;
    {
        Agent quick;
        if (quick.StartSim({}, &startDefault))
            report.Add("nsw-sim start-up (default forwarding table)", startDefault, "ms", "< 1000");
    }

    Agent sim;
    if (!sim.StartSim({"--fdb", "10000"})) {
        std::fprintf(stderr, "nsw-sim did not start\n");
        return 1;
    }
    Agent snmpd;
    const bool haveSnmpd = snmpd.StartSnmpd(dir.path());
    Session simSession(sim.Port(), "ralvin");
    Session control(sim.Port(), "nsw-control");
    std::unique_ptr<Session> snmpdSession;
    if (haveSnmpd)
        snmpdSession = std::make_unique<Session>(snmpd.Port(), "public");

    const auto fdbStatus = Parse(".1.3.6.1.2.1.17.7.1.2.2.1.3");
    const auto ifTable = Parse(".1.3.6.1.2.1.2.2");

    // Side by side, three rounds; medians of the per-request costs.
    std::vector<double> simCost, snmpdCost;
    long fdbRequests = 0;
    for (int round = 0; round < 3; ++round) {
        Walk fdb = WalkSubtree(simSession, fdbStatus);
        fdbRequests = fdb.requests;
        simCost.push_back(fdb.PerRequestUs());
        if (snmpdSession)
            snmpdCost.push_back(WalkRepeated(*snmpdSession, ifTable, 3000).PerRequestUs());
    }
    const double sim10k = Median(simCost);
    report.Add("nsw-sim GETNEXT walk, 10,000-entry forwarding table: requests",
               static_cast<double>(fdbRequests), "");
    report.Add("nsw-sim GETNEXT per request (forwarding table, 10,000)", sim10k, "us");
    if (!snmpdCost.empty()) {
        const double reference = Median(snmpdCost);
        report.Add("Debian snmpd GETNEXT per request (its ifTable)", reference, "us");
        report.Add("nsw-sim / snmpd per-request cost", sim10k / reference, "x", "<= 1.5");
    } else {
        report.Add("Debian snmpd not available: no comparison", 0, "");
    }
    report.Add("nsw-sim GETNEXT per request (its ifTable)",
               WalkRepeated(simSession, ifTable, 3000).PerRequestUs(), "us");

    // 100,000 entries: refilled through the control subtree, then walked.
    std::vector<oid> next;
    u_char type = 0;
    if (!control.Request(SNMP_MSG_SET, Parse(".1.3.6.1.4.1.32473.99.2.4.0"), next, type, 100000)) {
        std::fprintf(stderr, "cannot refill the forwarding table\n");
        return 1;
    }
    Walk big = WalkSubtree(simSession, fdbStatus);
    report.Add("nsw-sim GETNEXT walk, 100,000 entries: requests", static_cast<double>(big.requests),
               "");
    report.Add("nsw-sim GETNEXT per request (forwarding table, 100,000)", big.PerRequestUs(), "us");
    report.Add("per-row cost 100,000 / 10,000", big.PerRequestUs() / sim10k, "x", "<= 1.3");
    report.Add("nsw-sim resident memory with 100,000 entries", sim.RssMb(), "MB");

    Agent large;
    if (large.StartSim({"--fdb", "100000"}, &start100k))
        report.Add("nsw-sim start-up with 100,000 entries", start100k, "ms");
    return 0;
}
