#include "PanelArt.h"

#include <QIcon>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>

#include <functional>

namespace {

// LED colours: lit centre, lit edge.
struct SLedColour {
    QColor core;
    QColor edge;
};
const SLedColour kGreen{QColor(0xb8, 0xff, 0xb0), QColor(0x22, 0xc0, 0x3a)};
const SLedColour kAmber{QColor(0xff, 0xe6, 0xa0), QColor(0xf0, 0x90, 0x10)};
const SLedColour kRed{QColor(0xff, 0x9a, 0x8a), QColor(0xb0, 0x24, 0x1a)};
const SLedColour kDimGreen{QColor(0x3c, 0x8a, 0x44), QColor(0x1a, 0x4a, 0x22)};
const QColor kDarkLed(0x26, 0x2a, 0x2e);

// A lit LED with a soft glow around it.
void PaintLitLed(QPainter& p, const QRectF& r, const SLedColour& c, bool round) {
    p.save();
    p.setPen(Qt::NoPen);
    QRadialGradient glow(r.center(), qMax(r.width(), r.height()) * 0.9);
    QColor halo = c.edge;
    halo.setAlpha(90);
    glow.setColorAt(0.0, halo);
    glow.setColorAt(1.0, Qt::transparent);
    p.setBrush(glow);
    const qreal spread = qMin(r.width(), r.height()) * 0.45;
    p.drawEllipse(r.adjusted(-spread, -spread, spread, spread));
    QRadialGradient body(r.center() - QPointF(r.width() * 0.15, r.height() * 0.2),
                         qMax(r.width(), r.height()) * 0.7);
    body.setColorAt(0.0, c.core);
    body.setColorAt(1.0, c.edge);
    p.setBrush(body);
    if (round)
        p.drawEllipse(r);
    else
        p.drawRoundedRect(r, r.height() * 0.3, r.height() * 0.3);
    p.restore();
}

void PaintDarkLed(QPainter& p, const QRectF& r, bool round) {
    p.save();
    p.setPen(QPen(QColor(0x0c, 0x0d, 0x0f), 0.6));
    QLinearGradient g(r.topLeft(), r.bottomLeft());
    g.setColorAt(0.0, kDarkLed.lighter(130));
    g.setColorAt(1.0, kDarkLed);
    p.setBrush(g);
    if (round)
        p.drawEllipse(r);
    else
        p.drawRoundedRect(r, r.height() * 0.3, r.height() * 0.3);
    p.restore();
}

// Scales the painter so a picture drawn for its natural size fills target.
void Fit(QPainter& p, const QRectF& target, QSizeF natural) {
    p.translate(target.topLeft());
    if (!natural.isEmpty())
        p.scale(target.width() / natural.width(), target.height() / natural.height());
}

// The jack's two LEDs sit in its upper corners, the link LED left, the PoE LED right.
constexpr QRectF kJackLeftLed(2.0, 1.5, 5.0, 3.0);
constexpr QRectF kJackRightLed(17.0, 1.5, 5.0, 3.0);
constexpr QSizeF kJackSize(24, 20);
// The SFP cage has one LED above its opening.
constexpr QRectF kSfpLed(2.5, 1.2, 6.0, 2.8);
constexpr QSizeF kSfpSize(30, 20);

// RJ45 socket; the latch slot is at the top for the upper row (ports face
// each other across the middle of a block, as on the real front plate).
void PaintJack(QPainter& p, const QRectF& target, bool latchUp, bool combo) {
    p.save();
    Fit(p, target, kJackSize);
    p.setRenderHint(QPainter::Antialiasing);
    // Plastic body.
    QLinearGradient body(0, 0, 0, 20);
    body.setColorAt(0.0, QColor(0x3a, 0x3e, 0x44));
    body.setColorAt(1.0, QColor(0x22, 0x25, 0x29));
    p.setPen(QPen(combo ? QColor(0x9c, 0xb8, 0xd6) : QColor(0x11, 0x12, 0x14), combo ? 1.0 : 0.8));
    p.setBrush(body);
    p.drawRoundedRect(QRectF(0.5, 0.5, 23, 19), 1.6, 1.6);
    // Opening with the latch slot.
    QPainterPath hole;
    const qreal top = latchUp ? 8.0 : 6.0;
    hole.addRect(QRectF(3.5, top, 17, 10));
    hole.addRect(latchUp ? QRectF(8.5, 5.5, 7, 3) : QRectF(8.5, 15.5, 7, 3));
    hole = hole.simplified();
    p.setPen(QPen(QColor(0x05, 0x05, 0x06), 0.6));
    p.setBrush(QColor(0x07, 0x08, 0x0a));
    p.drawPath(hole);
    // Gold contacts on the side opposite the latch.
    p.setPen(QPen(QColor(0xc8, 0xa2, 0x3c), 0.7));
    const qreal pinY = latchUp ? top + 8.2 : top + 0.6;
    for (int i = 0; i < 8; ++i) {
        const qreal x = 5.4 + i * 1.9;
        p.drawLine(QPointF(x, pinY), QPointF(x, pinY + 1.3));
    }
    PaintDarkLed(p, kJackLeftLed, false);
    PaintDarkLed(p, kJackRightLed, false);
    p.restore();
}

void PaintSfpCage(QPainter& p, const QRectF& target) {
    p.save();
    Fit(p, target, kSfpSize);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient metal(0, 5, 0, 20);
    metal.setColorAt(0.0, QColor(0xd4, 0xd8, 0xdc));
    metal.setColorAt(0.5, QColor(0xa2, 0xa8, 0xae));
    metal.setColorAt(1.0, QColor(0x7c, 0x82, 0x88));
    p.setPen(QPen(QColor(0x4a, 0x4e, 0x52), 0.7));
    p.setBrush(metal);
    p.drawRoundedRect(QRectF(0.5, 5.5, 29, 14), 1.2, 1.2);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0x0b, 0x0c, 0x0e));
    p.drawRect(QRectF(3, 8, 24, 9));
    // Spring tabs of the cage.
    p.setBrush(QColor(0x8a, 0x90, 0x96));
    p.drawRect(QRectF(6, 6.2, 3, 1.4));
    p.drawRect(QRectF(21, 6.2, 3, 1.4));
    PaintDarkLed(p, kSfpLed, false);
    p.restore();
}

