#pragma once

// What the system pages share: their objects, the time-range names, the
// active VLANs, a port range chooser and the row of page buttons.

#include "snmp/PageBase.h"

#include <QString>

#include <initializer_list>
#include <utility>
#include <vector>

class QComboBox;
class QHBoxLayout;

namespace SysOid {
inline const QString kBase = QStringLiteral("1.3.6.1.4.1.32473.10.75.7.");
// Time ranges (time profiles) and the names of the active ones.
inline const QString kRange = kBase + QStringLiteral("23.1.1");
inline const QString kRangeNameIndex = kBase + QStringLiteral("32.1.1.1");
inline const QString kRangeName = kBase + QStringLiteral("32.1.1.2");
// Power saving.
inline const QString kLinkDetect = kBase + QStringLiteral("40.1.0");
inline const QString kLengthDetect = kBase + QStringLiteral("40.2.0");
inline const QString kLedShutOff = kBase + QStringLiteral("40.3.0");
inline const QString kPortShutOff = kBase + QStringLiteral("40.5.1.2");
inline const QString kPortTimeRange = kBase + QStringLiteral("40.5.1.3");
// Management VLAN.
inline const QString kMgmtState = kBase + QStringLiteral("41.1.0");
inline const QString kMgmtVid = kBase + QStringLiteral("41.2.0");
// Auto surveillance VLAN.
inline const QString kSurvState = kBase + QStringLiteral("26.1.1.0");
inline const QString kSurvVid = kBase + QStringLiteral("26.1.2.0");
inline const QString kSurvPriority = kBase + QStringLiteral("26.1.3.0");
inline const QString kSurvAging = kBase + QStringLiteral("26.1.4.0");
inline const QString kOuiAddress = kBase + QStringLiteral("26.2.1.2");
inline const QString kOuiDescription = kBase + QStringLiteral("26.2.1.3");
inline const QString kOuiRowStatus = kBase + QStringLiteral("26.2.1.4");
inline const QString kSurvPortMode = kBase + QStringLiteral("34.1.5.1.2");
inline const QString kSurvPortDynamic = kBase + QStringLiteral("34.1.5.1.3");
// VLANs.
inline const QString kVlanRowStatus = kBase + QStringLiteral("7.6.1.5");
inline const QString kVlanMode = kBase + QStringLiteral("7.5.0");
} // namespace SysOid

// Names the system objects for the outcome line.
void RegisterSystemObjectNames();

// The active time ranges, in walk order.
struct STimeRangeName {
    int index = 0;
    QString name;
};
std::vector<STimeRangeName> LoadTimeRangeNames(CCommonSNMP& session);
// The name of the range with this index; "N/A" for 0, empty when none matches.
QString TimeRangeText(const std::vector<STimeRangeName>& names, int index);

// The VIDs of the active VLANs.
std::vector<int> LoadActiveVlans(CCommonSNMP& session);

// A whole number lo..hi; false for anything else (blanks around it pass).
bool ParseNumber(const QString& text, int lo, int hi, int& value);

// "'To Port' can not be smaller than 'From Port'" or empty.
QString CheckPortRange(int from, int to);

// "From Port" and "To Port" choosers of 1 to portCount; a new "From Port"
// moves "To Port" with it.
void FillPortRange(QComboBox* from, QComboBox* to, int portCount);

// The page's buttons, right-aligned, in order.
QHBoxLayout* ButtonRow(CPageBase& page, std::initializer_list<std::pair<QString, int>> buttons);
