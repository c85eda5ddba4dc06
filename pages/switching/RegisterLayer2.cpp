#include "RegisterLayer2.h"

#include "Layer2.h"
#include "Stp.h"
#include "panel/PageRegistry.h"
#include "snmp/Outcome.h"

void RegisterLayer2Pages() {
    RegisterObjectNames({{"1.3.6.1.4.1.32473.10.75.7.1.12", "jumboFrameState"},
                         {"1.3.6.1.4.1.32473.10.75.7.6.1.1", "rstpState"},
                         {"1.3.6.1.4.1.32473.10.75.7.6.1.2", "rstpVersion"},
                         {"1.3.6.1.4.1.32473.10.75.7.6.2.1.2", "rstpPortPriority"},
                         {"1.3.6.1.4.1.32473.10.75.7.6.2.1.4", "rstpPortEnable"},
                         {"1.3.6.1.4.1.32473.10.75.7.6.2.1.5", "rstpPortPathCost"},
                         {"1.3.6.1.4.1.32473.10.75.7.7.8.1.1", "vlanMulticastVid"},
                         {"1.3.6.1.4.1.32473.10.75.7.7.8.1.2", "vlanMulticastMode"},
                         {"1.3.6.1.4.1.32473.10.75.7.17.5.1.2", "loopbackDetectState"}});
    RegisterPage(32813, [](QWidget* parent) { return std::make_unique<CStpBridgePage>(parent); });
    RegisterPage(32817, [](QWidget* parent) { return std::make_unique<CJumboFramePage>(parent); });
    RegisterPage(32830,
                 [](QWidget* parent) { return std::make_unique<CMulticastFilterPage>(parent); });
}
