// Every registered page opened against nsw-sim, on v2c and on v1: the
// requests the switch served until the page was loaded, and the time from
// showing it to its last load outcome. GETBULK should make a walked table of
// ten rows or more cost at most a fifth of its v1 requests; a page without a
// prescribed wait should be loaded within 100 ms on loopback.

#include "BenchReport.h"
#include "LaunchFixture.h"
#include "ModelSim.h"
#include "SimProcess.h"
#include "device/DeviceProfile.h"
#include "pages/Pages.h"
#include "panel/ModuleMenu.h"
#include "panel/PageRegistry.h"
#include "platform/MessageBox.h"
#include "snmp/PageBase.h"
#include "snmp/engine/SnmpInit.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTest>

#include <cstdio>
#include <map>

namespace {

const QString kModel = QStringLiteral("NSW-4410-28P B1");
constexpr int kQuietMs = 150;   // no further outcome for this long: loaded
constexpr int kLimitMs = 30000; // a page that never settles is reported as such

struct SOpen {
    QString caption;
    int requests = 0;
    double loadedMs = -1; // -1: did not settle
};

int Served(const CSimProcess& sim) {
    return sim.Get(QStringLiteral("1.3.6.1.4.1.32473.99.3.5.0"), CSimProcess::kControlCommunity).toInt();
}

SOpen OpenOnce(const CSimProcess& sim, int command) {
    SOpen result;
    sim.SetControl(QStringLiteral("3.6.0"), QStringLiteral("i"), QStringLiteral("1"));
    std::unique_ptr<QDialog> dialog = CreatePage(command, nullptr);
    auto* page = qobject_cast<CPageBase*>(dialog.get());
    if (!page)
        return result;
    result.caption = page->windowTitle();
    QElapsedTimer clock;
    double lastOutcomeMs = -1;
    QObject::connect(page, &CPageBase::OutcomeShown,
                     [&] { lastOutcomeMs = clock.nsecsElapsed() / 1e6; });
    clock.start();
    page->show();
    QElapsedTimer quiet;
    quiet.start();
    int serial = 0;
    while (clock.elapsed() < kLimitMs) {
        QTest::qWait(5);
        if (page->OutcomeSerial() != serial || page->IsBusy()) {
            serial = page->OutcomeSerial();
            quiet.restart();
        } else if (serial > 0 && quiet.elapsed() >= kQuietMs) {
            result.loadedMs = lastOutcomeMs;
            break;
        }
    }
    page->reject();
    dialog.reset();
    result.requests = Served(sim);
    return result;
}

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    qputenv("MIBS", "");
    QApplication app(argc, argv);
    SnmpInit(nullptr);
    CBenchReport report(argc, argv);
    RegisterAllPages();
    CMessageRecorder boxes(QMessageBox::Cancel);

    CSimProcess sim;
    if (!StartModelSim(sim, kModel))
        return 1;

    std::map<int, SOpen> v2c, v1;
    for (const char* version : {"2", "1"}) {
        CLaunchFixture launch(sim.Port(), version, CSimProcess::kReadCommunity,
                              CSimProcess::kWriteCommunity);
        for (int command : PageCommands()) {
            if (!IsPageRegistered(command))
                continue;
            (version[0] == '2' ? v2c : v1)[command] = OpenOnce(sim, command);
        }
    }
    for (const auto& [command, open] : v2c) {
        const SOpen& old = v1[command];
        const QString name = QStringLiteral("page open %1 %2").arg(command).arg(open.caption.trimmed());
        // The fifth applies where v1 needs ten requests or more (a walk of ten rows).
        report.Add(name + QStringLiteral(": v2c / v1 requests"),
                   old.requests > 0 ? double(open.requests) / old.requests : 0, QStringLiteral("ratio"),
                   old.requests >= 10 ? QStringLiteral("<= 0.2") : QString());
        report.Add(name + QStringLiteral(": v2c requests"), open.requests, QStringLiteral("requests"));
        report.Add(name + QStringLiteral(": v1 requests"), old.requests, QStringLiteral("requests"));
        report.Add(name + QStringLiteral(": v2c open to loaded"), open.loadedMs, QStringLiteral("ms"),
                   QStringLiteral("<= 100"));
    }
    return 0;
}