// A state picture: only the LED it lights, the rest transparent.
void PaintLedOverlay(QPainter& p, const QRectF& target, QSizeF natural, const QRectF& led,
                     const SLedColour* colour) {
    p.save();
    Fit(p, target, natural);
    p.setRenderHint(QPainter::Antialiasing);
    if (colour)
        PaintLitLed(p, led, *colour, false);
    p.restore();
}

void PaintJackBlank(QPainter& p, const QRectF& target) {
    p.save();
    Fit(p, target, kJackSize);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(0x50, 0x55, 0x5b), 0.7));
    p.setBrush(QColor(0x6a, 0x70, 0x76));
    p.drawRoundedRect(QRectF(3, 5.5, 18, 11), 1.2, 1.2);
    p.restore();
}

void PaintSfpPlug(QPainter& p, const QRectF& target) {
    p.save();
    Fit(p, target, kSfpSize);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(0x10, 0x10, 0x10), 0.6));
    p.setBrush(QColor(0x2c, 0x2f, 0x33));
    p.drawRoundedRect(QRectF(3.5, 8.5, 23, 8), 1, 1);
    p.setBrush(QColor(0x45, 0x49, 0x4e));
    p.drawRoundedRect(QRectF(11, 10.5, 8, 4), 1, 1);
    p.restore();
}

// Frame lamps: the rectangular set and the round set of the 28P models.
constexpr QSizeF kLampSize(10, 7);
constexpr QSizeF kRoundSize(8, 8);

void PaintLamp(QPainter& p, const QRectF& target, QSizeF natural, const SLedColour* colour,
               bool round) {
    p.save();
    Fit(p, target, natural);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF r(0.8, 0.8, natural.width() - 1.6, natural.height() - 1.6);
    if (colour)
        PaintLitLed(p, r, *colour, round);
    else
        PaintDarkLed(p, r, round);
    p.restore();
}

