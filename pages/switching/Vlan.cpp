#include "Vlan.h"

#include <utility>

#include "SwitchCommon.h"
#include "device/DeviceProfile.h"
#include "device/LaunchSettings.h"
#include "platform/ListControl.h"
#include "platform/MessageBox.h"
#include "snmp/Encodings.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStyledItemDelegate>
#include <QVBoxLayout>

#include <algorithm>
#include <set>

namespace {

namespace Oid {
const QString kVoiceState = QStringLiteral("1.3.6.1.4.1.32473.10.75.7.21.1.1.0");
const QString kVoiceVid = QStringLiteral("1.3.6.1.4.1.32473.10.75.7.21.1.3.0");
const QString kSurveillanceState = QStringLiteral("1.3.6.1.4.1.32473.10.75.7.26.1.1.0");
const QString kSurveillanceVid = QStringLiteral("1.3.6.1.4.1.32473.10.75.7.26.1.2.0");
} // namespace Oid

enum VlanPageId {
    kIdVlanList = 1341,
    kIdPvid = 1339,
    kIdAdd = 1335,
    kIdEdit = 1336,
    kIdDelete = 1337,
    kIdRefresh = 1338,
    kIdClose = 1,
    kIdApplyMode = 1047,
    kIdAsymmetric = 1008,
};
enum EditorId {
    kIdVid = 1010,
    kIdName = 1011,
    kIdTagged = 3001,
    kIdUntagged = 3501,
    kIdNone = 4001
};
enum PvidPageId {
    kIdPvidList = 1350,
    kIdPvidValue = 1351,
    kIdPvidApply = 1352,
    kIdPvidRefresh = 1353
};

// Names as the switch keeps them: 32 octets of UTF-8.
constexpr int kNameLength = 32;
constexpr unsigned kNameBuffer = kNameLength * 3 + 1;

const QString kPvidOf = QStringLiteral("The VID is one of The PVID, so it cannot be deleted.");

bool Contains(const std::vector<int>& values, int value) {
    return std::find(values.begin(), values.end(), value) != values.end();
}

bool IsSubset(const std::vector<int>& part, const std::vector<int>& whole) {
    for (size_t p = 0; p < part.size(); ++p)
        if (part[p] && !(p < whole.size() && whole[p]))
            return false;
    return true;
}

// Centres the cells of one column.
class CCentredDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

protected:
    void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override {
        QStyledItemDelegate::initStyleOption(option, index);
        option->displayAlignment = Qt::AlignCenter;
    }
};

} // namespace

std::vector<int> MembershipOf(const QByteArray& egress, const QByteArray& untagged, int portCount) {
    const std::vector<int> e = PortFlagsOf(egress, portCount);
    const std::vector<int> u = PortFlagsOf(untagged, portCount);
    std::vector<int> membership(e.size(), kNotMember);
    for (size_t p = 0; p < e.size(); ++p)
        membership[p] = u[p] ? kUntagged : e[p] ? kTagged : kNotMember;
    return membership;
}

std::vector<int> EgressFlags(const std::vector<int>& membership) {
    std::vector<int> flags(membership.size());
    for (size_t p = 0; p < membership.size(); ++p)
        flags[p] = membership[p] != kNotMember ? 1 : 0;
    return flags;
}

std::vector<int> UntaggedFlags(const std::vector<int>& membership) {
    std::vector<int> flags(membership.size());
    for (size_t p = 0; p < membership.size(); ++p)
        flags[p] = membership[p] == kUntagged ? 1 : 0;
    return flags;
}

