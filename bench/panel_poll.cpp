// The panel's polling against nsw-sim on loopback:
// - requests per polling pass of the 52-port model, SNMPv1 against v2c, from
//   the simulator's own counters, and the largest answer, seen by a UDP relay
//   between the module and the simulator (it has to fit an Ethernet frame);
// - start-up to the first painted panel, and to the first polled one;
// - how long closing the window takes while a request is in flight.

#include "BenchReport.h"
#include "LaunchFixture.h"
#include "SimProcess.h"
#include "panel/ModuleDlg.h"
#include "panel/PanelView.h"
#include "snmp/CommonSNMP.h"
#include "snmp/engine/SnmpInit.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QTemporaryDir>
#include <QTimer>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <thread>

namespace {

constexpr char kModel[] = "NSW-4410-52 B1";
constexpr char kCounterAll[] = "3.5.0";
constexpr char kCounterReset[] = "3.6.0";
// An Ethernet frame of 1500 bytes carries 1472 bytes of UDP payload.
constexpr int kEthernetPayload = 1472;

// Forwards datagrams between the module and the simulator and notes the
// largest answer.
class CUdpRelay {
public:
    explicit CUdpRelay(int agentPort) {
        m_nFront = Bound(0);
        m_nBack = Bound(0);
        m_agent = Address(agentPort);
        m_thread = std::thread([this] { Run(); });
    }
    ~CUdpRelay() {
        m_bStop = true;
        m_thread.join();
        ::close(m_nFront);
        ::close(m_nBack);
    }
    int Port() const {
        sockaddr_in a{};
        socklen_t len = sizeof a;
        ::getsockname(m_nFront, reinterpret_cast<sockaddr*>(&a), &len);
        return ntohs(a.sin_port);
    }
    int LargestAnswer() const { return m_nLargest.load(); }
    void ResetLargest() { m_nLargest = 0; }

private:
    static sockaddr_in Address(int port) {
        sockaddr_in a{};
        a.sin_family = AF_INET;
        a.sin_port = htons(static_cast<uint16_t>(port));
        a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        return a;
    }
    static int Bound(int port) {
        const int fd = ::socket(AF_INET, SOCK_DGRAM, 0);
        const sockaddr_in a = Address(port);
        ::bind(fd, reinterpret_cast<const sockaddr*>(&a), sizeof a);
        return fd;
    }
    void Run() {
        char buffer[65536];
        sockaddr_in client{};
        while (!m_bStop) {
            pollfd fds[2] = {{m_nFront, POLLIN, 0}, {m_nBack, POLLIN, 0}};
            if (::poll(fds, 2, 50) <= 0)
                continue;
            if (fds[0].revents & POLLIN) {
                socklen_t len = sizeof client;
                const ssize_t n = ::recvfrom(m_nFront, buffer, sizeof buffer, 0,
                                             reinterpret_cast<sockaddr*>(&client), &len);
                if (n > 0)
                    ::sendto(m_nBack, buffer, static_cast<size_t>(n), 0,
                             reinterpret_cast<const sockaddr*>(&m_agent), sizeof m_agent);
            }
            if (fds[1].revents & POLLIN) {
                const ssize_t n = ::recv(m_nBack, buffer, sizeof buffer, 0);
                if (n > 0) {
                    m_nLargest = std::max(m_nLargest.load(), static_cast<int>(n));
                    ::sendto(m_nFront, buffer, static_cast<size_t>(n), 0,
                             reinterpret_cast<const sockaddr*>(&client), sizeof client);
                }
            }
        }
    }