// Front plate of the switch, with rack ears and their screws.
void PaintChassis(QPainter& p, const QRectF& r) {
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    const qreal ear = qMin<qreal>(12.0, r.width() / 8);
    QLinearGradient face(r.topLeft(), r.bottomLeft());
    face.setColorAt(0.0, QColor(0x3d, 0x43, 0x4b));
    face.setColorAt(0.08, QColor(0x30, 0x35, 0x3c));
    face.setColorAt(0.92, QColor(0x25, 0x29, 0x2f));
    face.setColorAt(1.0, QColor(0x17, 0x1a, 0x1e));
    p.setPen(Qt::NoPen);
    p.setBrush(face);
    p.drawRect(r);
    // Fine horizontal brushing.
    p.setPen(QPen(QColor(255, 255, 255, 7), 0.5));
    for (qreal y = r.top() + 2; y < r.bottom(); y += 2)
        p.drawLine(QPointF(r.left() + ear, y), QPointF(r.right() - ear, y));
    // Rack ears.
    for (const qreal x : {r.left(), r.right() - ear}) {
        const QRectF side(x, r.top(), ear, r.height());
        QLinearGradient g(side.topLeft(), side.topRight());
        g.setColorAt(0.0, QColor(0x4b, 0x51, 0x59));
        g.setColorAt(1.0, QColor(0x36, 0x3b, 0x42));
        p.setPen(Qt::NoPen);
        p.setBrush(g);
        p.drawRect(side);
        for (const qreal y : {r.top() + r.height() * 0.22, r.bottom() - r.height() * 0.22}) {
            const QPointF c(side.center().x(), y);
            p.setBrush(QColor(0x12, 0x14, 0x17));
            p.drawEllipse(c, ear * 0.28, ear * 0.28);
            p.setPen(QPen(QColor(0x60, 0x66, 0x6e), 0.8));
            p.drawLine(c - QPointF(ear * 0.18, 0), c + QPointF(ear * 0.18, 0));
            p.setPen(Qt::NoPen);
        }
    }
    // Bevel.
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(QColor(255, 255, 255, 40), 1));
    p.drawLine(r.topLeft() + QPointF(0, 0.5), r.topRight() + QPointF(0, 0.5));
    p.setPen(QPen(QColor(0, 0, 0, 160), 1));
    p.drawLine(r.bottomLeft() - QPointF(0, 0.5), r.bottomRight() - QPointF(0, 0.5));
    p.restore();
}

// The darker recess that holds a block of ports.
void PaintPortBlock(QPainter& p, const QRectF& r) {
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(0x0e, 0x10, 0x12), 1));
    QLinearGradient g(r.topLeft(), r.bottomLeft());
    g.setColorAt(0.0, QColor(0x16, 0x18, 0x1b));
    g.setColorAt(1.0, QColor(0x20, 0x23, 0x27));
    p.setBrush(g);
    p.drawRoundedRect(r.adjusted(0.5, 0.5, -0.5, -0.5), 2.5, 2.5);
    p.setPen(QPen(QColor(255, 255, 255, 22), 1));
    p.drawLine(r.bottomLeft() + QPointF(2, 0), r.bottomRight() - QPointF(2, 0));
    p.restore();
}

// Console port: an RJ45 in the blue of serial cables.
void PaintConsole(QPainter& p, const QRectF& target) {
    p.save();
    Fit(p, target, kJackSize);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(0x1a, 0x3c, 0x66), 0.8));
    p.setBrush(QColor(0x2f, 0x5f, 0x9a));
    p.drawRoundedRect(QRectF(0.5, 0.5, 23, 19), 1.6, 1.6);
    QPainterPath hole;
    hole.addRect(QRectF(3.5, 6, 17, 10));
    hole.addRect(QRectF(8.5, 15.5, 7, 3));
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0x07, 0x08, 0x0a));
    p.drawPath(hole.simplified());
    p.restore();
}

using Painter = std::function<void(QPainter&, const QRectF&)>;

struct SArt {
    int id;
    const char* name;
    QSize size; // empty: drawn to the size of its object
    Painter paint;
};

Painter Overlay(QSizeF natural, QRectF led, const SLedColour* colour) {
    return [=](QPainter& p, const QRectF& r) { PaintLedOverlay(p, r, natural, led, colour); };
}
Painter Lamp(QSizeF natural, const SLedColour* colour, bool round) {
    return [=](QPainter& p, const QRectF& r) { PaintLamp(p, r, natural, colour, round); };
}

