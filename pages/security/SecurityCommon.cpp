#include "SecurityCommon.h"

#include "pages/switching/SwitchCommon.h"
#include "snmp/PageBase.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QLabel>

#include <map>

void AddPortGrid(QGridLayout* grid, const std::vector<QCheckBox*>& boxes, QWidget* parent) {
    const int ports = static_cast<int>(boxes.size());
    const int perRow = std::max(PortsPerGridRow(ports), 1);
    grid->setHorizontalSpacing(2);
    for (int port = 1; port <= ports; ++port) {
        const int top = ((port - 1) / perRow) * 2;
        const int column = (port - 1) % perRow;
        auto* number = new QLabel(QString::number(port), parent);
        number->setAlignment(Qt::AlignCenter);
        grid->addWidget(number, top, column, Qt::AlignHCenter);
        grid->addWidget(boxes[port - 1], top + 1, column, Qt::AlignHCenter);
    }
    grid->setColumnStretch(perRow, 1);
}

std::vector<int> CheckedPorts(const std::vector<QCheckBox*>& boxes) {
    std::vector<int> flags;
    flags.reserve(boxes.size());
    for (const QCheckBox* box : boxes)
        flags.push_back(box->isChecked() ? 1 : 0);
    return flags;
}

void CheckPorts(const std::vector<QCheckBox*>& boxes, const std::vector<int>& flags) {
    for (size_t p = 0; p < boxes.size(); ++p)
        boxes[p]->setChecked(p < flags.size() && flags[p]);
}

bool HasLagMember(const std::vector<int>& flags, const std::vector<int>& lagOfPort) {
    for (size_t p = 0; p < flags.size() && p < lagOfPort.size(); ++p)
        if (flags[p] && lagOfPort[p])
            return true;
    return false;
}

bool SplitsLag(const std::vector<int>& flags, const std::vector<int>& lagOfPort) {
    std::map<int, std::pair<int, int>> inOut; // group -> selected, not selected
    for (size_t p = 0; p < lagOfPort.size(); ++p)
        if (lagOfPort[p])
            ++((p < flags.size() && flags[p]) ? inOut[lagOfPort[p]].first
                                              : inOut[lagOfPort[p]].second);
    for (const auto& [group, counts] : inOut)
        if (counts.first && counts.second)
            return true;
    return false;
}

bool IsMulticastAddress(const QString& dotted) {
    const int first = dotted.section(u'.', 0, 0).toInt();
    return first >= 224 && first <= 239;
}
