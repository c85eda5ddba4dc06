#include "pages/mib2/MibPages.h"
#include "pages/security/ArpSpoofing.h"
#include "pages/security/BindingCommon.h"
#include "pages/system/Surveillance.h"
#include "pages/traffic/StaticMac.h"
#include "snmp/Encodings.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <cstddef>
#include <cstdint>

// MAC addresses both ways: what the operator types into the index and value
// the switch gets, and what the switch sends back (values, forwarding-table
// indexes) into the text shown. A text the check accepts survives the trip.
namespace {

void Check(bool condition) {
    if (!condition)
        __builtin_trap();
}

void TypedText(const QString& text, int vid) {
    const QString message = CheckMac(text, true);
    const QByteArray typed = MacFromText(text);
    Check(MacTextToBytes(text).size() >= 6);
    (void)StaticMacIndex(vid, text);
    QByteArray oui;
    if (ParseOui(text, oui))
        Check(oui.size() == 3);
    if (!CheckMac(text.trimmed(), true).isEmpty()) {
        Check(typed.isEmpty());
        return;
    }
    Check(typed.size() == 6);
    if (!message.isEmpty())
        return;
    Check(MacTextToBytes(text) == typed);
    Check(MacToDashText(typed).compare(text, Qt::CaseInsensitive) == 0);
    Check(MacToColonText(typed) == MacToDashText(typed).replace(u'-', u':'));
    Check(StaticMacIndex(vid, text) == HostIndex(QString::number(vid), typed));
    Check(CheckMac(text, false).isEmpty() == !(typed[0] & 1));
    std::vector<uint32_t> arcs{uint32_t(vid)};
    for (char c : typed)
        arcs.push_back(uint8_t(c));
    Check(FdbMacText(arcs) == MacToDashText(typed));
}

void SwitchBytes(const QByteArray& bytes) {
    const QString dash = MacToDashText(bytes);
    Check(MacToColonText(bytes).size() == dash.size());
    if (bytes.size() < 6) {
        Check(dash.isEmpty());
        return;
    }
    Check(dash.size() == 17);
    const QByteArray six = bytes.left(6);
    const bool special = six == QByteArray(6, '\0') || six == QByteArray(6, '\xff');
    Check(MacFromText(dash) == (special ? QByteArray() : six));
}

void ForwardingIndex(const std::vector<uint32_t>& arcs) {
    const QString text = FdbMacText(arcs);
    if (arcs.size() < 6) {
        Check(text.isEmpty());
        return;
    }
    Check(text.size() >= 17);
    QByteArray octets;
    for (size_t i = arcs.size() - 6; i < arcs.size(); ++i)
        octets.append(char(arcs[i] & 0xFF));
    const bool inRange = std::all_of(arcs.end() - 6, arcs.end(), [](uint32_t v) { return v < 256; });
    Check(inRange == (text == MacToDashText(octets)));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzedDataProvider input(data, size);
    const int vid = input.ConsumeIntegralInRange(0, 4095);
    const std::string typed = input.ConsumeRandomLengthString(64);
    TypedText(QString::fromUtf8(typed.data(), qsizetype(typed.size())), vid);
    const std::string raw = input.ConsumeRandomLengthString(16);
    SwitchBytes(QByteArray(raw.data(), qsizetype(raw.size())));
    std::vector<uint32_t> arcs(input.ConsumeIntegralInRange<size_t>(0, 12));
    for (uint32_t& arc : arcs)
        arc = input.ConsumeBool() ? input.ConsumeIntegral<uint8_t>() : input.ConsumeIntegral<uint32_t>();
    ForwardingIndex(arcs);
    return 0;
}
