#include "PanelPainter.h"

#include "device/ModelVariants.h"
#include "panel/PanelArt.h"

#include <QFont>
#include <QPainter>

#include <algorithm>

std::vector<SLampDraw> FrameLamps(const SFrameState& frame) {
    using namespace Bmp;
    std::vector<SLampDraw> lamps = {{kPowerLamp, 15, 34}};
    const bool fanOk = frame.fanText == QLatin1String("1");
    if (HasOwnFrameLamps(frame.model)) {
        lamps.push_back({kRoundOff, 37, 50});
        lamps.push_back({kPowerLamp, 15, 33});
        if (frame.bReachable) {
            lamps.push_back({frame.bPoePowered ? kRoundAmber : kRoundOff, 68, 48});
            lamps.push_back({frame.bPowMax ? kRoundAmber : kRoundOff, 68, 60});
            lamps.push_back({kSystemLamp, 37, 50});
            if (fanOk)
                lamps.push_back({kFanLamp, 37, 34});
        }
        return lamps;
    }
    int count = frame.nPortNum;
    if (count != 24 && count != 16 && count != 48 && count != 10)
        count = frame.nPortNum - frame.nComboPortNum;
    switch (count) {
    case 24:
        lamps.push_back({kPowerLamp, 24, 25});
        break;
    case 16:
        lamps.push_back({kPowerLamp, 25, 26});
        break;
    case 48:
        lamps.push_back({kPowerLamp, 21, 27});
        // A fan seen running by a switch that no longer answers is old news.
        if (fanOk && frame.bReachable)
            lamps.push_back({kLampGreen, 55, 33});
        break;
    case 10:
        if (frame.bReachable) {
            lamps.push_back({frame.bPoePowered ? kLampGreen : kLampOff, 89, 63});
            lamps.push_back({frame.bPowMax ? kLampAmber : kLampOff, 89, 78});
            lamps.push_back({kLampGreen, 55, 63});
        } else {
            lamps.push_back({kLampOff, 89, 63});
            lamps.push_back({kLampOff, 89, 78});
            lamps.push_back({kLampOff, 55, 63});
        }
        break;
    default:
        break;
    }
    return lamps;
}

int PortStateBitmap(const CPanelObject& port, int code, bool fibre, bool blinkOff) {
    using namespace Bmp;
    if ((code == PortCode::kLinkLow || code == PortCode::kLinkFull) && blinkOff)
        return fibre ? kSfpBlink : kLinkBlink;
    if (const auto* described = dynamic_cast<const CPort*>(&port)) {
        if (const int id = ArtIdByName(described->StateBmp(code)))
            return id;
    }
    static constexpr int kJack[] = {kLinkLow, kLinkFull, kDisabled, 0, kJackEmpty};
    static constexpr int kSfp[] = {kSfpLinkLow, kSfpLinkFull, kSfpDisabled, 0, kSfpEmpty};
    if (code < 0 || code > PortCode::kEmpty)
        return 0;
    return fibre ? kSfp[code] : kJack[code];
}

int PortNumberOf(const CPanelState& state, const CPanelObject* object) {
    const auto& ports = state.PortObjects();
    const auto it = std::find(ports.begin(), ports.end(), object);
    if (it == ports.end())
        return 0;
    const int index = static_cast<int>(it - ports.begin());
    const CPanelState::SLayout& layout = state.Layout();
    if (index < layout.nPortNum)
        return index + 1;
    if (index < layout.nPortNum + layout.nComboPortNum)
        return layout.nComboPortIndex + index - layout.nPortNum;
    return 0;
}

namespace {

QString SpeedText(qint64 bits) {
    if (bits >= 1000000000 && bits % 1000000000 == 0)
        return QStringLiteral("%1 Gb/s").arg(bits / 1000000000);
    if (bits >= 1000000)
        return QStringLiteral("%1 Mb/s").arg(bits / 1000000);
    return QStringLiteral("%1 b/s").arg(bits);
}

QString LinkText(const CPanelState& state, int port) {
    if (!state.Polled())
        return state.Passes() > 0 ? QStringLiteral("unknown (the switch does not answer)")
                                  : QStringLiteral("not read yet");
    switch (state.LampCode(port)) {
    case PortCode::kLinkFull:
        return QStringLiteral("up, ") + SpeedText(state.SpeedBits(port));
    case PortCode::kLinkLow:
        return QStringLiteral("up, ") + SpeedText(state.SpeedBits(port)) +
               QStringLiteral(" (below full speed)");
    case PortCode::kDisabled:
        return QStringLiteral("disabled");
    case PortCode::kEmpty:
        return QStringLiteral("empty");
    default:
        return QStringLiteral("down");
    }
}

QString PoeText(int code) {
    switch (code) {
    case PoeCode::kOn:
        return QStringLiteral("delivering power");
    case PoeCode::kOff:
        return QStringLiteral("off");
    case PoeCode::kUnknown:
        return QStringLiteral("unknown");
    default:
        return QStringLiteral("not powering (detecting or fault)");
    }
}

QFont PanelFont(int pixelSize, bool bold = false) {
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(pixelSize);
    font.setBold(bold);
    font.setHintingPreference(QFont::PreferNoHinting);
    return font;
}

const QColor kLabelColour(0xd8, 0xdc, 0xe0);

} // namespace

