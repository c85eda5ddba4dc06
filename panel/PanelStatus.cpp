#include "PanelStatus.h"

#include "platform/Trace.h"

#include <QDateTime>

#include <algorithm>

namespace {
constexpr qint64 kGigabit = 1000000000;
constexpr qint64 kFastEthernet = 100000000;

qint64 SpeedOf(const QString& text) {
    bool ok = false;
    const qint64 speed = text.trimmed().toLongLong(&ok);
    return ok ? speed : 0;
}
} // namespace

int LinkStatusCode(const SPortRow& row, bool allGiga, int comboIndex) {
    if (row.admin != QLatin1String("1"))
        return PortCode::kDisabled;
    if (row.oper != QLatin1String("1"))
        return PortCode::kEnabled;
    const qint64 full = allGiga || row.port >= comboIndex ? kGigabit : kFastEthernet;
    return SpeedOf(row.speed) == full ? PortCode::kLinkFull : PortCode::kLinkLow;
}

int PoeStatusCode(const QString& text) {
    if (text == QLatin1String("POWER ON"))
        return PoeCode::kOn;
    if (text == QLatin1String("POWER OFF") || text == QLatin1String("Time-based OFF"))
        return PoeCode::kOff;
    return PoeCode::kOther;
}

QString PollStatusText(const QString& peer, qint64 lastAnswerMs, qint64 silentSinceMs,
                       bool unusable) {
    const auto clock = [](qint64 ms) {
        return QDateTime::fromMSecsSinceEpoch(ms).toString(QStringLiteral("HH:mm:ss"));
    };
    if (silentSinceMs > 0)
        return QStringLiteral("no answer from %1 since %2").arg(peer, clock(silentSinceMs));
    if (lastAnswerMs > 0 && unusable)
        return QStringLiteral("%1 answered at %2, but not with a status the panel can show")
            .arg(peer, clock(lastAnswerMs));
    if (lastAnswerMs > 0)
        return QStringLiteral("%1 answered at %2").arg(peer, clock(lastAnswerMs));
    return QStringLiteral("waiting for %1 to answer").arg(peer);
}

void CPanelState::SetReachable(bool reachable, bool answered) {
    const qint64 now = QDateTime::currentMSecsSinceEpoch();
    m_bUnusable.store(!reachable && answered);
    if (reachable || answered) {
        m_nLastAnswerMs.store(now);
        m_nSilentSinceMs.store(0);
    } else if (m_nSilentSinceMs.load() == 0) {
        m_nSilentSinceMs.store(now);
    }
    m_bReachable.store(reachable);
}

bool IsFibreMedia(int mediaCode) {
    return mediaCode == 3 || mediaCode == 4;
}

CPanelState::CPanelState() {
    for (auto& lamp : m_lamps)
        lamp.store(PortCode::kEnabled);
    for (auto& media : m_media)
        media.store(0);
    for (auto& speed : m_speed)
        speed.store(0);
    for (auto& poe : m_poe)
        poe.store(PoeCode::kNone);
}

void CPanelState::Attach(const SLayout& layout, std::vector<CPanelObject*> ports) {
    m_layout = layout;
    m_ports = std::move(ports);
    for (int port = 1; port <= kLamps; ++port)
        m_poe[port - 1].store(port <= layout.nPoePorts ? PoeCode::kUnknown : PoeCode::kNone);
}

CPanelObject* CPanelState::CopperObject(int port) const {
    if (port < 1 || port > m_layout.nPortNum || port > static_cast<int>(m_ports.size()))
        return nullptr;
    return m_ports[port - 1];
}

CPanelObject* CPanelState::FibreObject(int port) const {
    const int first = m_layout.nComboPortIndex;
    if (port < first || port >= first + m_layout.nComboPortNum || port > m_layout.nPortNum)
        return nullptr;
    const size_t index = static_cast<size_t>(m_layout.nPortNum + port - first);
    return index < m_ports.size() ? m_ports[index] : nullptr;
}