QString CheckVlanEdit(const QString& vidText, const QString& name,
                      const std::vector<int>& membership, bool isNew,
                      const std::vector<int>& existingVids, const std::vector<int>& lagOfPort) {
    bool ok = false;
    const int vid = vidText.trimmed().toInt(&ok);
    if (!ok || vid < 2 || vid > 4094)
        return QStringLiteral("Invalid VLAN ID, VLAN ID should be (2-4094) !");
    if (isNew && Contains(existingVids, vid))
        return QStringLiteral("The VLAN ID has been used, please input again !");
    // The switch keeps 32 octets of UTF-8: a longer name is refused, not cut.
    if (name.isEmpty() || !IsValidName(name) || name.toUtf8().size() > kNameLength)
        return QStringLiteral("Invalid Vlan Name.");
    if (std::all_of(membership.begin(), membership.end(), [](int m) { return m == kNotMember; }))
        return QStringLiteral("You have to include at least one member in the vlan");
    // A trunk forwards as one port: its members join a VLAN together and alike.
    std::vector<int> groupState(9, -1);
    for (size_t p = 0; p < membership.size() && p < lagOfPort.size(); ++p) {
        const int group = lagOfPort[p];
        if (group < 1 || group > 8)
            continue;
        if (groupState[group] < 0)
            groupState[group] = membership[p];
        else if (groupState[group] != membership[p])
            return QStringLiteral("Members in VLAN have to be in the same trunk !");
    }
    return QString();
}

std::vector<SVlanListWrite> VlanListWrites(const std::vector<int>& oldMembership,
                                           const std::vector<int>& newMembership) {
    const std::vector<int> oldEgress = EgressFlags(oldMembership);
    const std::vector<int> oldUntagged = UntaggedFlags(oldMembership);
    const std::vector<int> newEgress = EgressFlags(newMembership);
    const std::vector<int> newUntagged = UntaggedFlags(newMembership);
    if (IsSubset(oldUntagged, newEgress))
        return {{true, newEgress}, {false, newUntagged}};
    if (IsSubset(newUntagged, oldEgress))
        return {{false, newUntagged}, {true, newEgress}};
    // Ports leave the untagged list while others join it: widen the egress
    // list first, narrow it last.
    std::vector<int> both = newEgress;
    for (size_t p = 0; p < both.size() && p < oldEgress.size(); ++p)
        both[p] |= oldEgress[p];
    return {{true, both}, {false, newUntagged}, {true, newEgress}};
}

QString CheckVlanDelete(const SVlanDeleteState& s) {
    const QString select = QStringLiteral("Please select the VLAN want to be deleted!");
    if (s.rowCount == 0 || s.selectedRow < 0)
        return select;
    if (s.vid == 1)
        return QStringLiteral("Can't delete the default VLAN!");
    if (s.asymmetric && Contains(s.pvids, s.vid))
        return kPvidOf;
    if (s.voiceEnabled && s.vid == s.voiceVid)
        return QStringLiteral("The VLAN ID is Voice VLAN ID.");
    if (s.surveillanceEnabled && s.vid == s.surveillanceVid)
        return QStringLiteral("The VLAN ID is Surveillance VLAN ID.");
    return QString();
}

QString CheckPvidChange(const QString& pvidText, const std::vector<int>& ports,
                        const std::vector<int>& existingVids, const std::vector<int>& lagOfPort,
                        const std::vector<int>& groupModes) {
    bool ok = false;
    const int pvid = pvidText.trimmed().toInt(&ok);
    if (!ok || pvid < 1 || pvid > 4094)
        return QStringLiteral("Invalid PVID");
    if (!Contains(existingVids, pvid))
        return QStringLiteral("Invalid PVID,VlAN is empty");
    std::set<int> groups;
    for (int port : ports)
        if (port >= 1 && port <= static_cast<int>(lagOfPort.size()) && lagOfPort[port - 1] != 0)
            groups.insert(lagOfPort[port - 1]);
    // Members of a trunk share one PVID: all of them change, or none.
    for (int group : groups)
        for (size_t p = 0; p < lagOfPort.size(); ++p)
            if (lagOfPort[p] == group && !Contains(ports, static_cast<int>(p) + 1))
                return QStringLiteral("You should let all Trunk member in the same PVID !");
    // A dynamic (LACP) trunk takes its PVID from the aggregator the switch manages.
    for (int group : groups)
        if (group <= static_cast<int>(groupModes.size()) && groupModes[group - 1] == 1)
            return QStringLiteral("Setting PVID on a Trunk is not supported. Please use Web interface for the settings.");
    return QString();
}

// ---- VLAN editor ----

