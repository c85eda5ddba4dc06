#include "SystemCommon.h"

#include "snmp/Encodings.h"
#include "snmp/Outcome.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QPushButton>

void RegisterSystemObjectNames() {
    RegisterObjectNames({
        {"1.3.6.1.4.1.32473.10.75.7.23.1.1.2", "time range name"},
        {"1.3.6.1.4.1.32473.10.75.7.23.1.1.21", "time range row status"},
        {"1.3.6.1.4.1.32473.10.75.7.23.1.1", "time range"},
        {"1.3.6.1.4.1.32473.10.75.7.40.1", "link detection"},
        {"1.3.6.1.4.1.32473.10.75.7.40.2", "length detection"},
        {"1.3.6.1.4.1.32473.10.75.7.40.3", "LED shut-off"},
        {"1.3.6.1.4.1.32473.10.75.7.40.5.1.2", "port shut-off"},
        {"1.3.6.1.4.1.32473.10.75.7.40.5.1.3", "port shut-off time range"},
        {"1.3.6.1.4.1.32473.10.75.7.41.1", "management VLAN state"},
        {"1.3.6.1.4.1.32473.10.75.7.41.2", "management VLAN"},
        {"1.3.6.1.4.1.32473.10.75.7.26.1.1", "surveillance VLAN state"},
        {"1.3.6.1.4.1.32473.10.75.7.26.1.2", "surveillance VLAN"},
        {"1.3.6.1.4.1.32473.10.75.7.26.1.3", "surveillance priority"},
        {"1.3.6.1.4.1.32473.10.75.7.26.1.4", "surveillance aging time"},
        {"1.3.6.1.4.1.32473.10.75.7.26.2.1.2", "OUI"},
        {"1.3.6.1.4.1.32473.10.75.7.26.2.1.3", "OUI description"},
        {"1.3.6.1.4.1.32473.10.75.7.26.2.1.4", "OUI row status"},
        {"1.3.6.1.4.1.32473.10.75.7.34.1.5.1.2", "surveillance port mode"},
        {"1.3.6.1.4.1.32473.10.75.7.34.1.5.1.3", "surveillance dynamic mode"},
    });
}

std::vector<STimeRangeName> LoadTimeRangeNames(CCommonSNMP& session) {
    std::vector<STimeRangeName> names;
    if (const auto rows = WalkTable(session, {SysOid::kRangeNameIndex, SysOid::kRangeName}))
        for (const SSnmpRow& row : *rows)
            names.push_back({row.Text(0).toInt(), FromUtf8(row.Bytes(1))});
    return names;
}

QString TimeRangeText(const std::vector<STimeRangeName>& names, int index) {
    if (index == 0)
        return QStringLiteral("N/A");
    for (const STimeRangeName& n : names)
        if (n.index == index)
            return n.name;
    return {};
}

std::vector<int> LoadActiveVlans(CCommonSNMP& session) {
    std::vector<int> vids;
    if (const auto rows = WalkTable(session, {SysOid::kVlanRowStatus}))
        for (const SSnmpRow& row : *rows)
            if (row.Text(0) == u"1")
                vids.push_back(RowNumber(row));
    return vids;
}

bool ParseNumber(const QString& text, int lo, int hi, int& value) {
    bool ok = false;
    const int v = text.trimmed().toInt(&ok);
    if (!ok || v < lo || v > hi)
        return false;
    value = v;
    return true;
}

QString CheckPortRange(int from, int to) {
    return to < from ? QStringLiteral("'To Port' can not be smaller than 'From Port'") : QString();
}

void FillPortRange(QComboBox* from, QComboBox* to, int portCount) {
    for (int p = 1; p <= portCount; ++p) {
        from->addItem(QString::number(p));
        to->addItem(QString::number(p));
    }
    QObject::connect(from, &QComboBox::currentIndexChanged, to,
                     [to](int index) { to->setCurrentIndex(index); });
}

QHBoxLayout* ButtonRow(CPageBase& page, std::initializer_list<std::pair<QString, int>> buttons) {
    auto* row = new QHBoxLayout;
    row->addStretch();
    for (const auto& [text, id] : buttons)
        row->addWidget(page.NewButton(text, id));
    return row;
}
