#include "TrafficRates.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <iterator>
#include <limits>

namespace {

// Unknown speeds count as 10 Gb/s; a link may renegotiate to twice its speed
// within an interval before a wrap counts as implausible.
constexpr double kUnknownSpeedBps = 10e9;
constexpr double kMargin = 2.0;
// The shortest Ethernet frame on the wire: 64 octets, preamble and gap.
constexpr double kMinFrameBits = 84 * 8;

uint64_t Ceiling(double perSecond, uint32_t elapsedTicks, double slack) {
    const double total = perSecond * kMargin * (elapsedTicks / 100.0) + slack;
    return total >= 1.8e19 ? std::numeric_limits<uint64_t>::max() : static_cast<uint64_t>(total);
}

// ifSpeed is a Gauge32: faster links report its top, 2^32-1, which says
// nothing about the real speed.
double Speed(uint64_t speedBps) {
    return speedBps && speedBps < 0xFFFFFFFFu ? static_cast<double>(speedBps) : kUnknownSpeedBps;
}

uint64_t Mask(int bits) {
    return bits >= 64 ? std::numeric_limits<uint64_t>::max() : (uint64_t{1} << bits) - 1;
}

SRateResult Restarted(std::string cause) {
    SRateResult result;
    result.step = ERateStep::kRestart;
    result.cause = std::move(cause);
    return result;
}

std::string Printed(const char* format, double value, const char* unit) {
    char text[48];
    std::snprintf(text, sizeof text, format, value, unit);
    return text;
}

} // namespace

uint64_t MaxOctets(uint64_t speedBps, uint32_t elapsedTicks) {
    return Ceiling(Speed(speedBps) / 8, elapsedTicks, 65536);
}

uint64_t MaxFrames(uint64_t speedBps, uint32_t elapsedTicks) {
    return Ceiling(Speed(speedBps) / kMinFrameBits, elapsedTicks, 64);
}

std::optional<uint64_t> CounterDelta(uint64_t previous, uint64_t current, int bits,
                                     uint64_t maxDelta) {
    const uint64_t mask = Mask(bits);
    previous &= mask;
    current &= mask;
    // More than the link carries: the counter was set or garbled, no rate.
    if (current >= previous)
        return current - previous <= maxDelta ? std::optional(current - previous) : std::nullopt;
    // A 64-bit counter does not wrap in a switch's lifetime: it was reset.
    if (bits >= 64)
        return std::nullopt;
    const uint64_t wrapped = (mask - previous) + current + 1;
    if (wrapped > maxDelta)
        return std::nullopt;
    return wrapped;
}

SRateResult CRateMeter::Feed(const SCounterSample& sample) {
    if (!m_last) {
        m_last = sample;
        return {};
    }
    const SCounterSample previous = *m_last;
    if (sample.wideOctets != previous.wideOctets) {
        m_last = sample;
        return Restarted("the octet counters changed between 64 and 32 bits");
    }
    // (sysUpTime also wraps after 497 days; a gap there is harmless.)
    if (sample.upTimeTicks < previous.upTimeTicks) {
        m_last = sample;
        return Restarted("the switch restarted (sysUpTime went back)");
    }
    if (sample.upTimeTicks == previous.upTimeTicks) {
        SRateResult same;
        same.step = ERateStep::kSameTime;
        return same;
    }
    const uint32_t ticks = sample.upTimeTicks - previous.upTimeTicks;
    const uint64_t speed = std::max(previous.speedBps, sample.speedBps);
    const int octetBits = sample.wideOctets ? 64 : 32;
    const uint64_t maxOctets = MaxOctets(speed, ticks);
    const uint64_t maxFrames = MaxFrames(speed, ticks);
    const struct {
        uint64_t before, now;
        int bits;
        uint64_t most;
    } counters[] = {{previous.inOctets, sample.inOctets, octetBits, maxOctets},
                    {previous.outOctets, sample.outOctets, octetBits, maxOctets},
                    {previous.inErrors, sample.inErrors, 32, maxFrames},
                    {previous.outErrors, sample.outErrors, 32, maxFrames},
                    {previous.inDiscards, sample.inDiscards, 32, maxFrames},
                    {previous.outDiscards, sample.outDiscards, 32, maxFrames}};
    m_last = sample;
    uint64_t deltas[std::size(counters)] = {};
    for (size_t i = 0; i < std::size(counters); ++i) {
        const auto& c = counters[i];
        const std::optional<uint64_t> delta = CounterDelta(c.before, c.now, c.bits, c.most);
        if (!delta) {
            return Restarted((c.now & Mask(c.bits)) < (c.before & Mask(c.bits))
                                 ? "a counter went back (cleared on the switch)"
                                 : "a counter jumped further than the link can carry");
        }
        deltas[i] = *delta;
    }
    const double seconds = ticks / 100.0;
    SRateResult result;
    result.step = ERateStep::kRate;
    result.rates.rxBps = static_cast<double>(deltas[0]) * 8 / seconds;
    result.rates.txBps = static_cast<double>(deltas[1]) * 8 / seconds;
    result.rates.inErrors = static_cast<double>(deltas[2]) / seconds;
    result.rates.outErrors = static_cast<double>(deltas[3]) / seconds;
    result.rates.inDiscards = static_cast<double>(deltas[4]) / seconds;
    result.rates.outDiscards = static_cast<double>(deltas[5]) / seconds;
    return result;
}

std::vector<RateSegment> Segments(const RateHistory& history, double SPortRates::*rate) {
    std::vector<RateSegment> segments;
    RateSegment run;
    for (const SRatePoint& point : history) {
        if (point.rates) {
            run.emplace_back(point.timeMs, (*point.rates).*rate);
        } else if (!run.empty()) {
            segments.push_back(std::move(run));
            run.clear();
        }
    }
    if (!run.empty())
        segments.push_back(std::move(run));
    return segments;
}

void TrimHistory(RateHistory& history, int64_t fromMs) {
    while (!history.empty() && history.front().timeMs < fromMs)
        history.pop_front();
}

SRateUnit BitRateUnit(double maxBps) {
    if (maxBps >= 1e9)
        return {1e9, "Gbit/s"};
    if (maxBps >= 1e6)
        return {1e6, "Mbit/s"};
    if (maxBps >= 1e3)
        return {1e3, "kbit/s"};
    return {};
}

std::string FormatBitRate(double bps) {
    // Three figures; the unit and the decimals as the value reads once rounded.
    const SRateUnit unit = BitRateUnit(bps * 1.0005);
    const double value = bps / unit.divisor;
    const char* format = unit.divisor == 1 ? "%.0f %s"
                         : value < 9.995   ? "%.2f %s"
                         : value < 99.95   ? "%.1f %s"
                                           : "%.0f %s";
    return Printed(format, value, unit.name);
}

std::string FormatPerSecond(double perSecond) {
    return Printed(perSecond < 10 && perSecond != std::floor(perSecond) ? "%.1f%s" : "%.0f%s",
                   perSecond, "/s");
}

double NiceCeiling(double v) {
    if (!(v > 0))
        return 1;
    const double base = std::pow(10.0, std::floor(std::log10(v)));
    for (double step : {1.0, 2.0, 5.0, 10.0}) {
        if (step * base >= v * (1 - 1e-12))
            return step * base;
    }
    return 10 * base;
}
