// One page with a walk per family opened and closed 1,000 times against
// nsw-sim while its first load runs (as the stress tests do): the worst and
// the median time a close takes (close and destruction). A close should
// return within 200 ms.

#include "BenchReport.h"
#include "LaunchFixture.h"
#include "ModelSim.h"
#include "PageCycles.h"
#include "SimProcess.h"
#include "device/DeviceProfile.h"
#include "pages/Pages.h"
#include "platform/MessageBox.h"
#include "snmp/engine/SnmpInit.h"

#include <QApplication>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

const QString kModel = QStringLiteral("NSW-4410-28P B1");
constexpr int kCycles = 1000;

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    qputenv("MIBS", "");
    QApplication app(argc, argv);
    SnmpInit(nullptr);
    CBenchReport report(argc, argv);
    RegisterAllPages();
    CMessageRecorder boxes(QMessageBox::Ok);

    CSimProcess sim;
    if (!StartModelSim(sim, kModel))
        return 1;
    CLaunchFixture launch(sim.Port(), "2", CSimProcess::kReadCommunity,
                          CSimProcess::kWriteCommunity);

    qint64 worstOfAll = 0;
    for (const SCyclePage& page : CyclePages()) {
        std::vector<qint64> closes;
        closes.reserve(kCycles);
        for (int i = 0; i < kCycles; ++i) {
            const qint64 us = OpenAndClose(page.command, i % 4);
            if (us < 0) {
                std::fprintf(stderr, "no page for %d\n", page.command);
                return 1;
            }
            closes.push_back(us);
        }
        std::sort(closes.begin(), closes.end());
        const QString name = QStringLiteral("page close %1 (%2), %3 cycles")
                                 .arg(QLatin1String(page.family))
                                 .arg(page.command)
                                 .arg(kCycles);
        report.Add(name + QStringLiteral(": worst"), closes.back() / 1000.0, QStringLiteral("ms"),
                   QStringLiteral("<= 200"));
        report.Add(name + QStringLiteral(": median"), closes[closes.size() / 2] / 1000.0,
                   QStringLiteral("ms"));
        worstOfAll = std::max(worstOfAll, closes.back());
    }
    report.Add(QStringLiteral("page close: worst of every family"), worstOfAll / 1000.0,
               QStringLiteral("ms"), QStringLiteral("<= 200"));
    return 0;
}
