#include "RegisterPoe.h"

#include "PoeGlobal.h"
#include "PoePort.h"
#include "TimeRange.h"
#include "device/ModelVariants.h"
#include "panel/PageRegistry.h"
#include "snmp/Outcome.h"

namespace {

template <class Page> void Register(int commandId) {
    RegisterPage(commandId, [](QWidget* parent) { return std::make_unique<Page>(parent); });
}

} // namespace

void RegisterPoePages() {
    Register<CPoeGlobalPage>(MenuCommand::kPoeGlobalSettings);
    Register<CPoePortPage>(MenuCommand::kPoePortConfig);
    Register<CTimeRangePage>(MenuCommand::kPoeTimeRange);
    RegisterObjectNames({
        {"1.3.6.1.4.1.32473.10.75.7.22.2", "PoE power threshold"},
        {"1.3.6.1.4.1.32473.10.75.7.22.3", "PoE shut-off sequence"},
        {"1.3.6.1.4.1.32473.10.75.7.22.4", "PoE power budget"},
        {"1.3.6.1.4.1.32473.10.75.7.22.5", "PoE power used"},
        {"1.3.6.1.4.1.32473.10.75.7.22.6", "PoE power left"},
        {"1.3.6.1.4.1.32473.10.75.7.22.7", "PoE power supplied"},
        {"1.3.6.1.4.1.32473.10.75.7.22.1.1.3", "PoE port state"},
        {"1.3.6.1.4.1.32473.10.75.7.22.1.1.4", "PoE port time range"},
        {"1.3.6.1.4.1.32473.10.75.7.22.1.1.5", "PoE port priority"},
        {"1.3.6.1.4.1.32473.10.75.7.22.1.1.6", "PoE port power limit class"},
        {"1.3.6.1.4.1.32473.10.75.7.22.1.1.7", "PoE port user limit in force"},
        {"1.3.6.1.4.1.32473.10.75.7.22.1.1.8", "PoE port user power limit"},
        {"1.3.6.1.4.1.32473.10.75.7.22.1.1", "PoE port table"},
        {"1.3.6.1.4.1.32473.10.75.7.23.1.1.2", "time range name"},
        {"1.3.6.1.4.1.32473.10.75.7.23.1.1.21", "time range row status"},
        {"1.3.6.1.4.1.32473.10.75.7.23.1.1", "time range table"},
        {"1.3.6.1.4.1.32473.10.75.7.32.1.1", "time range names"},
    });
}
