#include "Surveillance.h"

#include "device/DeviceProfile.h"
#include "device/ModelVariants.h"
#include "panel/PageRegistry.h"
#include "platform/ListControl.h"
#include "platform/MessageBox.h"
#include "snmp/Encodings.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QVBoxLayout>

#include <algorithm>

namespace {
constexpr int kOuiCommand = 32831;
constexpr int kDescriptionLength = 32;
} // namespace

QString CheckSurveillance(bool enable, const QString& vidText, const QString& agingText,
                          const std::vector<int>& vlans, bool asymmetric) {
    int vid = 0;
    if (!ParseNumber(vidText, 1, 4094, vid))
        return QStringLiteral("Invalid VLAN ID, VLAN ID should be (1-4094) !");
    int aging = 0;
    if (!ParseNumber(agingText, 1, 65535, aging))
        return QStringLiteral("Invalid Aging Time, the valid range is (1-65535) minutes !");
    if (enable && std::find(vlans.begin(), vlans.end(), vid) == vlans.end())
        return QStringLiteral("The VLAN %1 does not exist, please create it first !").arg(vid);
    if (enable && asymmetric)
        return QStringLiteral("Auto Surveillance VLAN needs the symmetric VLAN mode !");
    return {};
}

bool ParseOui(const QString& text, QByteArray& octets) {
    static const QRegularExpression pattern(
        QStringLiteral("^([0-9A-Fa-f]{2})[-:]([0-9A-Fa-f]{2})[-:]([0-9A-Fa-f]{2})$"));
    const QRegularExpressionMatch match = pattern.match(text.trimmed());
    if (!match.hasMatch())
        return false;
    octets.clear();
    for (int i = 1; i <= 3; ++i)
        octets.append(static_cast<char>(match.captured(i).toInt(nullptr, 16)));
    return true;
}

QString CheckOui(const QString& ouiText, const QString& description,
                 const std::vector<QByteArray>& existing) {
    if (existing.size() >= static_cast<size_t>(kMaxOuiEntries))
        return QStringLiteral("The max number of OUI entries is 16");
    QByteArray octets;
    if (!ParseOui(ouiText, octets) || octets == QByteArray(3, '\0'))
        return QStringLiteral("Please enter correct OUI format(ex:00-40-8C)");
    if (static_cast<unsigned char>(octets[0]) & 1)
        return QStringLiteral("Multicast OUI is not allowed.");
    if (std::find(existing.begin(), existing.end(), octets) != existing.end())
        return QStringLiteral("The OUI has been used, please input again !");
    if (!description.isEmpty() &&
        (!IsValidName(description) || description.toUtf8().size() > kDescriptionLength))
        return QStringLiteral("Invalid Description.");
    return {};
}

// ---- Auto Surveillance VLAN Settings ----

