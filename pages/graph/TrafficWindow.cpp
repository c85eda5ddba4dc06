#include "TrafficWindow.h"

#include "panel/PortWindows.h"

#include <QChart>
#include <QChartView>
#include <QComboBox>
#include <QDateTime>
#include <QDateTimeAxis>
#include <QElapsedTimer>
#include <QHBoxLayout>
#include <QLabel>
#include <QLegendMarker>
#include <QLineSeries>
#include <QPushButton>
#include <QTime>
#include <QVBoxLayout>
#include <QValueAxis>

#include <algorithm>

namespace {

const QString kSysUpTime = QStringLiteral("1.3.6.1.2.1.1.3.0");
const QString kIfEntry = QStringLiteral("1.3.6.1.2.1.2.2.1.");
const QString kIfXEntry = QStringLiteral("1.3.6.1.2.1.31.1.1.1.");

constexpr int kPollReport = 1;
constexpr int kDefaultInterval = 2;
// The graph shows this many intervals.
constexpr int kSpanIntervals = 120;

QString Column(const QString& entry, int column, int port) {
    return entry + QString::number(column) + u'.' + QString::number(port);
}

bool IsNumber(int type) {
    return type == SnmpType::kInteger || type == SnmpType::kUnsigned ||
           type == SnmpType::kCounter32 || type == SnmpType::kTimeTicks ||
           type == SnmpType::kCounter64;
}

qint64 NowMs() {
    return QDateTime::currentMSecsSinceEpoch();
}

} // namespace

QStringList TrafficPollOids(int port, bool wideOctets) {
    QStringList oids{kSysUpTime, Column(kIfEntry, 5, port)};
    if (wideOctets)
        oids << Column(kIfXEntry, 6, port) << Column(kIfXEntry, 10, port);
    else
        oids << Column(kIfEntry, 10, port) << Column(kIfEntry, 16, port);
    oids << Column(kIfEntry, 14, port) << Column(kIfEntry, 20, port) << Column(kIfEntry, 13, port)
         << Column(kIfEntry, 19, port);
    return oids;
}

std::optional<SCounterSample> SampleFromRow(const SSnmpRow& row, bool wideOctets, QString* why) {
    constexpr int kValues = 8;
    if (row.Count() < kValues) {
        if (why)
            *why = QStringLiteral("the answer holds %1 of %2 values").arg(row.Count()).arg(kValues);
        return std::nullopt;
    }
    uint64_t values[kValues] = {};
    for (int i = 0; i < kValues; ++i) {
        bool ok = IsNumber(row.cells[size_t(i)].type);
        if (ok)
            values[i] = row.Text(i).toULongLong(&ok);
        if (!ok) {
            if (why)
                *why = QStringLiteral("%1 is no number").arg(row.cells[size_t(i)].oid);
            return std::nullopt;
        }
    }
    SCounterSample sample;
    sample.upTimeTicks = static_cast<uint32_t>(values[0]);
    sample.speedBps = values[1];
    sample.wideOctets = wideOctets;
    sample.inOctets = values[2];
    sample.outOctets = values[3];
    sample.inErrors = values[4];
    sample.outErrors = values[5];
    sample.inDiscards = values[6];
    sample.outDiscards = values[7];
    return sample;
}