void CPanelState::ApplyLinkRows(const std::vector<SPortRow>& rows) {
    Trace(QStringLiteral("RefreshPortStatus RefreshPortStatus"));
    // The new picture, computed whole before anything is stored. Every
    // object starts from the description file's state, also the fibre half
    // of a combo port (the old refresh set those to 3, "enabled"): the file
    // knows whether the cage is drawn empty, and a half the switch does not
    // use stays drawn that way instead of passing for an enabled port.
    std::vector<int> objectCodes(m_ports.size());
    for (size_t i = 0; i < m_ports.size(); ++i)
        objectCodes[i] = m_ports[i]->InitialStatus();
    std::array<int, kLamps> lamps;
    lamps.fill(PortCode::kEnabled);
    std::array<int, kLamps> media{};
    std::array<qint64, kLamps> speed{};
    for (int port = 1; port <= kLamps; ++port) {
        media[port - 1] = m_media[port - 1].load();
        speed[port - 1] = 0;
    }
    const auto indexOf = [this](CPanelObject* object) {
        return static_cast<size_t>(std::find(m_ports.begin(), m_ports.end(), object) -
                                   m_ports.begin());
    };

    for (const SPortRow& row : rows) {
        if (row.port < 1 || row.port > m_layout.nPortNum)
            continue;
        const int code = LinkStatusCode(row, m_layout.bAllGiga, m_layout.nComboPortIndex);
        const int mediaCode = row.media.trimmed().toInt();
        CPanelObject* copper = CopperObject(row.port);
        CPanelObject* fibre = IsFibreMedia(mediaCode) ? FibreObject(row.port) : nullptr;
        if (fibre) {
            objectCodes[indexOf(fibre)] = code;
            if (copper)
                objectCodes[indexOf(copper)] = PortCode::kEnabled;
        } else if (copper) {
            objectCodes[indexOf(copper)] = code;
        }
        if (InRange(row.port)) {
            lamps[row.port - 1] = code;
            media[row.port - 1] = mediaCode;
            speed[row.port - 1] = SpeedOf(row.speed);
        }
    }

    for (size_t i = 0; i < m_ports.size(); ++i)
        m_ports[i]->SetStatus(objectCodes[i]);
    for (int i = 0; i < kLamps; ++i) {
        m_lamps[i].store(static_cast<uint8_t>(lamps[i]));
        m_media[i].store(media[i]);
        m_speed[i].store(speed[i]);
    }
    m_bPolled.store(true);
}

void CPanelState::ApplyPoeRows(const std::vector<SPoeRow>& rows) {
    std::array<int, kLamps> codes;
    codes.fill(PoeCode::kNone);
    const int poePorts = qMin(m_layout.nPoePorts, kLamps);
    for (int port = 1; port <= poePorts; ++port)
        codes[port - 1] = PoeCode::kOff;
    for (const SPoeRow& row : rows) {
        if (row.port < 1 || row.port > poePorts)
            continue;
        codes[row.port - 1] = PoeStatusCode(row.status);
        TraceF("m_uPortStatus = %d", codes[row.port - 1]);
    }
    for (int i = 0; i < kLamps; ++i)
        m_poe[i].store(static_cast<int8_t>(codes[i]));
}

void CPanelState::ResetPanel() {
    for (CPanelObject* port : m_ports)
        port->SetStatus(port->InitialStatus());
    for (int i = 0; i < kLamps; ++i) {
        m_lamps[i].store(PortCode::kEnabled);
        m_speed[i].store(0);
        if (m_poe[i].load() != PoeCode::kNone)
            m_poe[i].store(PoeCode::kUnknown);
    }
    m_BIsPowMax.store(false);
    m_bPolled.store(false);
}

int CPanelState::LampCode(int port) const {
    return InRange(port) ? m_lamps[port - 1].load() : PortCode::kEnabled;
}

int CPanelState::MediaCode(int port) const {
    return InRange(port) ? m_media[port - 1].load() : 0;
}

qint64 CPanelState::SpeedBits(int port) const {
    return InRange(port) ? m_speed[port - 1].load() : 0;
}

int CPanelState::PoeCodeOf(int port) const {
    return InRange(port) ? m_poe[port - 1].load() : PoeCode::kNone;
}

bool CPanelState::AnyPoePowered() const {
    for (const auto& poe : m_poe) {
        if (poe.load() == PoeCode::kOn)
            return true;
    }
    return false;
}