    int m_nFront = -1;
    int m_nBack = -1;
    sockaddr_in m_agent{};
    std::atomic<bool> m_bStop{false};
    std::atomic<int> m_nLargest{0};
    std::thread m_thread;
};

// A module folder: the model's profile and panel file.
class CModelFolder {
public:
    explicit CModelFolder(const QString& model) {
        const QString source = QStringLiteral(NSW_SOURCE_DIR "/res/profiles/") + model;
        for (const QString& name : QDir(source).entryList(QDir::Files))
            QFile::copy(source + u'/' + name, m_dir.filePath(name));
    }
    QString ProfilePath() const { return m_dir.filePath(QStringLiteral("User.ini")); }

private:
    QTemporaryDir m_dir;
};

long Counter(const CSimProcess& sim, const char* suffix) {
    return sim
        .Get(QStringLiteral("1.3.6.1.4.1.32473.99.") + QLatin1String(suffix),
             QString::fromLatin1(CSimProcess::kControlCommunity))
        .toLong();
}

struct SPassFigures {
    double requests = 0;
    double ms = 0;
    int largestAnswer = 0;
    int ports = 0;
};

SPassFigures MeasurePass(CSimProcess& sim, const char* version) {
    CUdpRelay relay(sim.Port());
    CLaunchFixture launch(relay.Port(), version, CSimProcess::kReadCommunity,
                          CSimProcess::kWriteCommunity);
    CModelFolder folder(QString::fromLatin1(kModel));
    CModuleDlg::SOptions options;
    options.strProfilePath = folder.ProfilePath();
    options.bStartPolling = false;
    CModuleDlg dlg(options);
    dlg.OnInitDialog();
    CPanelDeviceThread& thread = *dlg.PollingThread();
    thread.RunPass(); // warm up: engine discovery, sockets
    constexpr int kPasses = 5;
    SPassFigures figures;
    sim.SetControl(QLatin1String(kCounterReset), QStringLiteral("i"), QStringLiteral("1"));
    relay.ResetLargest();
    QElapsedTimer timer;
    timer.start();
    for (int i = 0; i < kPasses; ++i)
        thread.RunPass();
    figures.ms = timer.nsecsElapsed() / 1e6 / kPasses;
    figures.requests = static_cast<double>(Counter(sim, kCounterAll)) / kPasses;
    figures.largestAnswer = relay.LargestAnswer();
    for (int port = 1; port <= 52; ++port)
        figures.ports += dlg.State().LampCode(port) != 3 ? 1 : 0;
    return figures;
}

// Start-up to the first painted panel, and to the first painted polled panel.
void MeasureStartUp(CSimProcess& sim, CBenchReport& report) {
    CLaunchFixture launch(sim.Port(), "2", CSimProcess::kReadCommunity,
                          CSimProcess::kWriteCommunity);
    CModelFolder folder(QStringLiteral("NSW-4410-28P B1"));
    QElapsedTimer timer;
    timer.start();
    double firstPaint = -1;
    double firstPolled = -1;
    CModuleDlg::SOptions options;
    options.strProfilePath = folder.ProfilePath();
    CModuleDlg dlg(options);
    QEventLoop loop;
    struct SPaintWatch : QObject {
        std::function<void()> onPaint;
        bool eventFilter(QObject*, QEvent* event) override {
            if (event->type() == QEvent::Paint)
                QTimer::singleShot(0, this, [this] { onPaint(); });
            return false;
        }
    } watch;
    watch.onPaint = [&] {
        if (firstPaint < 0)
            firstPaint = timer.nsecsElapsed() / 1e6;
        if (firstPolled < 0 && dlg.State().Polled()) {
            firstPolled = timer.nsecsElapsed() / 1e6;
            loop.quit();
        }
    };
    dlg.View()->installEventFilter(&watch);
    dlg.show();
    QTimer::singleShot(20000, &loop, &QEventLoop::quit);
    loop.exec();
    report.Add(QStringLiteral("start-up to first painted panel"), firstPaint, QStringLiteral("ms"));
    report.Add(QStringLiteral("start-up to first polled panel (first pass waits 500 ms)"),
               firstPolled, QStringLiteral("ms"));
    dlg.done(0);
}

// Closing while the switch is silent and the reachability request waits.
void MeasureClose(CSimProcess& sim, CBenchReport& report) {
    CLaunchFixture launch(sim.Port(), "2", CSimProcess::kReadCommunity,
                          CSimProcess::kWriteCommunity);
    CModelFolder folder(QString::fromLatin1(kModel));
    sim.SetControl(QStringLiteral("4.3.0"), QStringLiteral("i"), QStringLiteral("60000"));
    double worst = 0;
    for (int i = 0; i < 3; ++i) {
        CModuleDlg::SOptions options;
        options.strProfilePath = folder.ProfilePath();
        CModuleDlg dlg(options);
        dlg.OnInitDialog();
        QEventLoop loop;
        QTimer::singleShot(800, &loop, &QEventLoop::quit); // the first pass starts at 500 ms
        loop.exec();
        QElapsedTimer timer;
        timer.start();
        dlg.done(0);
        worst = std::max(worst, timer.nsecsElapsed() / 1e6);
    }
    sim.SetControl(QStringLiteral("4.3.0"), QStringLiteral("i"), QStringLiteral("0"));
    report.Add(QStringLiteral("close with a request in flight (worst of 3)"), worst,
               QStringLiteral("ms"), QStringLiteral("<= 1000"));
}

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    qputenv("MIBS", "");
    QApplication app(argc, argv);
    CBenchReport report(argc, argv);
    SnmpInit(&app);

    CSimProcess sim;
    if (!sim.Start({QStringLiteral("--model"), QString::fromLatin1(kModel)})) {
        std::fprintf(stderr, "nsw-sim did not start: %s\n", qPrintable(sim.Output()));
        return 1;
    }
    const SPassFigures v1 = MeasurePass(sim, "1");
    const SPassFigures v2 = MeasurePass(sim, "2");
    report.Add(QStringLiteral("52 ports v1: requests per pass"), v1.requests,
               QStringLiteral("req"));
    report.Add(QStringLiteral("52 ports v2c: requests per pass"), v2.requests,
               QStringLiteral("req"));
    report.Add(QStringLiteral("52 ports v2c / v1 requests"), v2.requests / v1.requests,
               QStringLiteral("x"), QStringLiteral("<= 0.2"));
    report.Add(QStringLiteral("52 ports v1: largest answer"), v1.largestAnswer,
               QStringLiteral("bytes"), QStringLiteral("<= %1").arg(kEthernetPayload));
    report.Add(QStringLiteral("52 ports v2c: largest answer"), v2.largestAnswer,
               QStringLiteral("bytes"), QStringLiteral("<= %1").arg(kEthernetPayload));
    report.Add(QStringLiteral("52 ports v1: time per pass"), v1.ms, QStringLiteral("ms"));
    report.Add(QStringLiteral("52 ports v2c: time per pass"), v2.ms, QStringLiteral("ms"));
    if (v1.ports != v2.ports || v2.ports == 0)
        std::fprintf(stderr, "passes disagree: %d and %d ports polled\n", v1.ports, v2.ports);

    MeasureStartUp(sim, report);
    MeasureClose(sim, report);
    return 0;
}