CPortTrafficWnd::CPortTrafficWnd(int port, QWidget* parent)
    : CPageBase(parent), m_nPort(port), m_cCommonSNMP(AddSession(QStringLiteral("m_cCommonSNMP"))) {
    setWindowTitle(QStringLiteral("Port %1 traffic").arg(port));
    // A live window beside the panel, not a modal page.
    setModal(false);
    setWindowFlag(Qt::WindowStaysOnTopHint, false);
    setWindowFlag(Qt::WindowMinMaxButtonsHint, true);
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);

    m_pInterval = new QComboBox(this);
    SetControlId(m_pInterval, kIdTrafficInterval);
    for (int seconds : kTrafficIntervals)
        m_pInterval->addItem(QStringLiteral("%1 s").arg(seconds), seconds);
    m_pInterval->setCurrentIndex(m_pInterval->findData(kDefaultInterval));
    m_pPause = NewButton(QStringLiteral("&Pause"), kIdTrafficPause);
    m_pPause->setCheckable(true);
    QPushButton* close = NewButton(QStringLiteral("&Close"), kIdTrafficClose);
    m_pNow = NewLabel(QStringLiteral("Waiting for the first two polls"), kIdTrafficNow);

    QDateTimeAxis* rateX = nullptr;
    QDateTimeAxis* errorX = nullptr;
    QChart* rates =
        NewChart(QStringLiteral("Port %1: receive and transmit").arg(port), rateX, m_pRateAxis);
    QChart* errors =
        NewChart(QStringLiteral("Port %1: errors and discards").arg(port), errorX, m_pErrorAxis);
    m_pErrorAxis->setTitleText(QStringLiteral("per second"));
    AddTrace(rates, rateX, m_pRateAxis, &SPortRates::rxBps, QStringLiteral("Receive"),
             QColor(0x2e, 0x7d, 0x32));
    AddTrace(rates, rateX, m_pRateAxis, &SPortRates::txBps, QStringLiteral("Transmit"),
             QColor(0x15, 0x65, 0xc0));
    AddTrace(errors, errorX, m_pErrorAxis, &SPortRates::inErrors, QStringLiteral("In errors"),
             QColor(0xc6, 0x28, 0x28));
    AddTrace(errors, errorX, m_pErrorAxis, &SPortRates::outErrors, QStringLiteral("Out errors"),
             QColor(0xef, 0x6c, 0x00));
    AddTrace(errors, errorX, m_pErrorAxis, &SPortRates::inDiscards, QStringLiteral("In discards"),
             QColor(0x6a, 0x1b, 0x9a));
    AddTrace(errors, errorX, m_pErrorAxis, &SPortRates::outDiscards, QStringLiteral("Out discards"),
             QColor(0x5d, 0x40, 0x37));

    auto* rateView = new QChartView(rates, this);
    SetControlId(rateView, kIdTrafficRates);
    rateView->setRenderHint(QPainter::Antialiasing);
    rateView->setMinimumHeight(240);
    auto* errorView = new QChartView(errors, this);
    SetControlId(errorView, kIdTrafficErrors);
    errorView->setRenderHint(QPainter::Antialiasing);
    errorView->setMinimumHeight(180);

    auto* controls = new QHBoxLayout;
    QLabel* intervalLabel = NewLabel(QStringLiteral("Polling &interval:"));
    intervalLabel->setBuddy(m_pInterval);
    controls->addWidget(intervalLabel);
    controls->addWidget(m_pInterval);
    controls->addWidget(m_pPause);
    controls->addStretch();
    controls->addWidget(close);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(controls);
    layout->addWidget(m_pNow);
    layout->addWidget(rateView, 3);
    layout->addWidget(errorView, 2);
    resize(760, 600);

    m_timer.setInterval(kDefaultInterval * 1000);
    connect(&m_timer, &QTimer::timeout, this, &CPortTrafficWnd::Poll);
    connect(m_pInterval, &QComboBox::currentIndexChanged, this, &CPortTrafficWnd::OnIntervalChosen);
    connect(m_pPause, &QPushButton::toggled, this, &CPortTrafficWnd::SetPaused);
    connect(close, &QPushButton::clicked, this, &QWidget::close);
}

CPortTrafficWnd::~CPortTrafficWnd() = default;

QChart* CPortTrafficWnd::NewChart(const QString& title, QDateTimeAxis*& x, QValueAxis*& y) {
    auto* chart = new QChart;
    chart->setTitle(title);
    chart->legend()->setAlignment(Qt::AlignBottom);
    chart->setMargins(QMargins(4, 4, 4, 4));
    x = new QDateTimeAxis(chart);
    x->setFormat(QStringLiteral("hh:mm:ss"));
    x->setTickCount(7);
    y = new QValueAxis(chart);
    y->setLabelFormat(QStringLiteral("%g"));
    y->setRange(0, 1);
    chart->addAxis(x, Qt::AlignBottom);
    chart->addAxis(y, Qt::AlignLeft);
    return chart;
}

void CPortTrafficWnd::AddTrace(QChart* chart, QDateTimeAxis* x, QValueAxis* y,
                               double SPortRates::*rate, const QString& name, QColor color) {
    STrace trace{chart, x, y, rate, name, color, {}};
    m_traces.push_back(std::move(trace));
    DrawTrace(m_traces.back(), 1); // the legend's series, empty until the first rate
}

int CPortTrafficWnd::IntervalSeconds() const {
    return m_pInterval->currentData().toInt();
}

qint64 CPortTrafficWnd::SpanMs() const {
    return qint64(IntervalSeconds()) * 1000 * kSpanIntervals;
}

void CPortTrafficWnd::OnInitDialog() {
    // v1 carries no Counter64: the 32-bit counters straight away.
    m_bWide = m_cCommonSNMP.Version() != 1;
    Poll();
    m_timer.start();
}