CSurveillancePage::CSurveillancePage(QWidget* parent)
    : CPageBase(parent), m_cCommonSNMP(AddSession(QStringLiteral("m_cCommonSNMP"))),
      m_cCommonSNMPSet(AddSession(QStringLiteral("m_cCommonSNMPSet"))),
      m_cCommonSNMPTable(AddSession(QStringLiteral("m_cCommonSNMPTable"))),
      m_cCommonSNMPTableVlan(AddSession(QStringLiteral("m_cCommonSNMPTableVlan"))),
      m_pList(new CListControl(this)) {
    setWindowTitle(QStringLiteral("Auto Surveillance VLAN Settings"));
    auto* global = new QGroupBox(QStringLiteral("Global Settings"), this);
    auto* enable = new QCheckBox(QStringLiteral("Enable Auto Surveillance VLAN"), global);
    SetControlId(enable, kIdEnable);
    auto* priority = new QComboBox(global);
    SetControlId(priority, kIdPriority);
    for (int p = 0; p <= 7; ++p)
        priority->addItem(QString::number(p));
    auto* form = new QFormLayout(global);
    form->addRow(enable);
    form->addRow(NewLabel(QStringLiteral("VLAN ID (1-4094):")), NewEdit(kIdVid, 4));
    form->addRow(NewLabel(QStringLiteral("Priority:")), priority);
    form->addRow(NewLabel(QStringLiteral("Aging Time (1-65535 min):")), NewEdit(kIdAging, 5));
    form->addRow(ButtonRow(*this, {{QStringLiteral("OUI Settings..."), kIdOui},
                                   {QStringLiteral("Apply"), kIdApplyGlobal}}));

    auto* ports = new QGroupBox(QStringLiteral("Port Settings"), this);
    SetControlId(m_pList, kIdPortList);
    m_pList->AddColumn(QStringLiteral("Port "));
    m_pList->AddColumn(QStringLiteral("Mode      "));
    m_pList->AddColumn(QStringLiteral("Dynamic Mode   "));
    m_pList->setMinimumHeight(200);
    auto combo = [this, ports](int id, const QStringList& items) {
        auto* c = new QComboBox(ports);
        SetControlId(c, id);
        c->addItems(items);
        return c;
    };
    QComboBox* from = combo(kIdFromPort, {});
    QComboBox* to = combo(kIdToPort, {});
    FillPortRange(from, to, g_nPortNum);
    QComboBox* mode = combo(kIdMode, {QStringLiteral("Auto"), QStringLiteral("Manual")});
    QComboBox* dynamic =
        combo(kIdDynamic, {QStringLiteral("Static"), QStringLiteral("Auto Dynamic")});
    auto* grid = new QGridLayout(ports);
    grid->addWidget(m_pList, 0, 0, 1, 4);
    const char* labels[] = {"From Port", "To Port", "Mode", "Dynamic Mode"};
    QComboBox* combos[] = {from, to, mode, dynamic};
    for (int i = 0; i < 4; ++i) {
        grid->addWidget(NewLabel(QString::fromLatin1(labels[i])), 1, i);
        grid->addWidget(combos[i], 2, i);
    }
    grid->addLayout(ButtonRow(*this, {{QStringLiteral("Apply"), kIdApplyPorts}}), 3, 0, 1, 4);
    // Only the models that detect cameras per port have the port part.
    ports->setEnabled(HasAutoSurveillanceVlan(g_strDeviceName));

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(global);
    layout->addWidget(ports);
    layout->addLayout(ButtonRow(
        *this, {{QStringLiteral("&Refresh"), kIdRefresh}, {QStringLiteral("&Close"), kIdClose}}));

    connect(m_pList, &CListControl::RowActivated, this, [this, from, mode, dynamic](int row) {
        from->setCurrentIndex(row);
        mode->setCurrentIndex(m_pList->ItemText(row, 1) == u"Auto" ? 0 : 1);
        dynamic->setCurrentIndex(m_pList->ItemText(row, 2) == u"Auto Dynamic" ? 1 : 0);
    });
    connect(Control<QPushButton>(kIdApplyGlobal), &QPushButton::clicked, this,
            &CSurveillancePage::ApplyGlobal);
    connect(Control<QPushButton>(kIdApplyPorts), &QPushButton::clicked, this,
            &CSurveillancePage::ApplyPorts);
    connect(Control<QPushButton>(kIdOui), &QPushButton::clicked, this, &CSurveillancePage::OpenOui);
    connect(Control<QPushButton>(kIdRefresh), &QPushButton::clicked, this,
            &CSurveillancePage::Refresh);
    connect(Control<QPushButton>(kIdClose), &QPushButton::clicked, this, &QDialog::reject);
}