CVlanEditDlg::CVlanEditDlg(int vid, const std::vector<int>& existingVids, QWidget* parent)
    : CPageBase(parent), m_cCommonSNMP(AddSession(QStringLiteral("m_cCommonSNMP"))),
      m_cCommonSNMPSet(AddSession(QStringLiteral("m_cCommonSNMPSet"))),
      m_cCommonSNMPTableTrunk(AddSession(QStringLiteral("m_cCommonSNMPTableTrunk"))), m_nVid(vid),
      m_existing(existingVids),
      m_oldMembership(static_cast<size_t>(std::max(g_nPortNum, 0)), kNotMember),
      m_lagOfPort(m_oldMembership.size(), 0), m_pVid(NewEdit(kIdVid, 4)),
      m_pName(NewEdit(kIdName, kNameLength)) {
    setWindowTitle(vid ? QStringLiteral("Edit 802.1Q VLAN") : QStringLiteral("Add 802.1Q VLAN"));
    if (vid) {
        m_pVid->setText(QString::number(vid));
        m_pVid->setReadOnly(true);
    }
    m_pVid->setMaximumWidth(70);

    auto* fields = new QHBoxLayout;
    fields->addWidget(NewLabel(QStringLiteral("VLAN ID:")));
    fields->addWidget(m_pVid);
    fields->addSpacing(16);
    fields->addWidget(NewLabel(QStringLiteral("VLAN Name:")));
    fields->addWidget(m_pName, 1);

    // Three rows per block of ports; 48- and 52-port switches get two blocks.
    const int ports = g_nPortNum;
    const int perRow = PortsPerGridRow(ports);
    const std::vector<QCheckBox*> tagged = MakePortCheckBoxes(this, ports, kIdTagged);
    const std::vector<QCheckBox*> untagged = MakePortCheckBoxes(this, ports, kIdUntagged);
    const std::vector<QCheckBox*> none = MakePortCheckBoxes(this, ports, kIdNone);
    auto* members = new QGroupBox(QStringLiteral("Port members"), this);
    auto* grid = new QGridLayout(members);
    grid->setHorizontalSpacing(2);
    grid->setVerticalSpacing(4);
    const QString rowNames[] = {QStringLiteral("Tagged"), QStringLiteral("Untagged"),
                                QStringLiteral("Not Member")};
    const int blocks = ports > perRow ? 2 : 1;
    for (int block = 0; block < blocks; ++block) {
        const int top = block * 5;
        grid->addWidget(NewLabel(QStringLiteral("Port")), top, 0);
        for (int i = 0; i < 3; ++i)
            grid->addWidget(NewLabel(rowNames[i]), top + 1 + i, 0);
        if (block > 0)
            grid->setRowMinimumHeight(top - 1, 10);
    }
    for (int port = 1; port <= ports; ++port) {
        const int top = ((port - 1) / perRow) * 5;
        const int column = 1 + (port - 1) % perRow;
        QLabel* number = NewLabel(QString::number(port));
        number->setAlignment(Qt::AlignCenter);
        grid->addWidget(number, top, column, Qt::AlignHCenter);
        // One box of three per port: contradictory ticks cannot happen.
        auto* group = new QButtonGroup(this);
        group->setExclusive(true);
        const int p = port - 1;
        group->addButton(tagged[p], kTagged);
        group->addButton(untagged[p], kUntagged);
        group->addButton(none[p], kNotMember);
        none[p]->setChecked(true);
        grid->addWidget(tagged[p], top + 1, column, Qt::AlignHCenter);
        grid->addWidget(untagged[p], top + 2, column, Qt::AlignHCenter);
        grid->addWidget(none[p], top + 3, column, Qt::AlignHCenter);
        m_groups.push_back(group);
    }
    grid->setColumnStretch(perRow + 1, 1);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    QPushButton* ok = NewButton(QStringLiteral("OK"), 1);
    QPushButton* cancel = NewButton(QStringLiteral("Cancel"), 2);
    buttons->addWidget(ok);
    buttons->addWidget(cancel);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(fields);
    layout->addWidget(members);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    connect(ok, &QPushButton::clicked, this, &CVlanEditDlg::Submit);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
}