void CPortTrafficWnd::done(int result) {
    // Nothing is polled once the window closes, whatever is in flight.
    m_bClosing = true;
    m_timer.stop();
    CPageBase::done(result);
}

void CPortTrafficWnd::OnIntervalChosen() {
    m_timer.setInterval(IntervalSeconds() * 1000);
    Redraw();
}

void CPortTrafficWnd::SetPaused(bool paused) {
    if (paused == m_bPaused)
        return;
    m_bPaused = paused;
    m_pPause->setChecked(paused);
    m_pPause->setText(paused ? QStringLiteral("&Resume") : QStringLiteral("&Pause"));
    if (paused) {
        m_timer.stop();
        m_bDropInFlight = m_bInFlight;
        // Rates never span a pause: the next poll is a first one again.
        m_meter.Restart();
        AddGap();
        Redraw();
        Say(QStringLiteral("paused"));
        return;
    }
    Poll();
    m_timer.start();
}

void CPortTrafficWnd::Poll() {
    if (m_bPaused || m_bInFlight || m_bClosing)
        return;
    ++m_nPollsSent;
    m_bInFlight = true;
    int started = -1;
    if (m_cCommonSNMP.Open(CCommonSNMP::kGet)) {
        for (const QString& oid : TrafficPollOids(m_nPort, m_bWide))
            m_cCommonSNMP.AddVarBind(oid, SnmpType::kNull);
        QElapsedTimer clock;
        clock.start();
        SOutcome base;
        base.peer = m_cCommonSNMP.Peer();
        base.timeoutMs = m_cCommonSNMP.TimeoutMs();
        // The session outlives its callbacks (Close waits for them).
        started = m_cCommonSNMP.GetNext(
            [session = &m_cCommonSNMP, channel = Channel(), clock,
             base](std::unique_ptr<CSnmp> answer, int requestId, void*, int status) {
                if (!session->TakeRequest(requestId))
                    return;
                auto outcome = std::make_shared<SOutcome>(base);
                outcome->result = status == 0 && !answer ? SnmpResult::kProtocol : status;
                outcome->elapsedMs = clock.elapsed();
                SSnmpReport report(kPollReport);
                if (outcome->Ok()) {
                    report.row = RowFromAnswer(*answer);
                    outcome->count = report.row.Count();
                }
                report.outcome = std::move(outcome);
                session->SetDone();
                channel->Post(std::move(report));
            },
            nullptr);
    }
    if (started != 0) {
        m_bInFlight = false;
        SOutcome failed;
        failed.result = SnmpResult::kNotReady;
        AddGap();
        Redraw();
        Say(OutcomeText(failed));
    }
}

void CPortTrafficWnd::OnSnmpNotify(const SSnmpReport& report) {
    if (report.code != kPollReport || !report.outcome)
        return;
    m_bInFlight = false;
    if (std::exchange(m_bDropInFlight, false) || m_bPaused || m_bClosing)
        return;
    TakeAnswer(report);
    Redraw();
}

void CPortTrafficWnd::TakeAnswer(const SSnmpReport& report) {
    const SOutcome& outcome = *report.outcome;
    if (!outcome.Ok()) {
        if (outcome.result == SnmpResult::kErrorStatus && m_bWide) {
            // The switch lacks ifXTable (or this port's row of it).
            m_bWide = false;
            m_meter.Restart();
            Say(QStringLiteral("the switch has no 64-bit counters for this port (ifHCInOctets, "
                               "ifHCOutOctets): 32-bit ifInOctets and ifOutOctets from now on"));
            QTimer::singleShot(0, this, &CPortTrafficWnd::Poll);
            return;
        }
        AddGap();
        // A get answered with an error names no status here: what is missing is said instead.
        Say(outcome.result == SnmpResult::kErrorStatus
                ? QStringLiteral("the switch does not serve the counters of port %1 (sysUpTime, "
                                 "ifSpeed, ifInOctets ... ifOutDiscards)")
                      .arg(m_nPort)
                : OutcomeText(outcome));
        return;
    }
    QString why;
    const std::optional<SCounterSample> sample = SampleFromRow(report.row, m_bWide, &why);
    if (!sample) {
        AddGap();
        Say(QStringLiteral("%1 answered something unusable: %2").arg(outcome.peer, why));
        return;
    }
    const SRateResult result = m_meter.Feed(*sample);
    const QString counters =
        m_bWide ? QStringLiteral("64-bit counters") : QStringLiteral("32-bit counters");
    switch (result.step) {
    case ERateStep::kFirst:
        Say(QStringLiteral("first reading in %1 ms (%2); rates from the next poll")
                .arg(outcome.elapsedMs)
                .arg(counters));
        break;
    case ERateStep::kSameTime:
        Say(QStringLiteral("answered in %1 ms; no time passed on the switch since the last poll")
                .arg(outcome.elapsedMs));
        break;
    case ERateStep::kRestart:
        AddGap();
        Say(QStringLiteral("the counters started again: %1. The graph has a gap here")
                .arg(QString::fromStdString(result.cause)));
        break;
    case ERateStep::kRate: {
        m_history.push_back({NowMs(), result.rates});
        const SPortRates& r = result.rates;
        const auto rate = [](double bps) { return QString::fromStdString(FormatBitRate(bps)); };
        const auto perSecond = [](double v) { return QString::fromStdString(FormatPerSecond(v)); };
        m_pNow->setText(QStringLiteral("Receive %1    Transmit %2    Errors %3 in, %4 out    "
                                       "Discards %5 in, %6 out")
                            .arg(rate(r.rxBps), rate(r.txBps), perSecond(r.inErrors),
                                 perSecond(r.outErrors), perSecond(r.inDiscards),
                                 perSecond(r.outDiscards)));
        Say(QStringLiteral("answered in %1 ms (%2)").arg(outcome.elapsedMs).arg(counters));
        break;
    }
    }
}

