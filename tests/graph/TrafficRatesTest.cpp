// The traffic graph's arithmetic without a window: counter deltas with the
// 32-bit wrap, restarts told from wraps, rates over the switch's clock, the
// runs between gaps, and the axis units.

#include "pages/graph/TrafficRates.h"

#include <gtest/gtest.h>

namespace {

constexpr uint64_t k2To32 = uint64_t{1} << 32;
constexpr uint64_t kGigabit = 1000000000;

// A port at 1 Gb/s whose counters stand at the given octets, errors zero.
SCounterSample Sample(uint32_t ticks, uint64_t in, uint64_t out, bool wide = true) {
    SCounterSample s;
    s.upTimeTicks = ticks;
    s.speedBps = kGigabit;
    s.wideOctets = wide;
    s.inOctets = in;
    s.outOctets = out;
    return s;
}

TEST(CounterDelta, ForwardAndWrapsOf32BitCounters) {
    EXPECT_EQ(CounterDelta(100, 350, 32, 1000), 250u);
    EXPECT_EQ(CounterDelta(5, 5, 32, 0), 0u);
    // Wraps at 2^32: 10 before the top, 20 after it.
    EXPECT_EQ(CounterDelta(k2To32 - 10, 20, 32, 1000), 30u);
    EXPECT_EQ(CounterDelta(k2To32 - 1, 0, 32, 1), 1u);
    // A wrap that would mean more than the link carries is a restart.
    EXPECT_EQ(CounterDelta(k2To32 - 10, 20, 32, 29), std::nullopt);
    EXPECT_EQ(CounterDelta(3000000000u, 1000, 32, 125000000), std::nullopt);
    // 32-bit readings that carry higher bits are taken modulo 2^32.
    EXPECT_EQ(CounterDelta(k2To32 + 5, 9, 32, 100), 4u);
}

TEST(CounterDelta, ForwardStepsBeyondTheCeilingAreNoRate) {
    EXPECT_EQ(CounterDelta(100, 1100, 32, 1000), 1000u);
    EXPECT_EQ(CounterDelta(100, 1101, 32, 1000), std::nullopt);
    EXPECT_EQ(CounterDelta(0, ~uint64_t{0}, 64, k2To32), std::nullopt);
}

TEST(CounterDelta, A64BitCounterThatGoesBackWasReset) {
    EXPECT_EQ(CounterDelta(k2To32 * 7, k2To32 * 7 + 99, 64, 99), 99u);
    EXPECT_EQ(CounterDelta(~uint64_t{0}, 5, 64, ~uint64_t{0}), std::nullopt);
    EXPECT_EQ(CounterDelta(1000, 10, 64, ~uint64_t{0}), std::nullopt);
}

TEST(CounterDelta, CeilingsFollowTheLinkSpeed) {
    // 1 Gb/s for one second is 125 MB; twice that is allowed, plus slack.
    EXPECT_GE(MaxOctets(kGigabit, 100), 250000000u);
    EXPECT_LT(MaxOctets(kGigabit, 100), 251000000u);
    EXPECT_LT(MaxOctets(10000000, 100), MaxOctets(kGigabit, 100) / 50);
    // Unknown speed counts as 10 Gb/s.
    EXPECT_GT(MaxOctets(0, 100), MaxOctets(kGigabit, 100) * 9);
    // Frames: at most one per 84 octets on the wire.
    EXPECT_GE(MaxFrames(kGigabit, 100), 2 * 1488095u);
    EXPECT_LT(MaxFrames(kGigabit, 100), 2 * 1488095u + 1000);
}

TEST(RateMeter, FirstSampleGivesNoRateThenRatesOverTheSwitchClock) {
    CRateMeter meter;
    EXPECT_FALSE(meter.HasBaseline());
    EXPECT_EQ(meter.Feed(Sample(1000, 5000, 7000)).step, ERateStep::kFirst);
    EXPECT_TRUE(meter.HasBaseline());
    // 2 s later: 250,000 octets in, 50,000 out.
    SCounterSample next = Sample(1200, 255000, 57000);
    next.inErrors = 6;
    next.outDiscards = 14;
    const SRateResult r = meter.Feed(next);
    ASSERT_EQ(r.step, ERateStep::kRate);
    EXPECT_DOUBLE_EQ(r.rates.rxBps, 1000000);
    EXPECT_DOUBLE_EQ(r.rates.txBps, 200000);
    EXPECT_DOUBLE_EQ(r.rates.inErrors, 3);
    EXPECT_DOUBLE_EQ(r.rates.outDiscards, 7);
    EXPECT_DOUBLE_EQ(r.rates.outErrors, 0);
}

TEST(RateMeter, IntervalChangesKeepRatesRight) {
    // 1 MB/s in throughout, polled after 1 s, 5 s, 10 s and 2 s.
    CRateMeter meter;
    uint32_t ticks = 500;
    uint64_t in = 0;
    meter.Feed(Sample(ticks, in, 0));
    for (uint32_t seconds : {1u, 5u, 10u, 2u}) {
        ticks += seconds * 100;
        in += uint64_t{seconds} * 1000000;
        const SRateResult r = meter.Feed(Sample(ticks, in, 0));
        ASSERT_EQ(r.step, ERateStep::kRate) << seconds;
        EXPECT_DOUBLE_EQ(r.rates.rxBps, 8000000) << seconds;
    }
}

TEST(RateMeter, ThirtyTwoBitWrapGivesTheTrueRateNotASpike) {
    CRateMeter meter;
    meter.Feed(Sample(100, k2To32 - 400000, k2To32 - 1000, false));
    const SRateResult r = meter.Feed(Sample(200, 600000, 9000, false));
    ASSERT_EQ(r.step, ERateStep::kRate);
    EXPECT_DOUBLE_EQ(r.rates.rxBps, 8000000);
    EXPECT_DOUBLE_EQ(r.rates.txBps, 80000);
}

TEST(RateMeter, RebootIsARestartAndTheNextSampleRatesFromIt) {
    CRateMeter meter;
    meter.Feed(Sample(90000, 4000000000u, 100));
    // sysUpTime went back: whatever the counters say, a gap.
    const SRateResult restart = meter.Feed(Sample(300, 2000, 10));
    EXPECT_EQ(restart.step, ERateStep::kRestart);
    EXPECT_NE(restart.cause.find("sysUpTime"), std::string::npos);
    const SRateResult after = meter.Feed(Sample(400, 127000, 10));
    ASSERT_EQ(after.step, ERateStep::kRate);
    EXPECT_DOUBLE_EQ(after.rates.rxBps, 1000000);
}

TEST(RateMeter, CounterBackWithoutPlausibleWrapIsARestart) {
    // The switch's clock went on, but the 32-bit counters were cleared: a
    // wrap would mean 4 GB in one second on a 1 Gb/s port.
    CRateMeter meter;
    meter.Feed(Sample(1000, 3000000000u, 50, false));
    const SRateResult r = meter.Feed(Sample(1100, 1000, 60, false));
    EXPECT_EQ(r.step, ERateStep::kRestart);
    EXPECT_NE(r.cause.find("went back"), std::string::npos);
    // Error counters count too.
    SCounterSample a = Sample(2000, 0, 0), b = Sample(2100, 10, 10);
    a.inErrors = 900000;
    b.inErrors = 5;
    meter.Restart();
    meter.Feed(a);
    EXPECT_EQ(meter.Feed(b).step, ERateStep::kRestart);
}

TEST(RateMeter, ImpossibleJumpForwardIsAGapNotASpike) {
    // 3 GB in one second on a 1 Gb/s port: the counter was set or garbled.
    CRateMeter meter;
    meter.Feed(Sample(1000, 1000, 50, false));
    const SRateResult r = meter.Feed(Sample(1100, 3000001000u, 60, false));
    EXPECT_EQ(r.step, ERateStep::kRestart);
    EXPECT_NE(r.cause.find("further than the link can carry"), std::string::npos);
    // The rating goes on from the new value.
    const SRateResult next = meter.Feed(Sample(1200, 3000001000u + 125000, 60, false));
    ASSERT_EQ(next.step, ERateStep::kRate);
    EXPECT_DOUBLE_EQ(next.rates.rxBps, 1000000);
}

TEST(RateMeter, SaturatedIfSpeedCountsAsUnknown) {
    // ifSpeed stops at 2^32-1 (4.3 Gb/s); a 10 Gb/s port at line rate is
    // still a rate, not a jump.
    SCounterSample a = Sample(1000, 0, 0), b = Sample(1100, 1250000000, 0);
    a.speedBps = b.speedBps = 4294967295u;
    CRateMeter meter;
    meter.Feed(a);
    const SRateResult r = meter.Feed(b);
    ASSERT_EQ(r.step, ERateStep::kRate);
    EXPECT_DOUBLE_EQ(r.rates.rxBps, 10e9);
}

TEST(RateMeter, SameTimeKeepsTheBaselineAndWidthChangeRestarts) {
    CRateMeter meter;
    meter.Feed(Sample(500, 1000, 0));
    EXPECT_EQ(meter.Feed(Sample(500, 1500, 0)).step, ERateStep::kSameTime);
    // The rate runs from the first sample, not the same-time one.
    const SRateResult r = meter.Feed(Sample(600, 11000, 0));
    ASSERT_EQ(r.step, ERateStep::kRate);
    EXPECT_DOUBLE_EQ(r.rates.rxBps, 80000);
    EXPECT_EQ(meter.Feed(Sample(700, 12000, 0, false)).step, ERateStep::kRestart);
    meter.Restart();
    EXPECT_EQ(meter.Feed(Sample(800, 13000, 0, false)).step, ERateStep::kFirst);
}

TEST(RateHistoryRuns, GapsSplitTheGraphIntoRuns) {
    const auto point = [](int64_t t, double rx) {
        SPortRates r;
        r.rxBps = rx;
        return SRatePoint{t, r};
    };
    const SRatePoint gap{0, std::nullopt};
    RateHistory history{gap,          point(1, 10), point(2, 20), gap,         gap,
                        point(5, 50), gap,          point(7, 70), point(8, 80)};
    const std::vector<RateSegment> runs = Segments(history, &SPortRates::rxBps);
    ASSERT_EQ(runs.size(), 3u);
    EXPECT_EQ(runs[0], (RateSegment{{1, 10}, {2, 20}}));
    EXPECT_EQ(runs[1], (RateSegment{{5, 50}}));
    EXPECT_EQ(runs[2], (RateSegment{{7, 70}, {8, 80}}));
    EXPECT_TRUE(Segments(RateHistory{gap, gap}, &SPortRates::txBps).empty());

    TrimHistory(history, 5);
    ASSERT_EQ(history.size(), 4u);
    EXPECT_EQ(history.front().timeMs, 5);
}

TEST(RateUnits, AxisUnitsAndTexts) {
    EXPECT_STREQ(BitRateUnit(999).name, "bit/s");
    EXPECT_STREQ(BitRateUnit(1000).name, "kbit/s");
    EXPECT_STREQ(BitRateUnit(12e6).name, "Mbit/s");
    EXPECT_DOUBLE_EQ(BitRateUnit(12e6).divisor, 1e6);
    EXPECT_STREQ(BitRateUnit(1e9).name, "Gbit/s");
    EXPECT_EQ(FormatBitRate(0), "0 bit/s");
    EXPECT_EQ(FormatBitRate(10e6), "10.0 Mbit/s");
    EXPECT_EQ(FormatBitRate(2e6), "2.00 Mbit/s");
    EXPECT_EQ(FormatBitRate(125e6), "125 Mbit/s");
    // Rounding decides the decimals and the unit.
    EXPECT_EQ(FormatBitRate(9.9999e6), "10.0 Mbit/s");
    EXPECT_EQ(FormatBitRate(99.99e3), "100 kbit/s");
    EXPECT_EQ(FormatBitRate(999.9e6), "1.00 Gbit/s");
    EXPECT_EQ(FormatPerSecond(3), "3/s");
    EXPECT_EQ(FormatPerSecond(0.4), "0.4/s");
    EXPECT_EQ(FormatPerSecond(0), "0/s");
    EXPECT_DOUBLE_EQ(NiceCeiling(0), 1);
    EXPECT_DOUBLE_EQ(NiceCeiling(0.3), 0.5);
    EXPECT_DOUBLE_EQ(NiceCeiling(1), 1);
    EXPECT_DOUBLE_EQ(NiceCeiling(1.01), 2);
    EXPECT_DOUBLE_EQ(NiceCeiling(10), 10);
    EXPECT_DOUBLE_EQ(NiceCeiling(437), 500);
    EXPECT_DOUBLE_EQ(NiceCeiling(501), 1000);
}

} // namespace
