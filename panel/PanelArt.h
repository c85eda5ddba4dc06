#pragma once

#include <QPixmap>
#include <QRectF>
#include <QSize>
#include <QString>

#include <map>
#include <vector>

class QPainter;

// Resource ids of the panel bitmaps. The first group is what the main window
// loads and draws by number; the rest are the state and part pictures the
// description files name. All of it is our own vector art, rendered at the
// screen's pixel ratio so it stays sharp on HiDPI screens.
namespace Bmp {
constexpr int kPowerLamp = 158;   // fixed frame lamp: power, green
constexpr int kJackEven = 159;    // RJ45 of the bottom row (even port numbers)
constexpr int kJackOdd = 160;     // RJ45 of the top row (odd port numbers)
constexpr int kLinkFull = 161;    // port LED: link at full speed
constexpr int kLinkLow = 162;     // port LED: link below full speed
constexpr int kLinkBlink = 163;   // port LED: the dark phase of a blinking link
constexpr int kDisabled = 164;    // port LED: administratively disabled
constexpr int kLampGreen = 190;   // frame lamp lit green
constexpr int kLampAmber = 191;   // frame lamp lit amber
constexpr int kLampOff = 192;     // frame lamp dark
constexpr int kFanLamp = 201;     // 28P set: fan running
constexpr int kRoundAmber = 202;  // 28P set: lit amber
constexpr int kRoundOff = 203;    // 28P set: dark
constexpr int kSystemLamp = 204;  // 28P set: system up
constexpr int kJackCombo = 230;   // RJ45 half of a combo port
constexpr int kSfpCage = 231;     // fibre (SFP) half of a combo port
constexpr int kSfpLinkFull = 300; // SFP LED states, like 161 to 164
constexpr int kSfpLinkLow = 301;
constexpr int kSfpBlink = 302;
constexpr int kSfpDisabled = 303;
constexpr int kSfpEmpty = 304;  // dust plug
constexpr int kJackEmpty = 305; // blanked RJ45
constexpr int kPoeOn = 310;     // PoE LED of a jack: powered
constexpr int kPoeOther = 311;  // PoE LED: searching, fault or anything but on/off
// Parts drawn to the size of their object.
constexpr int kChassis = 400;
constexpr int kPortBlock = 401;
constexpr int kConsole = 402;
constexpr int kLedSocket = 403;
constexpr int kLabel = 404;
} // namespace Bmp

// The picture of one id, drawn into a rectangle of any size.
void PaintArt(QPainter& painter, int id, const QRectF& target);
// The natural size in device-independent pixels; empty for an unknown id.
QSize ArtSize(int id);
// "IDB_JACK_ODD" and the like, as the description files name them; 0 when unknown.
int ArtIdByName(const QString& name);
// The ids the main window loads at start, in its order.
const std::vector<int>& PanelBitmapIds();

// Rendered bitmaps by resource id. One per process; used on the GUI thread only.
class CBitmapCache {
public:
    // Renders the picture of id at the current pixel ratio; false for an unknown id.
    bool Load(int id);
    bool IsLoaded(int id) const { return m_bitmaps.count(id) != 0; }
    // Draws the whole bitmap at (x, y); an id that was never loaded draws nothing.
    void Blit(QPainter& painter, int id, int x, int y, int srcX = 0, int srcY = 0) const;
    QSize Size(int id) const;
    // A new ratio (the window moved to another screen) renders everything again.
    void SetDevicePixelRatio(qreal ratio);
    qreal DevicePixelRatio() const { return m_ratio; }
    void Clear() { m_bitmaps.clear(); }

private:
    std::map<int, QPixmap> m_bitmaps;
    qreal m_ratio = 1.0;
};

CBitmapCache& PanelBitmaps();

// The module's window icon, drawn like the rest of the art.
class QIcon;
QIcon ModuleIcon();