QString PortToolTip(const CPanelState& state, int port) {
    QStringList lines;
    lines << QStringLiteral("Port %1").arg(port);
    lines << QStringLiteral("Link: ") + LinkText(state, port);
    const bool combo = port >= state.Layout().nComboPortIndex &&
                       port < state.Layout().nComboPortIndex + state.Layout().nComboPortNum;
    QString media =
        IsFibreMedia(state.MediaCode(port)) ? QStringLiteral("fibre") : QStringLiteral("copper");
    if (combo)
        media += QStringLiteral(" (combo port)");
    lines << QStringLiteral("Media: ") + media;
    if (const int poe = state.PoeCodeOf(port); poe != PoeCode::kNone)
        lines << QStringLiteral("PoE: ") + PoeText(poe);
    return lines.join(u'\n');
}

CPanelPainter::CPanelPainter(const CPanelObject& root, const CPanelState& state,
                             CBitmapCache& cache, QString model)
    : m_root(root), m_state(state), m_cache(cache), m_strModel(std::move(model)) {}

void CPanelPainter::Tick() {
    for (CPanelObject* port : m_state.PortObjects()) {
        if (port->TakeChanged())
            m_blink[port] = kBlinkTicks;
        else if (auto it = m_blink.find(port); it != m_blink.end() && --it->second <= 0)
            m_blink.erase(it);
    }
}

bool CPanelPainter::Blinking(const CPanelObject* port) const {
    return m_blink.count(port) != 0;
}

void CPanelPainter::PaintBackground(QPainter& p) const {
    const auto& ports = m_state.PortObjects();
    // Port numbers go above the upper row and below the lower one.
    QRect portArea;
    for (const CPanelObject* port : ports)
        portArea |= port->Rect();
    const int portMiddle = portArea.center().y();
    for (const CPanelObject* object : m_root.Descendants()) {
        const QRect r = object->Rect();
        const bool isPort = std::find(ports.begin(), ports.end(), object) != ports.end();
        if (!isPort) {
            int id = ArtIdByName(object->Bmp());
            if (const auto* led = dynamic_cast<const CLed*>(object); led && !id)
                id = ArtIdByName(led->StateBmp(0));
            if (id) {
                const QSize natural = ArtSize(id);
                const QRect target = natural.isEmpty() ? r : QRect(r.topLeft(), natural);
                PaintArt(p, id, target);
            }
        }
        if (object->Name().isEmpty() || object->IsA("CPanel"))
            continue;
        // Names: ports carry their number above the upper row and below the
        // lower one; lamps their label to the right; other parts below.
        p.setPen(kLabelColour);
        if (isPort || object->IsA("CPort")) {
            p.setFont(PanelFont(7));
            const bool upper = r.center().y() <= portMiddle;
            const QRect label = upper ? QRect(r.left() - 4, r.top() - 11, r.width() + 8, 9)
                                      : QRect(r.left() - 4, r.bottom() + 3, r.width() + 8, 9);
            p.drawText(label, Qt::AlignCenter, object->Name());
        } else if (object->IsA("CSlot")) {
            // A block's name (its PoE range) stands in the band of the model name.
            p.setFont(PanelFont(8, true));
            p.setPen(QColor(0xf0, 0xa0, 0x30));
            p.drawText(QRect(r.left() + 2, m_root.Top() + 7, r.width(), 12),
                       Qt::AlignLeft | Qt::AlignTop, object->Name());
        } else if (const QSize socket = ArtSize(ArtIdByName(object->Bmp()));
                   !socket.isEmpty() && r.width() > socket.width() + 4) {
            p.setFont(PanelFont(7, true));
            p.drawText(
                QRect(r.left() + socket.width() + 3, r.top() - 3, r.width(), socket.height() + 6),
                Qt::AlignLeft | Qt::AlignVCenter, object->Name());
        } else if (!socket.isEmpty() && r.height() > socket.height() + 4) {
            p.setFont(PanelFont(7, true));
            p.drawText(QRect(r.left() - 10, r.top() + socket.height() + 1, socket.width() + 20, 9),
                       Qt::AlignHCenter | Qt::AlignTop, object->Name());
        } else {
            p.setFont(PanelFont(7));
            p.drawText(QRect(r.left() - 10, r.bottom() + 3, r.width() + 20, 9), Qt::AlignCenter,
                       object->Name());
        }
    }
    // The model name on the plate.
    if (const CPanelObject* plate = m_root.Find("CPanel", 0); plate && !plate->Name().isEmpty()) {
        p.setFont(PanelFont(10, true));
        p.setPen(QColor(0xee, 0xf0, 0xf2));
        p.drawText(QRect(plate->Left() + 16, plate->Top() + 5, 200, 14),
                   Qt::AlignLeft | Qt::AlignTop, plate->Name());
    }
}