void CPortTrafficWnd::AddGap() {
    if (!m_history.empty() && m_history.back().rates)
        m_history.push_back({NowMs(), std::nullopt});
}

void CPortTrafficWnd::Say(const QString& text) {
    QString line = text;
    if (!line.isEmpty())
        line[0] = line[0].toUpper();
    ShowOutcome(QTime::currentTime().toString(QStringLiteral("hh:mm:ss")) + QStringLiteral(": ") +
                line);
}

void CPortTrafficWnd::Redraw() {
    const qint64 now = NowMs();
    TrimHistory(m_history, now - SpanMs());
    double maxBits = 0, maxEvents = 0;
    for (const SRatePoint& point : m_history) {
        if (!point.rates)
            continue;
        const SPortRates& r = *point.rates;
        maxBits = std::max({maxBits, r.rxBps, r.txBps});
        maxEvents = std::max({maxEvents, r.inErrors, r.outErrors, r.inDiscards, r.outDiscards});
    }
    const SRateUnit unit = BitRateUnit(maxBits);
    m_pRateAxis->setTitleText(QString::fromLatin1(unit.name));
    m_pRateAxis->setRange(0, NiceCeiling(maxBits / unit.divisor));
    m_pErrorAxis->setRange(0, NiceCeiling(maxEvents));
    for (STrace& trace : m_traces) {
        DrawTrace(trace, trace.y == m_pRateAxis ? unit.divisor : 1);
        trace.x->setRange(QDateTime::fromMSecsSinceEpoch(now - SpanMs()),
                          QDateTime::fromMSecsSinceEpoch(now));
    }
}

void CPortTrafficWnd::DrawTrace(STrace& trace, double divisor) {
    const std::vector<RateSegment> segments = Segments(m_history, trace.rate);
    while (trace.series.size() < std::max<size_t>(1, segments.size())) {
        auto* series = new QLineSeries;
        series->setName(trace.name);
        series->setPen(QPen(trace.color, 2));
        series->setColor(trace.color);
        series->setMarkerSize(5);
        trace.chart->addSeries(series);
        series->attachAxis(trace.x);
        series->attachAxis(trace.y);
        // One legend entry per rate, whatever the number of runs.
        if (!trace.series.empty())
            for (QLegendMarker* marker : trace.chart->legend()->markers(series))
                marker->setVisible(false);
        trace.series.push_back(series);
    }
    for (size_t i = 0; i < trace.series.size(); ++i) {
        QList<QPointF> points;
        if (i < segments.size()) {
            points.reserve(qsizetype(segments[i].size()));
            for (const auto& [timeMs, value] : segments[i])
                points.append(QPointF(double(timeMs), value / divisor));
        }
        // A run of one point has no line to show it.
        trace.series[i]->setPointsVisible(points.size() == 1);
        trace.series[i]->replace(points);
    }
}

int CPortTrafficWnd::PlottedPoints(double SPortRates::*rate) const {
    int count = 0;
    for (const STrace& trace : m_traces)
        if (trace.rate == rate)
            for (const QLineSeries* series : trace.series)
                count += int(series->count());
    return count;
}

void RegisterTrafficWindow() {
    RegisterPortTrafficWindow([](int port, QWidget* parent) -> std::unique_ptr<QDialog> {
        return std::make_unique<CPortTrafficWnd>(port, parent);
    });
}
