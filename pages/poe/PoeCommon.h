#pragma once

// What the PoE pages share: their objects, the value maps of the port table,
// the time-range texts, and the checks of the entries (plain functions that
// return the message to show, empty when all pass).

#include <QString>
#include <QStringList>

namespace PoeOid {
inline const QString kThreshold = QStringLiteral("1.3.6.1.4.1.32473.10.75.7.22.2.0");
inline const QString kSequence = QStringLiteral("1.3.6.1.4.1.32473.10.75.7.22.3.0");
inline const QString kBudget = QStringLiteral("1.3.6.1.4.1.32473.10.75.7.22.4.0");
inline const QString kUsed = QStringLiteral("1.3.6.1.4.1.32473.10.75.7.22.5.0");
inline const QString kLeft = QStringLiteral("1.3.6.1.4.1.32473.10.75.7.22.6.0");
inline const QString kPercent = QStringLiteral("1.3.6.1.4.1.32473.10.75.7.22.7.0");
// Port table column n: kPort + n, instance .1.<port>.
inline const QString kPort = QStringLiteral("1.3.6.1.4.1.32473.10.75.7.22.1.1.");
// Time ranges column n: kRange + n, instance .<entry>.
inline const QString kRange = QStringLiteral("1.3.6.1.4.1.32473.10.75.7.23.1.1.");
inline const QString kRangeName = QStringLiteral("1.3.6.1.4.1.32473.10.75.7.32.1.1.");
} // namespace PoeOid

// Port table columns.
namespace PoeCol {
constexpr int kState = 3, kTimeRange = 4, kPriority = 5, kClass = 6, kUserLimitOn = 7,
              kUserLimit = 8;
}
// Time range columns.
namespace RangeCol {
constexpr int kName = 2, kDateOn = 3, kFromYear = 4, kFromMonth = 5, kFromDay = 6, kStartHour = 7,
              kStartMinute = 8, kToYear = 9, kToMonth = 10, kToDay = 11, kEndHour = 12,
              kEndMinute = 13, kMonday = 14, kRowStatus = 21;
constexpr int kColumns = 21;
} // namespace RangeCol
constexpr int kMaxTimeRanges = 8;

// "instance" of a port table cell: column.1.port.
QString PoePortCell(int column, int port);
QString TimeRangeCell(int column, int entry);

// Value maps of the port table, as the list shows them.
QString PoeStateText(const QString& value);    // "1" Enable, else Disable
QString PoePriorityText(const QString& value); // 1 Low, 2 Normal, else High
QString PoeClassText(const QString& value);    // 1 Auto, 2-5 Class 1-4, else empty
const QStringList& PoePriorityNames();         // Low, Normal, High
const QStringList& PoeClassNames();            // Auto, Class 1 ... Class 4

// Ports the PoE port page offers.
int PoePortPageCount(const QString& model);

// The threshold's range the global page states for the model, and whether it
// checks it before sending.
struct SThresholdRange {
    double low = 7.1;
    double high = 185.0;
    bool checked = false;
};
SThresholdRange ThresholdRange(const QString& model);
QString ThresholdLabel(const QString& model);
// The global page's check of a changed threshold.
QString CheckThreshold(const QString& model, const QString& text);

// The port page's check of a user-defined limit (watts in steps of 0.2).
QString CheckPortPowerLimit(const QString& text);

// One time range as the editor holds it.
struct STimeRange {
    QString name;
    bool dateOn = false;
    int fromYear = 2009, fromMonth = 1, fromDay = 1;
    int toYear = 2037, toMonth = 12, toDay = 31;
    int startHour = 0, startMinute = 0;
    int endHour = 23, endMinute = 59;
    bool days[7] = {}; // Monday first
};
QString CheckTimeRange(const STimeRange& range);

// List texts of a time range row (cells of columns 1 to 21, in order).
QString WeekdaysText(const bool days[7]);
QString DayText(int year, int month, int day);
QString ClockText(int hour, int minute);
