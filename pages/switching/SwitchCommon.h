#pragma once

// What the switching pages share: the objects several of them read, the
// synchronous table walk, link-aggregation membership per port, and the rows
// of per-port check boxes.

#include "snmp/PageLink.h"

#include <QString>
#include <QStringList>

#include <optional>
#include <span>
#include <vector>

class QCheckBox;
class QWidget;

namespace SwOid {
// Link aggregation.
inline const QString kTrunkState = QStringLiteral("1.3.6.1.4.1.32473.10.75.7.8.1.2.0");
inline const QString kTrunkMembers = QStringLiteral("1.3.6.1.4.1.32473.10.75.7.8.1.3.1.2");
inline const QString kTrunkMode = QStringLiteral("1.3.6.1.4.1.32473.10.75.7.8.1.3.1.3");
// Static VLAN table and VLAN objects.
inline const QString kVlanName = QStringLiteral("1.3.6.1.4.1.32473.10.75.7.7.6.1.1");
inline const QString kVlanEgress = QStringLiteral("1.3.6.1.4.1.32473.10.75.7.7.6.1.2");
inline const QString kVlanUntagged = QStringLiteral("1.3.6.1.4.1.32473.10.75.7.7.6.1.4");
inline const QString kVlanRowStatus = QStringLiteral("1.3.6.1.4.1.32473.10.75.7.7.6.1.5");
inline const QString kVlanMode = QStringLiteral("1.3.6.1.4.1.32473.10.75.7.7.5.0");
inline const QString kPvid = QStringLiteral("1.3.6.1.4.1.32473.10.75.7.7.7.1.1");
// Port control table.
inline const QString kPortSpeed = QStringLiteral("1.3.6.1.4.1.32473.10.75.7.1.13.1.2");
inline const QString kPortOperMode = QStringLiteral("1.3.6.1.4.1.32473.10.75.7.1.13.1.3");
inline const QString kPortFlow = QStringLiteral("1.3.6.1.4.1.32473.10.75.7.1.13.1.5");
inline const QString kPortOperFlow = QStringLiteral("1.3.6.1.4.1.32473.10.75.7.1.13.1.6");
inline const QString kPortMedia = QStringLiteral("1.3.6.1.4.1.32473.10.75.7.1.13.1.7");
inline const QString kPortPriority = QStringLiteral("1.3.6.1.4.1.32473.10.75.7.12.3.1.1.2");
} // namespace SwOid

// Per port (index = port - 1): the aggregation group the port belongs to, 0
// for none, from rows of the member column. Ports beyond portCount are ignored.
std::vector<int> LagOfPorts(const std::vector<SSnmpRow>& memberRows, int portCount);
// Reads the member column; empty when the walk failed.
std::optional<std::vector<int>> LoadLagOfPorts(CCommonSNMP& session, int portCount);

// Per port: 1 when the port is in the PortList bitmap, else 0.
std::vector<int> PortFlagsOf(const QByteArray& bitmap, int portCount);
// Port-range text of flags ("1-3,5"); count receives the number of ports.
QString PortRangeText(const std::vector<int>& flags, int* count = nullptr);

// Check boxes for ports 1 to portCount, each with its control id (firstId +
// port - 1), made as children of parent.
std::vector<QCheckBox*> MakePortCheckBoxes(QWidget* parent, int portCount, int firstId,
                                           const QString& text = QString());
// The ports per row of a port grid: two rows on 48- and 52-port switches.
int PortsPerGridRow(int portCount);