const std::vector<SArt>& ArtTable() {
    using namespace Bmp;
    static const std::vector<SArt> table = {
        {kPowerLamp, "IDB_LAMP_POWER", {10, 7}, Lamp(kLampSize, &kGreen, false)},
        {kJackEven,
         "IDB_JACK_EVEN",
         {24, 20},
         [](QPainter& p, const QRectF& r) { PaintJack(p, r, false, false); }},
        {kJackOdd,
         "IDB_JACK_ODD",
         {24, 20},
         [](QPainter& p, const QRectF& r) { PaintJack(p, r, true, false); }},
        {kLinkFull, "IDB_LED_LINK", {24, 20}, Overlay(kJackSize, kJackLeftLed, &kGreen)},
        {kLinkLow, "IDB_LED_LINKLOW", {24, 20}, Overlay(kJackSize, kJackLeftLed, &kAmber)},
        {kLinkBlink, "IDB_LED_BLINK", {24, 20}, Overlay(kJackSize, kJackLeftLed, &kDimGreen)},
        {kDisabled, "IDB_LED_DISABLED", {24, 20}, Overlay(kJackSize, kJackLeftLed, &kRed)},
        {kLampGreen, "IDB_LAMP_GREEN", {10, 7}, Lamp(kLampSize, &kGreen, false)},
        {kLampAmber, "IDB_LAMP_AMBER", {10, 7}, Lamp(kLampSize, &kAmber, false)},
        {kLampOff, "IDB_LAMP_OFF", {10, 7}, Lamp(kLampSize, nullptr, false)},
        {kFanLamp, "IDB_ROUND_FAN", {8, 8}, Lamp(kRoundSize, &kGreen, true)},
        {kRoundAmber, "IDB_ROUND_AMBER", {8, 8}, Lamp(kRoundSize, &kAmber, true)},
        {kRoundOff, "IDB_ROUND_OFF", {8, 8}, Lamp(kRoundSize, nullptr, true)},
        {kSystemLamp, "IDB_ROUND_SYSTEM", {8, 8}, Lamp(kRoundSize, &kGreen, true)},
        {kJackCombo,
         "IDB_JACK_COMBO",
         {24, 20},
         [](QPainter& p, const QRectF& r) { PaintJack(p, r, false, true); }},
        {kSfpCage, "IDB_SFP", {30, 20}, PaintSfpCage},
        {kSfpLinkFull, "IDB_SFP_LINK", {30, 20}, Overlay(kSfpSize, kSfpLed, &kGreen)},
        {kSfpLinkLow, "IDB_SFP_LINKLOW", {30, 20}, Overlay(kSfpSize, kSfpLed, &kAmber)},
        {kSfpBlink, "IDB_SFP_BLINK", {30, 20}, Overlay(kSfpSize, kSfpLed, &kDimGreen)},
        {kSfpDisabled, "IDB_SFP_DISABLED", {30, 20}, Overlay(kSfpSize, kSfpLed, &kRed)},
        {kSfpEmpty, "IDB_SFP_EMPTY", {30, 20}, PaintSfpPlug},
        {kJackEmpty, "IDB_JACK_EMPTY", {24, 20}, PaintJackBlank},
        {kPoeOn, "IDB_POE_ON", {24, 20}, Overlay(kJackSize, kJackRightLed, &kAmber)},
        {kPoeOther, "IDB_POE_OTHER", {24, 20}, Overlay(kJackSize, kJackRightLed, &kRed)},
        {kChassis, "IDB_CHASSIS", {}, PaintChassis},
        {kPortBlock, "IDB_PORT_BLOCK", {}, PaintPortBlock},
        {kConsole, "IDB_CONSOLE", {24, 20}, PaintConsole},
        {kLedSocket, "IDB_LED_SOCKET", {10, 7}, Lamp(kLampSize, nullptr, false)},
        {kLabel, "IDB_LABEL", {}, [](QPainter&, const QRectF&) {}},
    };
    return table;
}

const SArt* FindArt(int id) {
    for (const SArt& art : ArtTable()) {
        if (art.id == id)
            return &art;
    }
    return nullptr;
}

} // namespace

