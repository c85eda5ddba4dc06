// Walks nsw-sim's 10,000-entry forwarding table the way the forwarding-table
// page does (CCommonSNMP's asynchronous walk through the page layer, rows
// reported onto the page's thread) on v1, v2c and v3, and the same table with
// Debian's snmpwalk and snmpbulkwalk on the same agent; a bare GETNEXT round
// trip is the floor. Also what a v3 walk and v3 gets cost in datagrams.

#include "../tests/engine/UdpRelay.h"
#include "common/BenchReport.h"

#include "device/LaunchSettings.h"
#include "snmp/CommonSNMP.h"
#include "snmp/PageLink.h"
#include "snmp/engine/Snmp.h"
#include "snmp/engine/SnmpInit.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QTemporaryDir>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <memory>

namespace {

const int kRows = 10000;
const char* const kUser = "bench-aes";
const char* const kAuthPassword = "bench-auth-secret";
const char* const kPrivPassword = "bench-priv-secret";
const QString kTable = QStringLiteral("1.3.6.1.2.1.17.7.1.2.2.1");
const QString kStatus = kTable + QStringLiteral(".3");
const QString kPort = kTable + QStringLiteral(".2");

struct Mode {
    const char* name;
    const char* version; // launch setting
};
const Mode kV1{"v1", "1"};
const Mode kV2c{"v2c", "2"};
const Mode kV3{"v3", "3"};

int FreeUdpPort() {
    const int sock = ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t size = sizeof address;
    int port = 0;
    if (sock >= 0 && ::bind(sock, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0 &&
        ::getsockname(sock, reinterpret_cast<sockaddr*>(&address), &size) == 0)
        port = ntohs(address.sin_port);
    if (sock >= 0)
        ::close(sock);
    return port;
}

class CSim {
public:
    bool Start() {
        // The port can be taken between the probe and the simulator's bind.
        for (int attempt = 0; attempt < 5; ++attempt) {
            m_nPort = FreeUdpPort();
            m_process.setProcessChannelMode(QProcess::MergedChannels);
            m_process.start(
                QStringLiteral(NSW_BIN_DIR "/nsw-sim"),
                {"--fdb", QString::number(kRows), "--v3-user",
                 QStringLiteral("%1:priv:SHA:%2:AES:%3").arg(kUser, kAuthPassword, kPrivPassword),
                 "--listen", QStringLiteral("127.0.0.1:%1").arg(m_nPort)});
            QElapsedTimer timer;
            timer.start();
            while (m_process.state() != QProcess::NotRunning && timer.elapsed() < 20000) {
                m_process.waitForReadyRead(100);
                while (m_process.canReadLine())
                    if (m_process.readLine().startsWith("nsw-sim listening on"))
                        return true;
            }
            m_process.kill();
            m_process.waitForFinished();
        }
        return false;
    }
    ~CSim() {
        m_process.terminate();
        if (!m_process.waitForFinished(5000)) {
            m_process.kill();
            m_process.waitForFinished();
        }
    }
    int Port() const { return m_nPort; }

private:
    QProcess m_process;
    int m_nPort = 0;
};

void UseMode(const Mode& mode, int port) {
    ResetLaunchSettings();
    g_strDeviceIp = QStringLiteral("127.0.0.1");
    g_strSnmpPort = QString::number(port);
    g_strSnmpVersion = QLatin1String(mode.version);
    g_strSecurityLevel = QStringLiteral("3");
    g_strV3UserName = QLatin1String(kUser);
    g_strAuthProtocol = QStringLiteral("3");
    g_strAuthPassword = QLatin1String(kAuthPassword);
    g_strPrivProtocol = QStringLiteral("4");
    g_strPrivPassword = QLatin1String(kPrivPassword);
}

// Seconds for one walk of the table as the forwarding-table page does it:
// the page layer's walk, rows reported onto this (the page's) thread.
double PageWalk(const Mode& mode, int port, int& rows) {
    UseMode(mode, port);
    CCommonSNMP session;
    QObject page;
    bool done = false;
    int seen = 0;
    auto channel = CNotifyChannel::Create(&page, [&](std::vector<SSnmpReport>& batch) {
        for (const SSnmpReport& report : batch) {
            if (report.marker == kFinished)
                done = true;
            else
                seen += report.row.Count() == 2 && !report.row.suffix.isEmpty();
        }
    });
    QElapsedTimer timer;
    timer.start();
    SWalkSpec walk;
    walk.columns = {kStatus, kPort};
    StartWalk(session, channel, walk);
    while (!done)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    const double seconds = double(timer.nsecsElapsed()) / 1e9;
    channel->Shut();
    session.Close();
    rows = seen;
    return seconds;
}

// The same walk with each row handed over synchronously (Deliver), as a
// window message sent per row would.
class CDeliverPage : public QObject {
public:
    int m_nRows = 0;
    bool m_bDone = false;
    CCommonSNMP* m_pSession = nullptr;

    static void OnRow(std::unique_ptr<CSnmp> answer, int id, void* param, int status) {
        auto* page = static_cast<CDeliverPage*>(param);
        CCommonSNMP& session = *page->m_pSession;
        if (!session.TakeRequest(id))
            return;
        if (status != 0) {
            session.Deliver(page, [page] { page->m_bDone = true; });
            session.SetDone();
            return;
        }
        QString mac;
        session.GetSuffix(0, answer.get(), mac);
        const QByteArray state = answer->valueAt(0);
        const QByteArray port = answer->valueAt(1);
        session.Deliver(page, [page, mac, state, port] {
            page->m_nRows += !mac.isEmpty() && !state.isEmpty() && !port.isEmpty();
        });
        session.GetNext(&CDeliverPage::OnRow, page);
    }
};

double DeliverWalk(const Mode& mode, int port) {
    UseMode(mode, port);
    CCommonSNMP session;
    CDeliverPage page;
    page.m_pSession = &session;
    QElapsedTimer timer;
    timer.start();
    session.Open(CCommonSNMP::kGetNext);
    session.AddVarBind(kStatus, SnmpType::kNull);
    session.AddVarBind(kPort, SnmpType::kNull);
    session.GetNext(&CDeliverPage::OnRow, &page);
    while (!page.m_bDone)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    const double seconds = double(timer.nsecsElapsed()) / 1e9;
    session.Close();
    return seconds;
}

// The walker's GETBULK size for this table and version.
int WalkerRepetitions(const Mode& mode, int port) {
    UseMode(mode, port);
    CSnmpV1 request(0, mode.version[0] == '1' ? 1 : 2);
    std::unique_ptr<CSnmpV3> user;
    CSnmp* used = &request;
    if (mode.version[0] == '3') {
        user = std::make_unique<CSnmpV3>();
        user->setUserName(kUser);
        user->setMsgFlags(3);
        user->setAuthArith(SnmpAuthArith::kSha);
        user->setAuthPwd(kAuthPassword, std::strlen(kAuthPassword));
        user->setPriArith(SnmpPrivArith::kAes128);
        user->setPriPwd(kPrivPassword, std::strlen(kPrivPassword));
        used = user.get();
    } else {
        request.setCommunity("ralvin");
    }
    used->setPort(port);
    used->setType(SnmpKind::kGetNext);
    used->addValue(kStatus.toLatin1().constData(), SnmpType::kNull, nullptr);
    used->addValue(kPort.toLatin1().constData(), SnmpType::kNull, nullptr);
    CSnmpTable table(used);
    std::unique_ptr<CSnmp> answer;
    for (int i = 0; i < 200 && table.getNext("127.0.0.1", answer, 3000) == 0; ++i) {
    }
    return table.getMaxRepetitions();
}

// Mean microseconds of a GETNEXT of one variable, request after request.
double BareRoundTrip(int port) {
    SnmpInit(nullptr);
    CSnmpV1 request(0, 2);
    request.setCommunity("ralvin");
    request.setPort(port);
    request.setType(SnmpKind::kGetNext);
    request.addValue("1.3.6.1.2.1.1.3", SnmpType::kNull, nullptr);
    std::unique_ptr<CSnmp> answer;
    for (int i = 0; i < 200; ++i) // warm up
        request.send("127.0.0.1", answer, 3000);
    const int count = 3000;
    QElapsedTimer timer;
    timer.start();
    for (int i = 0; i < count; ++i)
        request.send("127.0.0.1", answer, 3000);
    return double(timer.nsecsElapsed()) / 1e3 / count;
}

QStringList ToolAccess(const Mode& mode) {
    if (mode.version[0] == '3')
        return {"-v3", "-l",          "authPriv", "-u",  kUser, "-a",         "SHA",
                "-A",  kAuthPassword, "-x",       "AES", "-X",  kPrivPassword};
    return {mode.version[0] == '1' ? "-v1" : "-v2c", "-c", "ralvin"};
}

// Seconds for one run of a net-snmp tool over the table; lines printed.
double ToolWalk(const QString& tool, const QStringList& options, int port,
                const QString& persistentDir, int& lines) {
    QProcess process;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("MIBS", "");
    env.insert("SNMP_PERSISTENT_DIR", persistentDir);
    process.setProcessEnvironment(env);
    QElapsedTimer timer;
    timer.start();
    process.start(tool,
                  options + QStringList{"-On", QStringLiteral("127.0.0.1:%1").arg(port), kTable});
    process.waitForFinished(600000);
    const double seconds = double(timer.nsecsElapsed()) / 1e9;
    lines = int(process.readAllStandardOutput().count('\n'));
    return seconds;
}

// Requests the simulator served so far (its own counter; probes and
// time-window reports are not requests it serves).
unsigned long Served(int port) {
    CSnmpV1 request(0, 2);
    request.setCommunity("nsw-control");
    request.setPort(port);
    request.setType(SnmpKind::kGet);
    request.addValue("1.3.6.1.4.1.32473.99.3.5.0", SnmpType::kNull, nullptr);
    std::unique_ptr<CSnmp> answer;
    return request.send("127.0.0.1", answer, 3000) == 0 ? answer->valueAt(0).toULong() : 0;
}

struct V3Cost {
    unsigned long sent;   // datagrams to the agent, probes and retries included
    unsigned long served; // requests the agent answered
};

// One v3 walk of two interface-table columns, as a page walks.
V3Cost InterfaceWalk(CUdpRelay& relay, int port) {
    const unsigned long sent = relay.Forwarded();
    const unsigned long served = Served(port);
    UseMode(kV3, relay.Port());
    CCommonSNMP session;
    session.Open(CCommonSNMP::kGetNext);
    session.AddVarBind(QStringLiteral("1.3.6.1.2.1.2.2.1.2"), SnmpType::kNull);
    session.AddVarBind(QStringLiteral("1.3.6.1.2.1.2.2.1.8"), SnmpType::kNull);
    std::unique_ptr<CSnmp> answer;
    while (session.GetNextSync(answer) == 0) {
    }
    session.Close();
    return {relay.Forwarded() - sent, Served(port) - served};
}

// Ten pages' worth of single gets: Open, one GET, close.
V3Cost TenGets(CUdpRelay& relay, int port) {
    const unsigned long sent = relay.Forwarded();
    const unsigned long served = Served(port);
    UseMode(kV3, relay.Port());
    for (int i = 0; i < 10; ++i) {
        CCommonSNMP get;
        get.Open(CCommonSNMP::kGet);
        get.AddVarBind(QStringLiteral("1.3.6.1.2.1.1.5.0"), SnmpType::kNull);
        std::unique_ptr<CSnmp> answer;
        get.Send(answer);
    }
    return {relay.Forwarded() - sent, Served(port) - served};
}

template <typename F> double Best(int runs, F run) {
    double best = 1e9;
    for (int i = 0; i < runs; ++i)
        best = std::min(best, run());
    return best;
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    CBenchReport report(argc, argv);
    CSim sim;
    if (!sim.Start()) {
        std::fprintf(stderr, "nsw-sim did not start (%s/nsw-sim)\n", NSW_BIN_DIR);
        return 1;
    }
    SnmpInit(&app);
    QTemporaryDir toolDir;
    const int port = sim.Port();

    {
        // Through a relay of its own: a peer this process has not met yet.
        CUdpRelay relay(port);
        const V3Cost first = InterfaceWalk(relay, port);
        const V3Cost second = InterfaceWalk(relay, port);
        const V3Cost gets = TenGets(relay, port);
        report.Add("v3 interface-table walk, first of the process: datagrams sent", first.sent, "");
        report.Add("v3 interface-table walk, first of the process: requests served", first.served,
                   "");
        report.Add("v3 interface-table walk, again: datagrams sent", second.sent, "");
        report.Add("v3 interface-table walk, again: requests served", second.served, "");
        report.Add("v3 ten Open+Get pairs: datagrams sent", gets.sent, "", "10");
        report.Add("v3 ten Open+Get pairs: requests served", gets.served, "");
    }

    const double floorUs = BareRoundTrip(port);
    report.Add("bare GETNEXT round trip, 1 variable (v2c)", floorUs, "us");

    int rows = 0, lines = 0;
    const double v1 = Best(3, [&] { return PageWalk(kV1, port, rows); });
    report.Add("page walk, 10,000 rows, v1 GETNEXT (rows seen: " + QString::number(rows) + ")", v1,
               "s");
    const double walkV1 =
        Best(3, [&] { return ToolWalk("snmpwalk", ToolAccess(kV1), port, toolDir.path(), lines); });
    report.Add("snmpwalk -v1, same table (" + QString::number(lines) + " lines)", walkV1, "s");
    report.Add("v1 page walk / snmpwalk -v1", v1 / walkV1, "x", "<= 1.0");
    report.Add("v1 walk, each row handed over synchronously (Deliver)",
               Best(3, [&] { return DeliverWalk(kV1, port); }), "s");

    for (const Mode* mode : {&kV2c, &kV3}) {
        const QString name = QLatin1String(mode->name);
        const int repetitions = WalkerRepetitions(*mode, port);
        const double page = Best(3, [&] { return PageWalk(*mode, port, rows); });
        report.Add("page walk, 10,000 rows, " + name +
                       " GETBULK (rows seen: " + QString::number(rows) + ")",
                   page, "s");
        report.Add(name + " max-repetitions chosen by the walker", repetitions, "");
        const double bulk = Best(3, [&] {
            return ToolWalk("snmpbulkwalk",
                            ToolAccess(*mode) + QStringList{"-Cr" + QString::number(repetitions)},
                            port, toolDir.path(), lines);
        });
        report.Add("snmpbulkwalk " + name + " -Cr" + QString::number(repetitions) +
                       ", same table (" + QString::number(lines) + " lines)",
                   bulk, "s");
        report.Add(name + " page walk / snmpbulkwalk", page / bulk, "x", "<= 1.2");
        report.Add(name + " speed-up over the v1 page walk", v1 / page, "x", ">= 10");
        report.Add(name + " walk, each row handed over synchronously (Deliver)",
                   Best(3, [&] { return DeliverWalk(*mode, port); }), "s");
    }
    return 0;
}
