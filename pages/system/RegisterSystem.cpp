#include "RegisterSystem.h"

#include "DeviceConfig.h"
#include "ManagementVlan.h"
#include "PowerSaving.h"
#include "Surveillance.h"
#include "SystemCommon.h"
#include "TimeProfile.h"
#include "panel/PageRegistry.h"

namespace {

template <class Page> void Register(int commandId) {
    RegisterPage(commandId, [](QWidget* parent) { return std::make_unique<Page>(parent); });
}

} // namespace

void RegisterSystemPages() {
    RegisterSystemObjectNames();
    Register<CTimeProfilePage>(32849);
    Register<CPowerSavingPage>(32850);
    Register<CManagementVlanPage>(32854);
    Register<CSurveillancePage>(32828);
    Register<CSurveillanceOuiPage>(32831); // opened from 32828
    Register<CDeviceConfigPage>(32775);
}