void CSurveillancePage::Refresh() {
    m_vlans = LoadActiveVlans(m_cCommonSNMPTableVlan);
    if (const auto row =
            ReadObjects(m_cCommonSNMP, {SysOid::kSurvState, SysOid::kSurvVid, SysOid::kSurvPriority,
                                        SysOid::kSurvAging, SysOid::kVlanMode})) {
        Control<QCheckBox>(kIdEnable)->setChecked(row->Text(0) == u"1");
        Control<QLineEdit>(kIdVid)->setText(row->Text(1));
        Control<QComboBox>(kIdPriority)->setCurrentIndex(row->Text(2).toInt());
        Control<QLineEdit>(kIdAging)->setText(row->Text(3));
        m_bAsymmetric = row->Text(4) == u"1";
    }
    m_pList->DeleteAllItems();
    const auto rows =
        WalkTable(m_cCommonSNMPTable, {SysOid::kSurvPortMode, SysOid::kSurvPortDynamic});
    if (!rows)
        return;
    std::vector<QStringList> lines;
    for (const SSnmpRow& row : *rows)
        if (RowNumber(row) <= g_nPortNum)
            lines.push_back(
                {QString::number(RowNumber(row)),
                 row.Text(0) == u"1" ? QStringLiteral("Auto") : QStringLiteral("Manual"),
                 row.Text(1) == u"2" ? QStringLiteral("Auto Dynamic") : QStringLiteral("Static")});
    m_pList->AppendRows(std::move(lines));
}

bool CSurveillancePage::ApplyGlobal() {
    const bool enable = Control<QCheckBox>(kIdEnable)->isChecked();
    const QString vid = Control<QLineEdit>(kIdVid)->text().trimmed();
    const QString aging = Control<QLineEdit>(kIdAging)->text().trimmed();
    const QString message = CheckSurveillance(enable, vid, aging, m_vlans, m_bAsymmetric);
    if (!message.isEmpty()) {
        ShowMessage(message, this);
        return false;
    }
    const int status =
        WriteObjects(m_cCommonSNMPSet,
                     {{SysOid::kSurvVid, SnmpType::kInteger, vid.toUtf8()},
                      {SysOid::kSurvPriority, SnmpType::kInteger,
                       QByteArray::number(Control<QComboBox>(kIdPriority)->currentIndex())},
                      {SysOid::kSurvAging, SnmpType::kInteger, aging.toUtf8()},
                      {SysOid::kSurvState, SnmpType::kInteger, QByteArray(enable ? "1" : "2")}});
    Refresh();
    return status == 0;
}

bool CSurveillancePage::ApplyPorts() {
    const int from = Control<QComboBox>(kIdFromPort)->currentIndex() + 1;
    const int to = Control<QComboBox>(kIdToPort)->currentIndex() + 1;
    const QString message = CheckPortRange(from, to);
    if (!message.isEmpty()) {
        ShowMessage(message, this);
        return false;
    }
    const QByteArray mode = Control<QComboBox>(kIdMode)->currentIndex() == 0 ? "1" : "2";
    const QByteArray dynamic = Control<QComboBox>(kIdDynamic)->currentIndex() == 1 ? "2" : "1";
    std::vector<SWriteStep> steps;
    for (int port = from; port <= to; ++port)
        steps.push_back({QStringLiteral("Port %1").arg(port),
                         {{CellOid(SysOid::kSurvPortMode, port), SnmpType::kInteger, mode},
                          {CellOid(SysOid::kSurvPortDynamic, port), SnmpType::kInteger, dynamic}}});
    const int failed = WriteSequence(m_cCommonSNMPSet, steps);
    Refresh();
    return failed < 0;
}

void CSurveillancePage::OpenOui() {
    if (std::unique_ptr<QDialog> page = CreatePage(kOuiCommand, this))
        page->exec();
}

// ---- Auto Surveillance VLAN OUI Settings ----