void CVlanEditDlg::OnInitDialog() {
    Load();
}

void CVlanEditDlg::Load() {
    if (const auto lag = LoadLagOfPorts(m_cCommonSNMPTableTrunk, g_nPortNum))
        m_lagOfPort = *lag;
    if (m_nVid) {
        const auto row = ReadObjects(m_cCommonSNMP, {CellOid(SwOid::kVlanName, m_nVid),
                                                     CellOid(SwOid::kVlanEgress, m_nVid),
                                                     CellOid(SwOid::kVlanUntagged, m_nVid)});
        if (row) {
            m_pName->setText(FromUtf8(row->Bytes(0)));
            m_oldMembership = MembershipOf(row->Bytes(1), row->Bytes(2), g_nPortNum);
            for (size_t p = 0; p < m_oldMembership.size(); ++p)
                SetMembership(static_cast<int>(p) + 1, m_oldMembership[p]);
        }
    }
    emit Loaded();
}

std::vector<int> CVlanEditDlg::Membership() const {
    std::vector<int> membership;
    membership.reserve(m_groups.size());
    for (const QButtonGroup* group : m_groups)
        membership.push_back(std::max(group->checkedId(), 0));
    return membership;
}

void CVlanEditDlg::SetMembership(int port, int membership) {
    if (port < 1 || port > static_cast<int>(m_groups.size()))
        return;
    if (QAbstractButton* button = m_groups[port - 1]->button(membership))
        button->setChecked(true);
}

bool CVlanEditDlg::Submit() {
    const QString name = m_pName->text();
    const std::vector<int> membership = Membership();
    const QString message =
        CheckVlanEdit(m_pVid->text(), name, membership, m_nVid == 0, m_existing, m_lagOfPort);
    if (!message.isEmpty()) {
        ShowMessage(message, this);
        return false;
    }
    Write(m_pVid->text().trimmed().toInt(), name, membership);
    // The page reloads either way and shows what the switch took.
    accept();
    return true;
}

bool CVlanEditDlg::Write(int vid, const QString& name, const std::vector<int>& membership) {
    char buffer[kNameBuffer] = {};
    ToUtf8(name, buffer, sizeof buffer);
    std::vector<SWriteStep> steps;
    steps.push_back({QStringLiteral("name"),
                     {{CellOid(SwOid::kVlanName, vid), SnmpType::kOctetString, QByteArray(buffer)}}});
    for (const SVlanListWrite& list : VlanListWrites(m_oldMembership, membership))
        steps.push_back({list.egress ? QStringLiteral("member ports") : QStringLiteral("untagged ports"),
                         {{CellOid(list.egress ? SwOid::kVlanEgress : SwOid::kVlanUntagged, vid),
                           SnmpType::kOctetString, PortFlagsToBitmap(list.flags, g_nPortNum)}}});
    const QString status = CellOid(SwOid::kVlanRowStatus, vid);
    steps.push_back({QStringLiteral("row status"),
                     {{status, SnmpType::kInteger, QByteArray::number(RowStatus::kActive)}}});
    const int failed = WriteSequence(m_cCommonSNMPSet, steps);
    if (failed < 0)
        return true;
    // The editor closes with this; the page says it over its reloaded list.
    m_strFailure = QStringLiteral("VLAN %1 not saved: step %2 of %3 (%4) was refused.")
                       .arg(vid)
                       .arg(failed + 1)
                       .arg(steps.size())
                       .arg(steps[size_t(failed)].name);
    // A new VLAN the switch did not fully take is removed, not left half made.
    if (m_nVid == 0)
        WriteObjects(m_cCommonSNMPSet,
                     {{status, SnmpType::kInteger, QByteArray::number(RowStatus::kDestroy)}});
    return false;
}

// ---- PVID page ----

