#pragma once

// What the traffic pages share: their objects, the models that offer
// mirroring and bandwidth control, the port grids, and the rule that a
// setting which must match across an aggregated link takes whole links.

#include "snmp/PageLink.h"

#include <QString>

#include <vector>

class CPageBase;
class QCheckBox;
class QWidget;

namespace TrOid {
// Port mirroring.
inline const QString kMirrorState = QStringLiteral("1.3.6.1.4.1.32473.10.75.7.18.1.0");
inline const QString kMirrorTarget = QStringLiteral("1.3.6.1.4.1.32473.10.75.7.18.2.0");
inline const QString kMirrorIngress = QStringLiteral("1.3.6.1.4.1.32473.10.75.7.18.3.0");
inline const QString kMirrorEgress = QStringLiteral("1.3.6.1.4.1.32473.10.75.7.18.4.0");
// Rate control (Kbit/s, 0 no limit) and per-port storm control.
inline const QString kRateIngress = QStringLiteral("1.3.6.1.4.1.32473.10.75.7.13.1.2.1.2");
inline const QString kRateEgress = QStringLiteral("1.3.6.1.4.1.32473.10.75.7.13.1.2.1.3");
inline const QString kStormPortIndex = QStringLiteral("1.3.6.1.4.1.32473.10.75.7.13.4.2.1.1");
inline const QString kStormPortType = QStringLiteral("1.3.6.1.4.1.32473.10.75.7.13.4.2.1.3");
inline const QString kStormPortRate = QStringLiteral("1.3.6.1.4.1.32473.10.75.7.13.4.2.1.4");
// IGMP snooping.
inline const QString kIgmpState = QStringLiteral("1.3.6.1.4.1.32473.10.75.7.19.1.0");
inline const QString kIgmpHostTimeout = QStringLiteral("1.3.6.1.4.1.32473.10.75.7.19.2.0");
inline const QString kIgmpQuerier = QStringLiteral("1.3.6.1.4.1.32473.10.75.7.19.3.0");
inline const QString kIgmpVlanVid = QStringLiteral("1.3.6.1.4.1.32473.10.75.7.19.4.1.1");
inline const QString kIgmpVlanState = QStringLiteral("1.3.6.1.4.1.32473.10.75.7.19.4.1.2");
inline const QString kIgmpVlanFastLeave = QStringLiteral("1.3.6.1.4.1.32473.10.75.7.19.4.1.3");
// Static unicast addresses, indexed by VID and the six MAC octets.
inline const QString kStaticMacVid = QStringLiteral("1.3.6.1.4.1.32473.10.75.7.9.4.1.1");
inline const QString kStaticMacAddress = QStringLiteral("1.3.6.1.4.1.32473.10.75.7.9.4.1.2");
inline const QString kStaticMacPort = QStringLiteral("1.3.6.1.4.1.32473.10.75.7.9.4.1.3");
inline const QString kStaticMacStatus = QStringLiteral("1.3.6.1.4.1.32473.10.75.7.9.4.1.4");
} // namespace TrOid

// Names of the objects above for the outcome line.
void RegisterTrafficObjectNames();

bool ModelHasMirroring(const QString& model);
bool ModelHasBandwidthControl(const QString& model);

// The first aggregation group of which the selected ports (flags, index =
// port - 1) take some members but not all; 0 when none is split.
int SplitGroup(const std::vector<int>& lagOfPort, const std::vector<int>& flags);

// Ports of the checked boxes as flags.
std::vector<int> FlagsOf(const std::vector<QCheckBox*>& boxes);
void SetFlags(const std::vector<QCheckBox*>& boxes, const std::vector<int>& flags);
// A titled grid of port check boxes (ids firstId + port - 1) with the port
// numbers above them; the boxes are appended to boxes.
QWidget* MakePortGrid(QWidget* parent, const QString& title, int portCount, int firstId,
                      std::vector<QCheckBox*>& boxes);

// Pages of features the model lacks: the controls stay disabled and the
// outcome line says why.
void ShowNotOffered(CPageBase& page, QWidget* body, const QString& feature, const QString& model);
