#pragma once

#include <QRect>
#include <QString>

#include <array>
#include <atomic>
#include <cstdint>
#include <memory>
#include <vector>

// Status codes of a port object (and of the port-lamp bytes).
namespace PortCode {
constexpr int kLinkLow = 0;  // "PORTLINK100": link below the port's full speed
constexpr int kLinkFull = 1; // "PORTLINK10": link at full speed
constexpr int kDisabled = 2; // "PORTDISABLED": disabled, or PoE off
constexpr int kEnabled = 3;  // "PORTENABLE": enabled without link, or not polled yet
constexpr int kEmpty = 4;    // "PORTEMPTY"
} // namespace PortCode

// Status codes of a lamp.
namespace LampCode {
constexpr int kOn = 0;  // "LAMPON"
constexpr int k1G = 1;  // "LAMP1G"
constexpr int kOff = 2; // "LAMPOFF"
} // namespace LampCode

// Lamp types.
namespace LampType {
constexpr int kLink = 0;    // "LINK"
constexpr int kS100M = 1;   // "S100M"
constexpr int kPower = 2;   // "POWER"
constexpr int kConsole = 3; // "CONSOLE"
} // namespace LampType

// The code a lamp of the type shows while its owner (port or console) has
// the status: a link lamp is on while the port has a link; a speed lamp
// shows the gigabit colour at full speed, plain on below it; power and
// console lamps are on unless their owner is disabled or empty.
int LampCodeFor(int lampType, int ownerStatus);

// One part of the drawn front panel, built from an element of the panel
// description. The polling thread stores status codes while the window paints,
// so status and the changed flag are atomics; everything else is written only
// while the tree is built.
class CPanelObject {
public:
    CPanelObject() = default;
    virtual ~CPanelObject();
    CPanelObject(const CPanelObject&) = delete;
    CPanelObject& operator=(const CPanelObject&) = delete;

    // The runtime class name the main window searches by ("CPort", "CLamp", ...).
    virtual const char* ClassName() const = 0;
    bool IsA(const char* className) const;

    const QString& ID() const { return m_strId; }
    void SetID(const QString& id);

    QRect Rect() const { return QRect(m_nLeft, m_nTop, m_nWidth, m_nHeight); }
    // Each value is clamped to +-kMaxCoordinate (the largest X11 window).
    void SetRect(int left, int top, int width, int height);
    static constexpr int kMaxCoordinate = 32767;
    int Left() const { return m_nLeft; }
    int Top() const { return m_nTop; }
    int Width() const { return m_nWidth; }
    int Height() const { return m_nHeight; }

    int Status() const { return m_nStatus.load(std::memory_order_relaxed); }
    // Stores a code; a code different from the current one raises the changed
    // flag. The lamps attached to this object follow (LampCodeFor).
    void SetStatus(int status);
    // A lamp inside a port or console: it follows this object's state.
    void AttachLamp(class CLamp* lamp) { m_attachedLamps.push_back(lamp); }
    const std::vector<class CLamp*>& AttachedLamps() const { return m_attachedLamps; }
    // The code the description file gave (or the class default): what a reset returns to.
    int InitialStatus() const { return m_nInitialStatus; }
    void SetInitialStatus(int status);
    bool Changed() const { return m_bChanged.load(std::memory_order_relaxed); }
    // Reads and clears the flag in one step (the painter's "I have seen it").
    bool TakeChanged() { return m_bChanged.exchange(false, std::memory_order_relaxed); }

    const QString& Bmp() const { return m_strBmp; }
    void SetBmp(const QString& bmp);

    const QString& Name() const { return m_strName; }
    virtual void SetName(const QString& name) { m_strName = name; }

    CPanelObject* Parent() const { return m_pParent; }
    const std::vector<std::unique_ptr<CPanelObject>>& Children() const { return m_children; }
    CPanelObject* AddChild(std::unique_ptr<CPanelObject> child);
    void ClearChildren() { m_children.clear(); }
    // Moves every child of other under this object, in order.
    void AdoptChildrenOf(CPanelObject& other);

    // The n-th object (from 0) of the class among all descendants in document order.
    CPanelObject* Find(const char* className, int n) const;
    int Count(const char* className) const;
    // Every descendant, in document order.
    std::vector<CPanelObject*> Descendants() const;

    // The deepest object whose rectangle holds the point, or null.
    CPanelObject* HitTest(int x, int y) const;
    // The root forwards the points of the window here; both return the port
    // object under the point (null when there is none).
    virtual CPanelObject* Click(int x, int y) const;
    virtual CPanelObject* Hover(int x, int y) const;

    // Maximum length of a bitmap name (the original buffer held 99 characters).
    static constexpr int kMaxBmpName = 99;

protected:
    static QString CutBmpName(const QString& name) { return name.left(kMaxBmpName); }

private:
    void CollectDescendants(std::vector<CPanelObject*>& out) const;

    std::vector<std::unique_ptr<CPanelObject>> m_children;
    std::vector<class CLamp*> m_attachedLamps; // not owned: they are descendants
    CPanelObject* m_pParent = nullptr;
    QString m_strId;
    int32_t m_nLeft = 0;
    int32_t m_nTop = 0;
    int32_t m_nWidth = 0;
    int32_t m_nHeight = 0;
    std::atomic<int32_t> m_nStatus{0};
    std::atomic<bool> m_bChanged{false};
    int32_t m_nInitialStatus = 0;
    QString m_strBmp;
    QString m_strName;
};

class CPanel : public CPanelObject {
public:
    const char* ClassName() const override { return "CPanel"; }
};

class CPort : public CPanelObject {
public:
    CPort();
    const char* ClassName() const override { return "CPort"; }
    // Bitmap names per state code 0 to 4 ("BMPLINK100", "BMPLINK10", "BMPDISABLE",
    // "BMPENABLE", "BMPEMPTY"); empty when the file gave none.
    const QString& StateBmp(int code) const;
    void SetStateBmp(int code, const QString& name);
    static constexpr int kStates = 5;

private:
    std::array<QString, kStates> m_stateBmp;
};

class CCom : public CPanelObject {
public:
    const char* ClassName() const override { return "CCom"; }
};

class CLamp : public CPanelObject {
public:
    const char* ClassName() const override { return "CLamp"; }
    int Type() const { return m_nType; }
    void SetType(int type) { m_nType = type; }
    // A lamp inside a port or console follows its owner; others stand alone.
    CPanelObject* Owner() const { return m_pOwner; }
    void SetOwner(CPanelObject* owner) { m_pOwner = owner; }

private:
    int m_nType = LampType::kLink;
    CPanelObject* m_pOwner = nullptr; // not owned: the owner is an ancestor
};

class CSlot : public CPanelObject {
public:
    const char* ClassName() const override { return "CSlot"; }
};

class CPower : public CPanelObject {
public:
    const char* ClassName() const override { return "CPower"; }
};

class CLed : public CPanelObject {
public:
    const char* ClassName() const override { return "CLed"; }
    static constexpr int kStates = 10;
    const QString& StateBmp(int state) const;
    void SetStateBmp(int state, const QString& name);

private:
    std::array<QString, kStates> m_stateBmp;
};

class CModule : public CPanelObject {
public:
    const char* ClassName() const override { return "CModule"; }
};

using ModuleList = std::vector<std::unique_ptr<CPanelObject>>;