CPvidPage::CPvidPage(QWidget* parent)
    : CPageBase(parent), m_cCommonSNMP(AddSession(QStringLiteral("m_cCommonSNMP"))),
      m_cCommonSNMPSet(AddSession(QStringLiteral("m_cCommonSNMPSet"))),
      m_cCommonSNMPTable(AddSession(QStringLiteral("m_cCommonSNMPTable"))),
      m_pList(new CListControl(this)), m_pPvid(NewEdit(kIdPvidValue, 4)),
      m_pApply(NewButton(QStringLiteral("&Apply"), kIdPvidApply)) {
    setWindowTitle(QStringLiteral("PVID Configuration"));
    SetControlId(m_pList, kIdPvidList);
    m_pList->AddColumn(QStringLiteral("Port     "));
    m_pList->AddColumn(QStringLiteral("PVID     "));
    m_pList->AddColumn(QStringLiteral("Trunk          "));
    m_pList->horizontalHeader()->setStretchLastSection(true);
    m_pPvid->setMaximumWidth(70);
    m_pApply->setEnabled(false);

    auto* fields = new QHBoxLayout;
    fields->addWidget(NewLabel(QStringLiteral("PVID:")));
    fields->addWidget(m_pPvid);
    fields->addWidget(NewLabel(QStringLiteral("(1-4094) for the selected ports")));
    fields->addStretch();

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    QPushButton* refresh = NewButton(QStringLiteral("&Refresh"), kIdPvidRefresh);
    QPushButton* close = NewButton(QStringLiteral("&Close"), 2);
    buttons->addWidget(m_pApply);
    buttons->addWidget(refresh);
    buttons->addWidget(close);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_pList, 1);
    layout->addLayout(fields);
    layout->addLayout(buttons);
    resize(380, 520);

    connect(m_pList->selectionModel(), &QItemSelectionModel::selectionChanged, this, [this] {
        const QList<int> rows = m_pList->SelectedRows();
        m_pApply->setEnabled(!rows.isEmpty());
        if (rows.size() == 1)
            m_pPvid->setText(m_pList->ItemText(rows.front(), 1));
    });
    connect(m_pApply, &QPushButton::clicked, this, &CPvidPage::Apply);
    connect(refresh, &QPushButton::clicked, this, &CPvidPage::Load);
    connect(close, &QPushButton::clicked, this, &QDialog::reject);
}

void CPvidPage::OnInitDialog() {
    Load();
}

void CPvidPage::Load() {
    const int ports = g_nPortNum;
    m_pList->DeleteAllItems();
    m_lagOfPort.assign(static_cast<size_t>(std::max(ports, 0)), 0);
    m_groupModes.assign(8, 0);
    m_pvids.assign(m_lagOfPort.size(), 0);
    if (const auto trunks =
            WalkTable(m_cCommonSNMPTable, {SwOid::kTrunkMembers, SwOid::kTrunkMode})) {
        m_lagOfPort = LagOfPorts(*trunks, ports);
        for (const SSnmpRow& row : *trunks) {
            const int group = RowNumber(row);
            if (group >= 1 && group <= 8)
                m_groupModes[group - 1] = row.Text(1).toInt();
        }
    }
    std::vector<QStringList> rows;
    if (const auto pvids = WalkTable(m_cCommonSNMP, {SwOid::kPvid})) {
        for (const SSnmpRow& row : *pvids) {
            const int port = RowNumber(row);
            if (port < 1 || port > ports)
                continue;
            m_pvids[port - 1] = row.Text(0).toInt();
            const int group = m_lagOfPort[port - 1];
            rows.push_back({QString::number(port), row.Text(0),
                            group ? QStringLiteral("Trunk%1").arg(group) : QString()});
        }
    }
    m_pList->AppendRows(std::move(rows));
    m_pApply->setEnabled(false);
    emit Loaded();
}

