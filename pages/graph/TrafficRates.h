#pragma once

// The arithmetic behind a port's traffic graph, apart from any window: how
// far a counter moved between two polls (a 32-bit wrap included), a restart
// of the switch's counters told apart from a wrap, rates per second, the runs
// of the graph between its gaps, and the units of its axis.

#include <cstdint>
#include <deque>
#include <optional>
#include <string>
#include <utility>
#include <vector>

// One poll of a port.
struct SCounterSample {
    uint32_t upTimeTicks = 0; // sysUpTime, hundredths of a second
    uint64_t speedBps = 0;    // ifSpeed; 0 when unknown
    bool wideOctets = true;   // octets from ifHCInOctets/ifHCOutOctets, else the 32-bit ones
    uint64_t inOctets = 0;
    uint64_t outOctets = 0;
    uint64_t inErrors = 0; // the errors and discards are Counter32 on every switch
    uint64_t outErrors = 0;
    uint64_t inDiscards = 0;
    uint64_t outDiscards = 0;
};

struct SPortRates {
    double rxBps = 0; // bits per second
    double txBps = 0;
    double inErrors = 0; // per second
    double outErrors = 0;
    double inDiscards = 0;
    double outDiscards = 0;
};

enum class ERateStep {
    kFirst,    // the first sample: a baseline, no rate yet
    kRate,     // rates over the time since the previous sample
    kRestart,  // the counters started again (reboot, reset): a gap, and a new baseline
    kSameTime, // no time passed on the switch's clock: nothing to tell, baseline kept
};

struct SRateResult {
    ERateStep step = ERateStep::kFirst;
    SPortRates rates;  // kRate only
    std::string cause; // kRestart: why, in the operator's words
};

// What the link can carry at most, with room for a speed change during the
// interval; an unknown speed counts as 10 Gb/s.
uint64_t MaxOctets(uint64_t speedBps, uint32_t elapsedTicks);
uint64_t MaxFrames(uint64_t speedBps, uint32_t elapsedTicks);

// How far a counter of 'bits' bits (32 or 64) moved from previous to current.
// A counter that went back has wrapped only when the wrap stays within
// maxDelta; otherwise it started again and the result is empty. A step
// forward beyond maxDelta is empty too: no link carries it.
std::optional<uint64_t> CounterDelta(uint64_t previous, uint64_t current, int bits,
                                     uint64_t maxDelta);

// Turns successive samples of one port into rates. The rates of a sample are
// over the switch's own clock (sysUpTime), so a late answer does not bend them.
class CRateMeter {
public:
    SRateResult Feed(const SCounterSample& sample);
    // Forgets the baseline: the next sample is a first one (after a pause).
    void Restart() { m_last.reset(); }
    bool HasBaseline() const { return m_last.has_value(); }

private:
    std::optional<SCounterSample> m_last;
};

// One point of the graph's history; no rates: a gap (restart, failed poll, pause).
struct SRatePoint {
    int64_t timeMs = 0; // wall clock, milliseconds since the epoch
    std::optional<SPortRates> rates;
};
using RateHistory = std::deque<SRatePoint>;

// The runs of points between gaps, each as (time, value) pairs of one rate.
using RateSegment = std::vector<std::pair<int64_t, double>>;
std::vector<RateSegment> Segments(const RateHistory& history, double SPortRates::*rate);
// Drops points older than fromMs, keeping a gap where the history starts.
void TrimHistory(RateHistory& history, int64_t fromMs);

// The unit for bit rates up to maxBps: divisor and name ("Mbit/s").
struct SRateUnit {
    double divisor = 1;
    const char* name = "bit/s";
};
SRateUnit BitRateUnit(double maxBps);
// "12.5 Mbit/s".
std::string FormatBitRate(double bps);
// "0.4/s", "12/s".
std::string FormatPerSecond(double perSecond);
// The axis top for a maximum: 1, 2 or 5 times a power of ten, at least v.
double NiceCeiling(double v);
