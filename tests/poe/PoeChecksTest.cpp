// The PoE pages' checks and value maps, without widgets.
#include "pages/poe/PoeCommon.h"

#include <gtest/gtest.h>

#include "QtPrint.h"

TEST(PoeChecks, ThresholdRangeAndLabelByModel) {
    const QString ngx = QStringLiteral("NGX-4410-10P B1");
    const QString nsw = QStringLiteral("NSW-4410-28P B1");
    EXPECT_EQ(ThresholdLabel(ngx), "PoE Power Threshold  (7.1-78.0)");
    EXPECT_EQ(ThresholdLabel(nsw), "PoE Power Threshold  (7.1-185.0)");
    EXPECT_EQ(ThresholdLabel(QStringLiteral("NSW-4410-08P B1")),
              "PoE Power Threshold  (7.1-185.0)");
    for (const char* ok : {"7.1", "78.0", "78", "40.5"})
        EXPECT_EQ(CheckThreshold(ngx, QLatin1String(ok)), "") << ok;
    for (const char* bad : {"7.0", "78.1", "185.0", "abc", ""})
        EXPECT_EQ(CheckThreshold(ngx, QLatin1String(bad)),
                  "The System Power Threshold ranges between 7.1 ~ 78.0.")
            << bad;
    EXPECT_EQ(CheckThreshold(nsw, QStringLiteral("185.0")), "");
    EXPECT_EQ(CheckThreshold(nsw, QStringLiteral("7.1")), "");
    EXPECT_EQ(CheckThreshold(nsw, QStringLiteral("7.0")),
              "The System Power Threshold ranges between 7.1 ~ 185.0.");
    EXPECT_EQ(CheckThreshold(nsw, QStringLiteral("185.1")),
              "The System Power Threshold ranges between 7.1 ~ 185.0.");
    // Other models leave the range to the switch.
    EXPECT_EQ(CheckThreshold(QStringLiteral("NSW-4410-08P B1"), QStringLiteral("500")), "");
    EXPECT_EQ(CheckThreshold(QStringLiteral("NGX-4410-10P"), QStringLiteral("1")), "");
}

TEST(PoeChecks, PortPowerLimitInStepsOfTwoTenths) {
    for (const char* ok : {"16", "16.2", "0.6", "30", "30.0", "0", "12.4"})
        EXPECT_EQ(CheckPortPowerLimit(QLatin1String(ok)), "") << ok;
    for (const char* bad : {"16.1", "0.1", "15.35", "29.9"})
        EXPECT_EQ(CheckPortPowerLimit(QLatin1String(bad)),
                  "The per-port power limit must be a multiple of 0.2")
            << bad;
}

TEST(PoeChecks, PortPageOffersPortsByModel) {
    EXPECT_EQ(PoePortPageCount(QStringLiteral("NSW-4410-28P B1")), 24);
    EXPECT_EQ(PoePortPageCount(QStringLiteral("NSW-4410-28P")), 24);
    EXPECT_EQ(PoePortPageCount(QStringLiteral("NGX-4410-10P B1")), 8);
    EXPECT_EQ(PoePortPageCount(QStringLiteral("NSW-4410-08P B1")), 8);
    EXPECT_EQ(PoePortPageCount(QStringLiteral("NSW-4410-28 B1")), 8);
}

TEST(PoeChecks, TimeRangeChecksInOrder) {
    STimeRange r;
    r.name = QStringLiteral("office");
    EXPECT_EQ(CheckTimeRange(r), "");
    STimeRange unnamed = r;
    unnamed.name.clear();
    unnamed.startHour = 23; // later checks do not come first
    EXPECT_EQ(CheckTimeRange(unnamed), "The TimeRange name can not be empty,please input it.");
    for (const char* bad : {"a.b", "x/y", "semi;colon", "q?"}) {
        STimeRange named = r;
        named.name = QLatin1String(bad);
        EXPECT_EQ(CheckTimeRange(named), "Invalid TimeRange Name.") << bad;
    }

    STimeRange dated = r;
    dated.dateOn = true;
    auto dates = [&](int fy, int fm, int fd, int ty, int tm, int td) {
        STimeRange d = dated;
        d.fromYear = fy, d.fromMonth = fm, d.fromDay = fd;
        d.toYear = ty, d.toMonth = tm, d.toDay = td;
        d.startHour = 20; // the time check comes after the dates
        d.endHour = 8;
        return CheckTimeRange(d);
    };
    EXPECT_EQ(dates(2021, 1, 1, 2020, 12, 31), "'To year' can't be less than 'From year'");
    EXPECT_EQ(dates(2020, 6, 1, 2020, 5, 31), "'To month' can't be less than 'From month'");
    EXPECT_EQ(dates(2020, 6, 10, 2020, 6, 9), "'To day' can't be less than 'From day'");
    // A later year or month allows any later field.
    const QString time = QStringLiteral("'Start Time' can't be grater than 'End Time'");
    EXPECT_EQ(dates(2020, 12, 31, 2021, 1, 1), time);
    EXPECT_EQ(dates(2020, 5, 31, 2020, 6, 1), time);
    EXPECT_EQ(dates(2020, 6, 9, 2020, 6, 9), time);
    STimeRange undated = r;
    undated.fromYear = 2030; // ignored without "Date"
    undated.toYear = 2010;
    EXPECT_EQ(CheckTimeRange(undated), "");

    STimeRange times = r;
    times.startHour = 8, times.startMinute = 31, times.endHour = 8, times.endMinute = 30;
    EXPECT_EQ(CheckTimeRange(times), time);
    times.endMinute = 31;
    EXPECT_EQ(CheckTimeRange(times), "") << "start may equal end";
}

TEST(PoeChecks, ListTexts) {
    EXPECT_EQ(PoeStateText("1"), "Enable");
    EXPECT_EQ(PoeStateText("2"), "Disable");
    EXPECT_EQ(PoeStateText(""), "Disable");
    EXPECT_EQ(PoePriorityText("1"), "Low");
    EXPECT_EQ(PoePriorityText("2"), "Normal");
    EXPECT_EQ(PoePriorityText("3"), "High");
    EXPECT_EQ(PoePriorityText("9"), "High");
    EXPECT_EQ(PoeClassText("1"), "Auto");
    EXPECT_EQ(PoeClassText("5"), "Class 4");
    EXPECT_EQ(PoeClassText("6"), "");
    EXPECT_EQ(PoeClassText("0"), "");
    const bool days[7] = {true, false, true, false, false, false, true};
    EXPECT_EQ(WeekdaysText(days), "Mon,Wed,Sun,");
    const bool none[7] = {};
    EXPECT_EQ(WeekdaysText(none), "");
    EXPECT_EQ(ClockText(8, 5), "08:05");
    EXPECT_EQ(ClockText(23, 59), "23:59");
    EXPECT_EQ(DayText(2026, 1, 9), "2026/1/9");
    EXPECT_EQ(PoePortCell(8, 12), "1.3.6.1.4.1.32473.10.75.7.22.1.1.8.1.12");
    EXPECT_EQ(TimeRangeCell(21, 3), "1.3.6.1.4.1.32473.10.75.7.23.1.1.21.3");
}
