#include "panel/PanelReader.h"

#include <cstddef>
#include <cstdint>

// Any bytes as a panel description: either a tree or nothing at all.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    CPanel root;
    ModuleList modules;
    const bool ok = ParsePanelDescription(
        QByteArray(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size)), root, modules);
    if (!ok && (!root.Children().empty() || !modules.empty()))
        __builtin_trap();
    for (const CPanelObject* object : root.Descendants()) {
        if (object->Bmp().size() > CPanelObject::kMaxBmpName)
            __builtin_trap();
        (void)root.HitTest(object->Left(), object->Top());
    }
    (void)root.Find("CPort", root.Count("CPort") - 1);
    return 0;
}
