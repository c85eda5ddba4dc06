#include "pages/agent/AgentCommon.h"
#include "pages/management/Dot1x.h"
#include "pages/management/Lldp.h"
#include "pages/management/Syslog.h"
#include "pages/management/Transfer.h"
#include "pages/mib2/MibPages.h"
#include "pages/poe/PoeCommon.h"
#include "pages/poe/TimeRange.h"
#include "pages/security/BindingCommon.h"
#include "pages/security/DhcpScreening.h"
#include "pages/security/StormControl.h"
#include "pages/switching/Layer2.h"
#include "pages/switching/PortConfig.h"
#include "pages/switching/Stp.h"
#include "pages/switching/SwitchCommon.h"
#include "pages/switching/Trunk.h"
#include "pages/switching/Vlan.h"
#include "pages/system/SystemCommon.h"
#include "pages/traffic/Bandwidth.h"
#include "snmp/Encodings.h"
#include "snmp/PageLink.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <cstddef>
#include <cstdint>
#include <numeric>

// Rows as a switch could answer them (any type, length, OID and row index)
// through the functions that turn rows and values into what the pages show:
// list cells, port flags, MAC and LLDP identifiers, row indexes, and the
// decoders of every page family. Nothing builds a page.
namespace {

void Check(bool condition) {
    if (!condition)
        __builtin_trap();
}

QString Arcs(FuzzedDataProvider& in, size_t most) {
    QStringList arcs;
    for (size_t n = in.ConsumeIntegralInRange<size_t>(0, most); n > 0; --n)
        arcs << QString::number(in.ConsumeBool() ? in.ConsumeIntegral<uint8_t>()
                                                 : in.ConsumeIntegral<uint32_t>());
    return arcs.join(u'.');
}

QByteArray Value(FuzzedDataProvider& in) {
    switch (in.ConsumeIntegralInRange(0, 4)) {
    case 0: return QByteArray::number(in.ConsumeIntegral<int64_t>());
    case 1: return QByteArray::number(in.ConsumeIntegralInRange(-1, 10));
    case 2: return Arcs(in, 12).toLatin1();
    case 3: return QByteArray(in.ConsumeIntegralInRange(0, 1024), char(in.ConsumeIntegral<uint8_t>()));
    default: {
        const std::string bytes = in.ConsumeRandomLengthString(128);
        return QByteArray(bytes.data(), qsizetype(bytes.size()));
    }
    }
}

SSnmpRow Row(FuzzedDataProvider& in) {
    static constexpr int kTypes[] = {SnmpType::kInteger,   SnmpType::kOctetString,
                                      SnmpType::kNull,      SnmpType::kObjectId,
                                      SnmpType::kIpAddress, SnmpType::kUnsigned,
                                      SnmpType::kCounter32, SnmpType::kTimeTicks,
                                      SnmpType::kCounter64, SnmpType::kOpaque};
    SSnmpRow row;
    for (int n = in.ConsumeIntegralInRange(0, 6); n > 0; --n) {
        SSnmpCell cell;
        cell.type = in.ConsumeBool() ? in.PickValueInArray(kTypes) : in.ConsumeIntegral<int>();
        cell.value = Value(in);
        cell.oid = Arcs(in, 20);
        row.cells.push_back(std::move(cell));
    }
    if (in.ConsumeBool()) {
        row.suffix = Arcs(in, 40);
    } else {
        const std::string text = in.ConsumeRandomLengthString(64);
        row.suffix = QString::fromLatin1(text.data(), qsizetype(text.size()));
    }
    return row;
}

// Decoders of one value, as text and as bytes.
void Value(const QString& text, const QByteArray& bytes, int portCount) {
    const int number = text.toInt();
    const std::vector<int> flags = PortFlagsOf(bytes, portCount);
    Check(flags.size() == size_t(std::max(portCount, 0)));
    int listed = -1, ranged = -1;
    const QString list = PortBitmapToList(bytes, &listed, portCount);
    (void)PortRangeText(flags, &ranged);
    const int set = std::accumulate(flags.begin(), flags.end(), 0);
    Check(listed == set && ranged == set);
    std::vector<int> again(flags.size(), 0);
    Check(list.isEmpty() || CheckPortList(list, again).isEmpty());
    Check(again == flags);
    Check(TrustedPortsOf(bytes, portCount).size() == flags.size());
    Check(MembershipOf(bytes, bytes.left(bytes.size() / 2), portCount).size() == flags.size());

    (void)FromUtf8(bytes);
    (void)MacToDashText(bytes);
    (void)MacToColonText(bytes);
    (void)ChassisIdText(number, bytes);
    (void)PortIdText(number, bytes);
    (void)ChassisIdSubtypeText(number);
    (void)PortIdSubtypeText(number);
    (void)BridgeIdText(bytes);
    (void)DesignatedPortText(bytes);
    (void)EngineIdBytes(text);

    for (const auto& decode :
         {LinkStatusText, SpeedText, FdbStatusText, TcpStateText, UptimeText, StpPortStateText,
          PortSpeedText, OperModeText, FlowControlText, DefaultPriorityText, OperFlowControlText,
          MulticastModeText, TrunkModeText, PoeStateText, PoePriorityText, PoeClassText,
          PortControlText, PortStatusText, NormalisedSubtree})
        (void)decode(text);
    for (const auto& decode : {UserVersionText, AuthProtocolText, PrivProtocolText, ModelText,
                               LevelText, ViewTypeText, HostVersionText, StormTypeText})
        (void)decode(number);
    (void)OperModeCell(text, number & 1, number);
    (void)StormThresholdText(text, StormUnit(text));
    (void)StormNText(text, 64);
    (void)StormNText(text, 63);
    (void)RateText(text, QStringLiteral("No Limit"));
    (void)SyslogSeverityPosition(text);
    (void)SyslogFacilityPosition(text);
    (void)TransferStatusMeaning(text);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const std::vector<SMibTable> tables = {ForwardingTable(), InterfaceTable(), IpTable(),
                                                  TcpServiceTable(), UdpServiceTable()};
    FuzzedDataProvider in(data, size);
    const int portCount = in.ConsumeIntegralInRange(0, 64);
    std::vector<SSnmpRow> rows(in.ConsumeIntegralInRange<size_t>(0, 3));
    for (SSnmpRow& row : rows)
        row = Row(in);

    std::vector<STimeRangeName> names;
    for (const SSnmpRow& row : rows) {
        for (const SMibTable& table : tables)
            Check(table.mapRow(row).size() == table.headers.size());
        Check(BindingSettingsTexts(row).size() == 4);
        (void)BlackRowMatches(SBlackFilter{}, row);
        (void)TimeRangeOfRow(row);
        const int number = RowNumber(row);
        const std::vector<uint32_t> arcs = row.IndexArcs();
        Check(number == 0 || (!arcs.empty() && uint32_t(number) == arcs.front()));
        QByteArray text;
        if (RowIndexToText(row.suffix, text)) {
            QByteArray again;
            Check(RowIndexToText(TextToRowIndex(text), again) && again == text);
        }
        names.push_back({number, row.Text(0)});
        for (int c = 0; c < row.Count(); ++c)
            Value(row.Text(c), row.Bytes(c), portCount);
    }
    Check(LagOfPorts(rows, portCount).size() == size_t(portCount));
    Check(VlanConfigOfPorts(rows, portCount).size() == size_t(portCount));
    (void)PortsNamedBy(rows, portCount);
    std::vector<int> first(static_cast<size_t>(portCount)), second(static_cast<size_t>(portCount));
    FillPerPortRows(rows, {&first, &second});
    for (const SSnmpRow& row : rows)
        (void)TimeRangeText(names, RowNumber(row));
    return 0;
}