bool CPvidPage::Apply() {
    std::vector<int> ports;
    for (int row : m_pList->SelectedRows())
        ports.push_back(m_pList->ItemText(row, 0).toInt());
    if (ports.empty())
        return false;
    // The VLANs that exist now, not when the page opened.
    // A failed read is no empty VLAN table: the operator is told, nothing is sent.
    const auto rows = WalkTable(m_cCommonSNMPTable, {SwOid::kVlanRowStatus});
    if (!rows) {
        ShowOutcome(QStringLiteral("PVID not changed: the VLANs could not be read."));
        return false;
    }
    std::vector<int> vids;
    for (const SSnmpRow& row : *rows)
        if (row.Text(0) == u"1")
            vids.push_back(RowNumber(row));
    const QString message =
        CheckPvidChange(m_pPvid->text(), ports, vids, m_lagOfPort, m_groupModes);
    if (!message.isEmpty()) {
        ShowMessage(message, this);
        return false;
    }
    const int pvid = m_pPvid->text().trimmed().toInt();
    std::vector<SSetVar> vars;
    for (int port : ports)
        if (m_pvids[port - 1] != pvid)
            vars.push_back(
                {CellOid(SwOid::kPvid, port), SnmpType::kUnsigned, QByteArray::number(pvid)});
    if (vars.empty())
        return false;
    // One request: the members of a trunk change together.
    const int status = WriteObjects(m_cCommonSNMPSet, vars);
    Load();
    return status == 0;
}

// ---- 802.1Q VLAN Configuration page ----

CVlanPage::CVlanPage(QWidget* parent)
    : CPageBase(parent),
      m_cCommonSNMPTableVlan(AddSession(QStringLiteral("m_cCommonSNMPTableVlan"))),
      m_cCommonSNMPTableVlanDelete(AddSession(QStringLiteral("m_cCommonSNMPTableVlanDelete"))),
      m_cCommonSNMPVoiceVlan(AddSession(QStringLiteral("m_cCommonSNMPVoiceVlan"))),
      m_cCommonSNMP(AddSession(QStringLiteral("m_cCommonSNMP"))), m_pList(new CListControl(this)),
      m_pAsymmetric(new QCheckBox(QStringLiteral("Enable Asymmetric VLAN"), this)),
      m_pApply(NewButton(QStringLiteral("&Apply"), kIdApplyMode)),
      m_pRefresh(NewButton(QStringLiteral("&Refresh"), kIdRefresh)),
      m_pClose(NewButton(QStringLiteral("&Close"), kIdClose)) {
    setWindowTitle(QStringLiteral("802.1Q VLAN Configuration"));
    SetControlId(m_pList, kIdVlanList);
    SetControlId(m_pAsymmetric, kIdAsymmetric);
    const std::pair<const char*, int> columns[] = {{"VLAN ID", 80},
                                                   {"VLAN Name", 120},
                                                   {"No.of Ports", 100},
                                                   {"Egress Port Member", 220},
                                                   {"Untag Port Member", 220}};
    for (const auto& [header, width] : columns)
        m_pList->setColumnWidth(m_pList->AddColumn(QLatin1String(header)), width);
    m_pList->setItemDelegateForColumn(1, new CCentredDelegate(m_pList));
    m_pList->setSelectionMode(QAbstractItemView::SingleSelection);

    QPushButton* pvid = NewButton(QStringLiteral("&PVID"), kIdPvid);
    QPushButton* add = NewButton(QStringLiteral("&Add"), kIdAdd);
    QPushButton* edit = NewButton(QStringLiteral("&Edit"), kIdEdit);
    QPushButton* remove = NewButton(QStringLiteral("&Delete"), kIdDelete);
    m_editButtons = {pvid, add, edit, remove};

    auto* mode = new QHBoxLayout;
    mode->addWidget(m_pAsymmetric);
    mode->addWidget(m_pApply);
    mode->addStretch();

    auto* buttons = new QHBoxLayout;
    for (QPushButton* button : m_editButtons)
        buttons->addWidget(button);
    buttons->addStretch();
    buttons->addWidget(m_pRefresh);
    buttons->addWidget(m_pClose);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(mode);
    layout->addWidget(m_pList, 1);
    layout->addLayout(buttons);
    resize(80 + 120 + 100 + 220 + 220 + 40, 460);

    connect(pvid, &QPushButton::clicked, this, &CVlanPage::OnPvid);
    connect(add, &QPushButton::clicked, this, &CVlanPage::OnAdd);
    connect(edit, &QPushButton::clicked, this, &CVlanPage::OnEdit);
    connect(remove, &QPushButton::clicked, this, &CVlanPage::OnDelete);
    connect(m_pRefresh, &QPushButton::clicked, this, &CVlanPage::Refresh);
    connect(m_pApply, &QPushButton::clicked, this, &CVlanPage::ApplyMode);
    connect(m_pClose, &QPushButton::clicked, this, &QDialog::reject);
    connect(m_pList, &QAbstractItemView::doubleClicked, this, [this] {
        // While the list loads its rows are not yet what the switch holds.
        if (g_bVlanEditable && !m_bLoading)
            OnEdit();
    });
}