void CPanelPainter::PaintPort(QPainter& p, const CPanelObject& port, int glyph, bool fibre,
                              bool blinkPhase) const {
    m_cache.Blit(p, glyph, port.Left(), port.Top());
    const int code = port.Status();
    const bool blinkOff = blinkPhase && Blinking(&port);
    if (const int id = PortStateBitmap(port, code, fibre, blinkOff)) {
        if (!m_cache.IsLoaded(id))
            m_cache.Load(id);
        m_cache.Blit(p, id, port.Left(), port.Top());
    }
}

void CPanelPainter::PaintPorts(QPainter& p, bool blinkPhase) const {
    using namespace Bmp;
    const CPanelState::SLayout& layout = m_state.Layout();
    const bool comboInLoop = DrawsComboInPortLoop(m_strModel);
    const auto& ports = m_state.PortObjects();
    const auto isCombo = [&](int n) {
        return n >= layout.nComboPortIndex && n < layout.nComboPortIndex + layout.nComboPortNum;
    };
    for (int n = 1; n <= layout.nPortNum && n <= static_cast<int>(ports.size()); ++n) {
        if (isCombo(n) && !comboInLoop)
            continue;
        PaintPort(p, *ports[n - 1], n % 2 ? kJackOdd : kJackEven, false, blinkPhase);
    }
    // Combo ports: the copper half where the model draws it apart, and the fibre half.
    for (int n = layout.nComboPortIndex; isCombo(n) && n <= layout.nPortNum; ++n) {
        if (!comboInLoop) {
            if (const CPanelObject* copper = m_state.CopperObject(n))
                PaintPort(p, *copper, kJackCombo, false, blinkPhase);
        }
        if (const CPanelObject* fibre = m_state.FibreObject(n))
            PaintPort(p, *fibre, kSfpCage, true, blinkPhase);
    }
    // PoE LEDs of the powered ports.
    for (int n = 1; n <= layout.nPoePorts && n <= static_cast<int>(ports.size()); ++n) {
        const int poe = m_state.PoeCodeOf(n);
        const int id = poe == PoeCode::kOn ? kPoeOn : poe == PoeCode::kOther ? kPoeOther : 0;
        if (id) {
            if (!m_cache.IsLoaded(id))
                m_cache.Load(id);
            m_cache.Blit(p, id, ports[n - 1]->Left(), ports[n - 1]->Top());
        }
    }
}

void CPanelPainter::Paint(QPainter& p, bool blinkPhase) {
    const QSize size(qMax(0, m_root.Width()), qMax(0, m_root.Height()));
    const qreal ratio = m_cache.DevicePixelRatio();
    if (!size.isEmpty() && (m_background.isNull() || m_background.devicePixelRatio() != ratio)) {
        m_background = QPixmap(size * ratio);
        m_background.setDevicePixelRatio(ratio);
        m_background.fill(Qt::black);
        QPainter bg(&m_background);
        bg.setRenderHint(QPainter::Antialiasing);
        bg.setRenderHint(QPainter::TextAntialiasing);
        bg.translate(-m_root.Left(), -m_root.Top());
        PaintBackground(bg);
    }
    if (!m_background.isNull())
        p.drawPixmap(m_root.Left(), m_root.Top(), m_background);
    PaintPorts(p, blinkPhase);

    SFrameState frame;
    frame.model = m_strModel;
    frame.nPortNum = m_state.Layout().nPortNum;
    frame.nComboPortNum = m_state.Layout().nComboPortNum;
    frame.fanText = m_state.FanText();
    frame.bReachable = m_state.Reachable();
    frame.bPoePowered = m_state.AnyPoePowered();
    frame.bPowMax = m_state.PowMax();
    for (const SLampDraw& lamp : FrameLamps(frame)) {
        if (!m_cache.IsLoaded(lamp.id))
            m_cache.Load(lamp.id);
        m_cache.Blit(p, lamp.id, lamp.x, lamp.y);
    }
}
