#include "TrafficCommon.h"

#include "pages/switching/SwitchCommon.h"
#include "snmp/Outcome.h"
#include "snmp/PageBase.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>

#include <algorithm>
#include <map>

void RegisterTrafficObjectNames() {
    RegisterObjectNames({
        {"1.3.6.1.4.1.32473.10.75.7.18.1", "mirror state"},
        {"1.3.6.1.4.1.32473.10.75.7.18.2", "mirror target port"},
        {"1.3.6.1.4.1.32473.10.75.7.18.3", "mirror ingress sources"},
        {"1.3.6.1.4.1.32473.10.75.7.18.4", "mirror egress sources"},
        {"1.3.6.1.4.1.32473.10.75.7.13.1.2.1.2", "ingress rate"},
        {"1.3.6.1.4.1.32473.10.75.7.13.1.2.1.3", "egress rate"},
        {"1.3.6.1.4.1.32473.10.75.7.13.4.2.1.3", "port storm control type"},
        {"1.3.6.1.4.1.32473.10.75.7.13.4.2.1.4", "port storm control rate"},
        {"1.3.6.1.4.1.32473.10.75.7.19.1", "IGMP snooping state"},
        {"1.3.6.1.4.1.32473.10.75.7.19.2", "IGMP host timeout"},
        {"1.3.6.1.4.1.32473.10.75.7.19.3", "IGMP querier state"},
        {"1.3.6.1.4.1.32473.10.75.7.19.4.1.2", "VLAN IGMP snooping"},
        {"1.3.6.1.4.1.32473.10.75.7.19.4.1.3", "VLAN fast leave"},
        {"1.3.6.1.4.1.32473.10.75.7.9.4.1.3", "static MAC port"},
        {"1.3.6.1.4.1.32473.10.75.7.9.4.1.4", "static MAC row status"},
    });
}

bool ModelHasMirroring(const QString& model) {
    static const QStringList models = {"NSW-4410-08P B1", "NSW-4410-28 B1", "NSW-4410-28P B1",
                                       "NGX-4410-10P B1", "NGX-4600-20",    "NGX-4600-28"};
    return models.contains(model);
}

bool ModelHasBandwidthControl(const QString& model) {
    static const QStringList models = {"NGX-4410-10P B1", "NSW-4410-52 B1", "NSW-4410-28 B1",
                                       "NSW-4410-28P B1"};
    return models.contains(model);
}

int SplitGroup(const std::vector<int>& lagOfPort, const std::vector<int>& flags) {
    // Per group: members selected and members left out.
    std::map<int, std::pair<int, int>> groups;
    for (size_t p = 0; p < lagOfPort.size(); ++p) {
        if (lagOfPort[p] == 0)
            continue;
        auto& [in, out] = groups[lagOfPort[p]];
        (p < flags.size() && flags[p] ? in : out)++;
    }
    for (const auto& [group, counts] : groups)
        if (counts.first > 0 && counts.second > 0)
            return group;
    return 0;
}

std::vector<int> FlagsOf(const std::vector<QCheckBox*>& boxes) {
    std::vector<int> flags;
    flags.reserve(boxes.size());
    for (const QCheckBox* box : boxes)
        flags.push_back(box->isChecked() ? 1 : 0);
    return flags;
}

void SetFlags(const std::vector<QCheckBox*>& boxes, const std::vector<int>& flags) {
    for (size_t i = 0; i < boxes.size(); ++i)
        boxes[i]->setChecked(i < flags.size() && flags[i] != 0);
}

QWidget* MakePortGrid(QWidget* parent, const QString& title, int portCount, int firstId,
                      std::vector<QCheckBox*>& boxes) {
    auto* group = new QGroupBox(title, parent);
    auto* grid = new QGridLayout(group);
    grid->setHorizontalSpacing(2);
    const std::vector<QCheckBox*> made = MakePortCheckBoxes(group, portCount, firstId);
    const int perRow = std::max(1, PortsPerGridRow(portCount));
    for (int i = 0; i < portCount; ++i) {
        const int row = i / perRow * 2, column = i % perRow;
        auto* number = new QLabel(QString::number(i + 1), group);
        number->setAlignment(Qt::AlignCenter);
        grid->addWidget(number, row, column, Qt::AlignCenter);
        grid->addWidget(made[static_cast<size_t>(i)], row + 1, column, Qt::AlignCenter);
    }
    boxes.insert(boxes.end(), made.begin(), made.end());
    return group;
}

void ShowNotOffered(CPageBase& page, QWidget* body, const QString& feature, const QString& model) {
    body->setEnabled(false);
    page.ShowOutcome(QStringLiteral("%1 is not offered on the %2.").arg(feature, model));
}
