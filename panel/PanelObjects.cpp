#include "PanelObjects.h"

#include <algorithm>
#include <cstring>

CPanelObject::~CPanelObject() = default;

bool CPanelObject::IsA(const char* className) const {
    return std::strcmp(ClassName(), className) == 0;
}

void CPanelObject::SetID(const QString& id) {
    if (id != QLatin1String("0"))
        m_strId = id;
}

void CPanelObject::SetRect(int left, int top, int width, int height) {
    // No window is larger than this; the clamp keeps every edge (left +
    // width) and every union of rectangles within int.
    const auto clamp = [](int v) { return std::clamp(v, -kMaxCoordinate, kMaxCoordinate); };
    m_nLeft = clamp(left);
    m_nTop = clamp(top);
    m_nWidth = clamp(width);
    m_nHeight = clamp(height);
}

void CPanelObject::SetStatus(int status) {
    if (m_nStatus.exchange(status, std::memory_order_relaxed) != status)
        m_bChanged.store(true, std::memory_order_relaxed);
    for (CLamp* lamp : m_attachedLamps)
        lamp->SetStatus(LampCodeFor(lamp->Type(), status));
}

int LampCodeFor(int lampType, int ownerStatus) {
    switch (lampType) {
    case LampType::kLink:
        return ownerStatus == PortCode::kLinkLow || ownerStatus == PortCode::kLinkFull
                   ? LampCode::kOn
                   : LampCode::kOff;
    case LampType::kS100M:
        return ownerStatus == PortCode::kLinkFull  ? LampCode::k1G
               : ownerStatus == PortCode::kLinkLow ? LampCode::kOn
                                                    : LampCode::kOff;
    default:
        return ownerStatus == PortCode::kDisabled || ownerStatus == PortCode::kEmpty
                   ? LampCode::kOff
                   : LampCode::kOn;
    }
}

void CPanelObject::SetInitialStatus(int status) {
    m_nInitialStatus = status;
    SetStatus(status);
}

void CPanelObject::SetBmp(const QString& bmp) {
    m_strBmp = CutBmpName(bmp);
}

CPanelObject* CPanelObject::AddChild(std::unique_ptr<CPanelObject> child) {
    child->m_pParent = this;
    m_children.push_back(std::move(child));
    return m_children.back().get();
}

void CPanelObject::AdoptChildrenOf(CPanelObject& other) {
    for (auto& child : other.m_children)
        AddChild(std::move(child));
    other.m_children.clear();
}

void CPanelObject::CollectDescendants(std::vector<CPanelObject*>& out) const {
    for (const auto& child : m_children) {
        out.push_back(child.get());
        child->CollectDescendants(out);
    }
}

std::vector<CPanelObject*> CPanelObject::Descendants() const {
    std::vector<CPanelObject*> out;
    CollectDescendants(out);
    return out;
}

CPanelObject* CPanelObject::Find(const char* className, int n) const {
    if (n < 0)
        return nullptr;
    for (CPanelObject* object : Descendants()) {
        if (object->IsA(className) && n-- == 0)
            return object;
    }
    return nullptr;
}

int CPanelObject::Count(const char* className) const {
    int count = 0;
    for (const CPanelObject* object : Descendants())
        count += object->IsA(className) ? 1 : 0;
    return count;
}

CPanelObject* CPanelObject::HitTest(int x, int y) const {
    // Later siblings are drawn on top, so they win.
    for (auto it = m_children.rbegin(); it != m_children.rend(); ++it) {
        CPanelObject* child = it->get();
        if (CPanelObject* inner = child->HitTest(x, y))
            return inner;
        if (child->Rect().contains(x, y))
            return child;
    }
    return nullptr;
}

namespace {
CPanelObject* PortAt(const CPanelObject& root, int x, int y) {
    for (CPanelObject* object = root.HitTest(x, y); object; object = object->Parent()) {
        if (object->IsA("CPort"))
            return object;
    }
    return nullptr;
}
} // namespace

CPanelObject* CPanelObject::Click(int x, int y) const {
    return PortAt(*this, x, y);
}
CPanelObject* CPanelObject::Hover(int x, int y) const {
    return PortAt(*this, x, y);
}

CPort::CPort() {
    SetInitialStatus(PortCode::kEnabled);
}

const QString& CPort::StateBmp(int code) const {
    static const QString none;
    return code >= 0 && code < kStates ? m_stateBmp[code] : none;
}

void CPort::SetStateBmp(int code, const QString& name) {
    if (code >= 0 && code < kStates && !name.isEmpty())
        m_stateBmp[code] = CutBmpName(name);
}

const QString& CLed::StateBmp(int state) const {
    static const QString none;
    return state >= 0 && state < kStates ? m_stateBmp[state] : none;
}

void CLed::SetStateBmp(int state, const QString& name) {
    if (state >= 0 && state < kStates && !name.isEmpty())
        m_stateBmp[state] = CutBmpName(name);
}
