#include "PoeCommon.h"

#include "device/ModelVariants.h"
#include "snmp/Encodings.h"

#include <cmath>

QString PoePortCell(int column, int port) {
    return PoeOid::kPort + QStringLiteral("%1.1.%2").arg(column).arg(port);
}

QString TimeRangeCell(int column, int entry) {
    return PoeOid::kRange + QStringLiteral("%1.%2").arg(column).arg(entry);
}

QString PoeStateText(const QString& value) {
    return value == u"1" ? QStringLiteral("Enable") : QStringLiteral("Disable");
}

QString PoePriorityText(const QString& value) {
    if (value == u"1")
        return QStringLiteral("Low");
    if (value == u"2")
        return QStringLiteral("Normal");
    return QStringLiteral("High");
}

QString PoeClassText(const QString& value) {
    // Compared before the step down: the switch may send INT_MIN.
    const int number = value.toInt();
    return number >= 1 && number <= PoeClassNames().size() ? PoeClassNames()[number - 1] : QString();
}

const QStringList& PoePriorityNames() {
    static const QStringList names = {QStringLiteral("Low"), QStringLiteral("Normal"),
                                      QStringLiteral("High")};
    return names;
}

const QStringList& PoeClassNames() {
    static const QStringList names = {QStringLiteral("Auto"), QStringLiteral("Class 1"),
                                      QStringLiteral("Class 2"), QStringLiteral("Class 3"),
                                      QStringLiteral("Class 4")};
    return names;
}

int PoePortPageCount(const QString& model) {
    // The 28P without "B1" has the same 24 PoE ports as the B1.
    return PoeConfigHas24Ports(model) || PoePortCount(model) == 24 ? 24 : 8;
}

SThresholdRange ThresholdRange(const QString& model) {
    if (PoeGlobalHasThresholdLabel(model))
        return {7.1, 78.0, true};
    return {7.1, 185.0, PoeGlobalIs28PB1(model)};
}

QString ThresholdLabel(const QString& model) {
    return PoeGlobalHasThresholdLabel(model) ? QStringLiteral("PoE Power Threshold  (7.1-78.0)")
                                             : QStringLiteral("PoE Power Threshold  (7.1-185.0)");
}

QString CheckThreshold(const QString& model, const QString& text) {
    const SThresholdRange range = ThresholdRange(model);
    if (!range.checked)
        return QString();
    // A text that is no number reads as 0, as the decimal conversion does.
    const double watts = text.trimmed().toDouble();
    if (watts < range.low - 1e-9 || watts > range.high + 1e-9)
        return QStringLiteral("The System Power Threshold ranges between 7.1 ~ %1.")
            .arg(range.high, 0, 'f', 1);
    return QString();
}

QString CheckPortPowerLimit(const QString& text) {
    const double times5 = text.trimmed().toDouble() * 5;
    if (std::fabs(times5 - std::trunc(times5)) > 0.000001 &&
        std::fabs(times5 - std::round(times5)) > 0.000001)
        return QStringLiteral("The per-port power limit must be a multiple of 0.2");
    return QString();
}

QString CheckTimeRange(const STimeRange& r) {
    if (r.name.isEmpty())
        return QStringLiteral("The TimeRange name can not be empty,please input it.");
    if (!IsValidName(r.name))
        return QStringLiteral("Invalid TimeRange Name.");
    if (r.dateOn) {
        // Later fields count only while the earlier ones are equal.
        if (r.toYear < r.fromYear)
            return QStringLiteral("'To year' can't be less than 'From year'");
        if (r.toYear == r.fromYear && r.toMonth < r.fromMonth)
            return QStringLiteral("'To month' can't be less than 'From month'");
        if (r.toYear == r.fromYear && r.toMonth == r.fromMonth && r.toDay < r.fromDay)
            return QStringLiteral("'To day' can't be less than 'From day'");
    }
    if (r.startHour * 60 + r.startMinute > r.endHour * 60 + r.endMinute)
        return QStringLiteral("'Start Time' can't be grater than 'End Time'");
    return QString();
}

QString WeekdaysText(const bool days[7]) {
    static const char* const kNames[7] = {"Mon,", "Tue,", "Wed,", "Thu,", "Fri,", "Sat,", "Sun,"};
    QString text;
    for (int d = 0; d < 7; ++d)
        if (days[d])
            text += QLatin1String(kNames[d]);
    return text;
}

QString DayText(int year, int month, int day) {
    return QStringLiteral("%1/%2/%3").arg(year).arg(month).arg(day);
}

QString ClockText(int hour, int minute) {
    return QStringLiteral("%1:%2")
        .arg(hour, 2, 10, QLatin1Char('0'))
        .arg(minute, 2, 10, QLatin1Char('0'));
}
