#include "SwitchCommon.h"

#include "snmp/PageBase.h"

#include <QCheckBox>

std::vector<int> PortFlagsOf(const QByteArray& bitmap, int portCount) {
    std::vector<int> flags(static_cast<size_t>(std::max(portCount, 0)), 0);
    for (int port = 1; port <= portCount; ++port) {
        const int octet = (port - 1) / 8;
        if (octet < bitmap.size() &&
            (static_cast<uint8_t>(bitmap[octet]) & (0x80 >> ((port - 1) % 8))))
            flags[port - 1] = 1;
    }
    return flags;
}

QString PortRangeText(const std::vector<int>& flags, int* count) {
    QStringList parts;
    int n = 0;
    const int size = static_cast<int>(flags.size());
    for (int p = 0; p < size; ++p) {
        if (!flags[p])
            continue;
        int last = p;
        while (last + 1 < size && flags[last + 1])
            ++last;
        n += last - p + 1;
        parts.append(last == p ? QString::number(p + 1)
                               : QStringLiteral("%1-%2").arg(p + 1).arg(last + 1));
        p = last;
    }
    if (count)
        *count = n;
    return parts.join(u',');
}

std::vector<int> LagOfPorts(const std::vector<SSnmpRow>& memberRows, int portCount) {
    std::vector<int> lag(static_cast<size_t>(std::max(portCount, 0)), 0);
    for (const SSnmpRow& row : memberRows) {
        const int group = RowNumber(row);
        const std::vector<int> members = PortFlagsOf(row.Bytes(0), portCount);
        for (int p = 0; p < portCount; ++p)
            if (members[p])
                lag[p] = group;
    }
    return lag;
}

std::optional<std::vector<int>> LoadLagOfPorts(CCommonSNMP& session, int portCount) {
    const auto rows = WalkTable(session, {SwOid::kTrunkMembers});
    if (!rows)
        return std::nullopt;
    return LagOfPorts(*rows, portCount);
}

std::vector<QCheckBox*> MakePortCheckBoxes(QWidget* parent, int portCount, int firstId,
                                           const QString& text) {
    std::vector<QCheckBox*> boxes;
    boxes.reserve(static_cast<size_t>(std::max(portCount, 0)));
    for (int port = 1; port <= portCount; ++port) {
        auto* box = new QCheckBox(text, parent);
        CPageBase::SetControlId(box, firstId + port - 1);
        box->setToolTip(QStringLiteral("Port %1").arg(port));
        boxes.push_back(box);
    }
    return boxes;
}

int PortsPerGridRow(int portCount) {
    if (portCount == 48)
        return 24;
    if (portCount == 52)
        return 26;
    return portCount;
}