void CVlanPage::OnInitDialog() {
    m_pAsymmetric->setChecked(false);
    for (QPushButton* button : m_editButtons)
        button->setEnabled(g_bVlanEditable != 0);
    ReadMode();
    ReadSpecialVlans();
    Refresh();
}

void CVlanPage::ReadMode() {
    if (const auto mode = ReadObjects(m_cCommonSNMP, {SwOid::kVlanMode}))
        m_pAsymmetric->setChecked(mode->Text(0) == u"1");
}

void CVlanPage::ReadSpecialVlans() {
    if (const auto voice =
            ReadObjects(m_cCommonSNMPVoiceVlan, {Oid::kVoiceState, Oid::kVoiceVid})) {
        m_bVoiceEnabled = voice->Text(0) == u"1";
        m_nVoiceVid = voice->Text(1).toInt();
    }
    if (const auto surveillance =
            ReadObjects(m_cCommonSNMPVoiceVlan, {Oid::kSurveillanceState, Oid::kSurveillanceVid})) {
        m_bSurveillanceEnabled = surveillance->Text(0) == u"1";
        m_nSurveillanceVid = surveillance->Text(1).toInt();
    }
}

void CVlanPage::SetBusy(bool busy) {
    m_bLoading = busy;
    m_pAsymmetric->setEnabled(!busy);
    m_pApply->setEnabled(!busy);
    m_pRefresh->setEnabled(!busy);
    m_pClose->setEnabled(!busy);
    for (QPushButton* button : m_editButtons)
        button->setEnabled(!busy && g_bVlanEditable);
}

void CVlanPage::Refresh() {
    if (m_bLoading) {
        // The walk under way may have read the rows before a change: one
        // more walk follows it.
        m_bRefreshQueued = true;
        return;
    }
    m_pList->DeleteAllItems();
    SetBusy(true);
    SWalkSpec walk;
    walk.columns = {SwOid::kVlanName, SwOid::kVlanEgress, SwOid::kVlanUntagged,
                    SwOid::kVlanRowStatus};
    StartWalk(m_cCommonSNMPTableVlan, Channel(), walk);
}

void CVlanPage::OnSnmpNotify(const SSnmpReport& report) {
    if (report.code == PageReport::kFinished) {
        SetBusy(false);
        if (std::exchange(m_bRefreshQueued, false)) {
            Refresh();
            return;
        }
        emit Loaded();
        return;
    }
    const SSnmpRow& row = report.row;
    if (row.Text(3) != u"1")
        return;
    int count = 0;
    const QString egress = PortRangeText(PortFlagsOf(row.Bytes(1), g_nPortNum), &count);
    const QString untagged = PortRangeText(PortFlagsOf(row.Bytes(2), g_nPortNum));
    m_pList->AppendRow({QString::number(RowNumber(row)), FromUtf8(row.Bytes(0)),
                        QString::asprintf("%d", count), egress, untagged});
}

std::vector<int> CVlanPage::ListedVids() const {
    std::vector<int> vids;
    for (int row = 0; row < m_pList->ItemCount(); ++row)
        vids.push_back(m_pList->ItemText(row, 0).toInt());
    return vids;
}

int CVlanPage::SelectedVid() const {
    const int row = m_pList->SelectedRow();
    return row < 0 ? -1 : m_pList->ItemText(row, 0).toInt();
}

void CVlanPage::OnAdd() {
    if (m_pList->ItemCount() >= kMaxVlans) {
        ShowMessage(QStringLiteral(" Number of VLAN group is over limit"), this);
        return;
    }
    CVlanEditDlg editor(0, ListedVids(), this);
    if (editor.exec() == QDialog::Accepted) {
        if (!editor.Failure().isEmpty())
            ShowOutcome(editor.Failure());
        Refresh();
    }
}

