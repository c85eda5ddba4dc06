#pragma once

#include "panel/PanelStatus.h"

#include <QPixmap>
#include <QString>

#include <map>
#include <vector>

class CBitmapCache;
class QPainter;

// A fixed lamp of the frame: bitmap id at a panel position.
struct SLampDraw {
    int id;
    int x;
    int y;
    bool operator==(const SLampDraw&) const = default;
};

struct SFrameState {
    QString model;
    int nPortNum = 0;
    int nComboPortNum = 0;
    QString fanText = QStringLiteral("1");
    bool bReachable = false;
    bool bPoePowered = false; // at least one PoE port delivers power
    bool bPowMax = false;     // the PoE budget is used up
};

// The frame lamps of a model, in drawing order. The count that picks the set
// is the port count, or the copper count when the port count has no set of
// its own (28, 20 and 52 ports carry 24, 16 and 48 copper ports).
std::vector<SLampDraw> FrameLamps(const SFrameState& frame);

// The picture over a port for its status code: the bitmap the description
// names for that state, else ours; 0 for none (enabled without link shows
// the bare socket). blinkOff gives the dark phase of a blinking link.
int PortStateBitmap(const CPanelObject& port, int code, bool fibre, bool blinkOff);

// The port number that a port object shows (fibre objects show their combo
// port); 0 for an object that is not a port of the layout.
int PortNumberOf(const CPanelState& state, const CPanelObject* object);

// The tool tip of a port: number, link and speed, media, and PoE on PoE models.
QString PortToolTip(const CPanelState& state, int port);

// Draws the panel: the parts of the description, the port sockets with their
// states, and the frame lamps. Runs on the GUI thread and reads the shared
// state without waiting for anything.
class CPanelPainter {
public:
    CPanelPainter(const CPanelObject& root, const CPanelState& state, CBitmapCache& cache,
                  QString model);

    void Paint(QPainter& painter, bool blinkPhase);
    // One blink tick: ports whose state changed blink for a few seconds so
    // that the eye finds them.
    void Tick();
    bool Blinking(const CPanelObject* port) const;
    // Forget the rendered background (new pixel ratio).
    void InvalidateBackground() { m_background = QPixmap(); }

    static constexpr int kBlinkTicks = 15; // 3 s at 200 ms

private:
    void PaintBackground(QPainter& painter) const;
    void PaintPorts(QPainter& painter, bool blinkPhase) const;
    void PaintPort(QPainter& painter, const CPanelObject& port, int glyph, bool fibre,
                   bool blinkPhase) const;

    const CPanelObject& m_root;
    const CPanelState& m_state;
    CBitmapCache& m_cache;
    QString m_strModel;
    QPixmap m_background;
    std::map<const CPanelObject*, int> m_blink;
};