void PaintArt(QPainter& painter, int id, const QRectF& target) {
    if (const SArt* art = FindArt(id))
        art->paint(painter, target);
}

QSize ArtSize(int id) {
    const SArt* art = FindArt(id);
    return art ? art->size : QSize();
}

int ArtIdByName(const QString& name) {
    for (const SArt& art : ArtTable()) {
        if (name == QLatin1String(art.name))
            return art.id;
    }
    return 0;
}

const std::vector<int>& PanelBitmapIds() {
    static const std::vector<int> ids = {158, 159, 160, 161, 162, 163, 164, 190,
                                         191, 192, 230, 231, 202, 204, 201, 203};
    return ids;
}

bool CBitmapCache::Load(int id) {
    const QSize size = ArtSize(id);
    if (size.isEmpty())
        return false;
    QPixmap pixmap(size * m_ratio);
    pixmap.setDevicePixelRatio(m_ratio);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    PaintArt(painter, id, QRectF(QPointF(0, 0), QSizeF(size)));
    painter.end();
    m_bitmaps[id] = pixmap;
    return true;
}

void CBitmapCache::Blit(QPainter& painter, int id, int x, int y, int srcX, int srcY) const {
    const auto it = m_bitmaps.find(id);
    if (it == m_bitmaps.end())
        return;
    const QPixmap& pixmap = it->second;
    const QSize size = pixmap.deviceIndependentSize().toSize();
    painter.drawPixmap(QRect(x, y, size.width() - srcX, size.height() - srcY), pixmap,
                       QRectF(srcX * m_ratio, srcY * m_ratio, (size.width() - srcX) * m_ratio,
                              (size.height() - srcY) * m_ratio));
}

QSize CBitmapCache::Size(int id) const {
    const auto it = m_bitmaps.find(id);
    return it == m_bitmaps.end() ? QSize() : it->second.deviceIndependentSize().toSize();
}

void CBitmapCache::SetDevicePixelRatio(qreal ratio) {
    if (ratio <= 0 || qFuzzyCompare(ratio, m_ratio))
        return;
    m_ratio = ratio;
    std::vector<int> ids;
    for (const auto& entry : m_bitmaps)
        ids.push_back(entry.first);
    for (int id : ids)
        Load(id);
}

CBitmapCache& PanelBitmaps() {
    static CBitmapCache cache;
    return cache;
}

QIcon ModuleIcon() {
    QIcon icon;
    for (int size : {16, 24, 32, 48, 64, 128, 256}) {
        QPixmap pixmap(size, size);
        pixmap.fill(Qt::transparent);
        QPainter p(&pixmap);
        p.setRenderHint(QPainter::Antialiasing);
        p.scale(size / 32.0, size / 32.0);
        // A switch seen from the front: plate, two rows of ports, lit LEDs.
        QLinearGradient plate(0, 8, 0, 24);
        plate.setColorAt(0.0, QColor(0x4a, 0x52, 0x5c));
        plate.setColorAt(1.0, QColor(0x22, 0x26, 0x2b));
        p.setPen(QPen(QColor(0x10, 0x12, 0x14), 1));
        p.setBrush(plate);
        p.drawRoundedRect(QRectF(1.5, 8.5, 29, 15), 2.5, 2.5);
        p.setPen(Qt::NoPen);
        for (int row = 0; row < 2; ++row) {
            for (int col = 0; col < 4; ++col) {
                const QRectF jack(10.5 + col * 5, 11 + row * 6, 4, 4);
                p.setBrush(QColor(0x06, 0x07, 0x08));
                p.drawRect(jack);
                const bool lit = (row + col) % 3 != 2;
                p.setBrush(lit ? QColor(0x3e, 0xf0, 0x5a) : QColor(0x30, 0x34, 0x38));
                p.drawRect(QRectF(jack.left(), jack.top() - 1.2, 1.6, 0.9));
            }
        }
        p.setBrush(QColor(0x3e, 0xf0, 0x5a));
        p.drawEllipse(QPointF(5.5, 13), 1.4, 1.4);
        p.setBrush(QColor(0xf0, 0xa0, 0x20));
        p.drawEllipse(QPointF(5.5, 18.5), 1.4, 1.4);
        p.end();
        icon.addPixmap(pixmap);
    }
    return icon;
}