void CVlanPage::OnEdit() {
    if (m_pList->ItemCount() == 0 || m_pList->SelectedRow() < 0) {
        ShowMessage(QStringLiteral("Please select the VLAN !"), this);
        return;
    }
    const int vid = SelectedVid();
    if (vid <= 0) {
        ShowMessage(QStringLiteral("Invalid VLAN ID!"), this);
        return;
    }
    if (m_bSurveillanceEnabled && vid == m_nSurveillanceVid &&
        !AskOkCancel(QStringLiteral("It is Surveillance VLAN,please don't edit ports except it's Tagged Uplink/Downlink Port."),
                     this))
        return;
    CVlanEditDlg editor(vid, ListedVids(), this);
    if (editor.exec() == QDialog::Accepted) {
        if (!editor.Failure().isEmpty())
            ShowOutcome(editor.Failure());
        Refresh();
    }
}

bool CVlanPage::OnDelete() {
    SVlanDeleteState state;
    state.rowCount = m_pList->ItemCount();
    state.selectedRow = m_pList->SelectedRow();
    state.vid = SelectedVid();
    state.asymmetric = m_pAsymmetric->isChecked();
    if (state.asymmetric && state.selectedRow >= 0 && state.vid != 1) {
        // Without the PVIDs the check cannot tell whether a port still uses
        // the VLAN: nothing is deleted then.
        const auto rows = WalkTable(m_cCommonSNMPTableVlanDelete, {SwOid::kPvid});
        if (!rows) {
            ShowOutcome(QStringLiteral("VLAN %1 not deleted: the PVIDs could not be read.")
                            .arg(state.vid));
            return false;
        }
        for (const SSnmpRow& row : *rows)
            state.pvids.push_back(row.Text(0).toInt());
    }
    state.voiceEnabled = m_bVoiceEnabled;
    state.voiceVid = m_nVoiceVid;
    state.surveillanceEnabled = m_bSurveillanceEnabled;
    state.surveillanceVid = m_nSurveillanceVid;
    const QString message = CheckVlanDelete(state);
    if (!message.isEmpty()) {
        ShowMessage(message, this);
        return false;
    }
    const QString vid = QString::number(state.vid);
    if (!AskOkCancel(QString::asprintf("The VLAN %s settings in IGMP Snooping and MAC Address Table maybe be affected, continue?", qUtf8Printable(vid)),
                     this))
        return false;
    const int status = WriteObjects(m_cCommonSNMPTableVlanDelete,
                                    {{CellOid(SwOid::kVlanRowStatus, state.vid), SnmpType::kInteger,
                                      QByteArray::number(RowStatus::kDestroy)}});
    Refresh();
    return status == 0;
}

void CVlanPage::OnPvid() {
    CPvidPage page(this);
    page.exec();
}

bool CVlanPage::ApplyMode() {
    if (m_bVoiceEnabled) {
        ShowMessage(
            QStringLiteral("Voice Vlan is enable,the vlan mode can't change to Asymmetric mode!\nIf you could disable it, please set it through the web!"),
            this);
        ReadMode();
        return false;
    }
    if (m_bSurveillanceEnabled) {
        ShowMessage(QStringLiteral("Auto Surveillance VLAN is enable,the vlan mode can't change to Asymmetric mode!"),
                    this);
        ReadMode();
        return false;
    }
    if (!AskOkCancel(QStringLiteral("The setting of VLAN, IGMP Snooping, Management VLAN and MAC Address Table will be reset to default."),
                     this))
        return false;
    const int value = m_pAsymmetric->isChecked() ? 1 : 2;
    const int status = WriteObjects(
        m_cCommonSNMP, {{SwOid::kVlanMode, SnmpType::kInteger, QByteArray::number(value)}});
    // The box shows what the switch holds, also after a refusal; the list
    // only changes when the mode did (a new mode resets the VLANs).
    ReadMode();
    if (status == 0)
        Refresh();
    return status == 0;
}