CSurveillanceOuiPage::CSurveillanceOuiPage(QWidget* parent)
    : CPageBase(parent), m_cCommonSNMPTable(AddSession(QStringLiteral("m_cCommonSNMPTable"))),
      m_cCommonSNMPSet(AddSession(QStringLiteral("m_cCommonSNMPSet"))),
      m_pList(new CListControl(this)) {
    setWindowTitle(QStringLiteral("Auto Surveillance VLAN OUI Settings"));
    SetControlId(m_pList, kIdList);
    m_pList->AddColumn(QStringLiteral("Index "));
    m_pList->AddColumn(QStringLiteral("OUI         "));
    m_pList->AddColumn(QStringLiteral("Description                    "));
    m_pList->setMinimumHeight(220);
    auto* fields = new QFormLayout;
    fields->addRow(NewLabel(QStringLiteral("OUI (ex:00-40-8C):")), NewEdit(kIdAddress, 8));
    fields->addRow(NewLabel(QStringLiteral("Description:")),
                   NewEdit(kIdDescription, kDescriptionLength));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_pList);
    layout->addLayout(fields);
    layout->addLayout(ButtonRow(*this, {{QStringLiteral("&Add"), kIdAdd},
                                        {QStringLiteral("&Delete"), kIdDelete},
                                        {QStringLiteral("&Refresh"), kIdRefresh},
                                        {QStringLiteral("&Close"), kIdClose}}));
    connect(Control<QPushButton>(kIdAdd), &QPushButton::clicked, this, &CSurveillanceOuiPage::Add);
    connect(Control<QPushButton>(kIdDelete), &QPushButton::clicked, this,
            &CSurveillanceOuiPage::Delete);
    connect(Control<QPushButton>(kIdRefresh), &QPushButton::clicked, this,
            &CSurveillanceOuiPage::Refresh);
    connect(Control<QPushButton>(kIdClose), &QPushButton::clicked, this, &QDialog::reject);
}

void CSurveillanceOuiPage::Refresh() {
    m_pList->DeleteAllItems();
    m_indexes.clear();
    m_ouis.clear();
    const auto rows = WalkTable(
        m_cCommonSNMPTable, {SysOid::kOuiAddress, SysOid::kOuiDescription, SysOid::kOuiRowStatus});
    if (!rows)
        return;
    std::vector<QStringList> lines;
    for (const SSnmpRow& row : *rows) {
        if (row.Text(2) != u"1")
            continue;
        const QByteArray oui = row.Bytes(0);
        m_indexes.push_back(RowNumber(row));
        m_ouis.push_back(oui);
        lines.push_back({QString::number(RowNumber(row)),
                         QString::fromLatin1(oui.toHex('-')).toUpper(), FromUtf8(row.Bytes(1))});
    }
    m_pList->AppendRows(std::move(lines));
}

bool CSurveillanceOuiPage::Add() {
    const QString text = Control<QLineEdit>(kIdAddress)->text();
    const QString description = Control<QLineEdit>(kIdDescription)->text();
    const QString message = CheckOui(text, description, m_ouis);
    if (!message.isEmpty()) {
        ShowMessage(message, this);
        return false;
    }
    int index = 1;
    while (std::find(m_indexes.begin(), m_indexes.end(), index) != m_indexes.end())
        ++index;
    QByteArray octets;
    ParseOui(text, octets);
    char name[kDescriptionLength * 3 + 1] = {};
    ToUtf8(description, name, sizeof name);
    const int status = WriteObjects(
        m_cCommonSNMPSet,
        {{CellOid(SysOid::kOuiAddress, index), SnmpType::kOctetString, octets},
         {CellOid(SysOid::kOuiDescription, index), SnmpType::kOctetString, QByteArray(name)},
         {CellOid(SysOid::kOuiRowStatus, index), SnmpType::kInteger,
          QByteArray::number(RowStatus::kCreateAndGo)}});
    Refresh();
    return status == 0;
}

bool CSurveillanceOuiPage::Delete() {
    const int row = m_pList->SelectedRow();
    if (row < 0 || row >= static_cast<int>(m_indexes.size())) {
        ShowMessage(QStringLiteral("Please select the OUI to be deleted!"), this);
        return false;
    }
    const int status = WriteObjects(
        m_cCommonSNMPSet, {{CellOid(SysOid::kOuiRowStatus, m_indexes[static_cast<size_t>(row)]),
                            SnmpType::kInteger, QByteArray::number(RowStatus::kDestroy)}});
    Refresh();
    return status == 0;
}
