#include "Trunk.h"

#include "SwitchCommon.h"
#include "device/DeviceProfile.h"
#include "platform/ListControl.h"
#include "platform/MessageBox.h"
#include "snmp/Encodings.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

#include <map>

namespace {

namespace Oid {
const QString kPortSecurity = QStringLiteral("1.3.6.1.4.1.32473.10.75.7.14.2.1.1.2");
const QString kLoopback = QStringLiteral("1.3.6.1.4.1.32473.10.75.7.17.5.1.2");
const QString kRateIngress = QStringLiteral("1.3.6.1.4.1.32473.10.75.7.13.1.2.1.2");
const QString kRateEgress = QStringLiteral("1.3.6.1.4.1.32473.10.75.7.13.1.2.1.3");
const QString kRstpPort = QStringLiteral("1.3.6.1.4.1.32473.10.75.7.6.2.1.");
const QString kDot1xControl = QStringLiteral("1.3.6.1.4.1.32473.10.75.7.11.2.9.1.2");
const QString kVoiceMode = QStringLiteral("1.3.6.1.4.1.32473.10.75.7.21.1.6.1.2");
const QString kMirrorState = QStringLiteral("1.3.6.1.4.1.32473.10.75.7.18.1.0");
const QString kMirrorTarget = QStringLiteral("1.3.6.1.4.1.32473.10.75.7.18.2.0");
const QString kMirrorSource1 = QStringLiteral("1.3.6.1.4.1.32473.10.75.7.18.3.0");
const QString kMirrorSource2 = QStringLiteral("1.3.6.1.4.1.32473.10.75.7.18.4.0");
const QString kAutoLearn = QStringLiteral("1.3.6.1.4.1.32473.10.75.7.9.2.0");
const QString kDot1xState = QStringLiteral("1.3.6.1.4.1.32473.10.75.7.11.2.1.0");
const QString kRstpState = QStringLiteral("1.3.6.1.4.1.32473.10.75.7.6.1.1.0");
const QString kSurveillanceState = QStringLiteral("1.3.6.1.4.1.32473.10.75.7.26.1.1.0");
const QString kDhcpScreening = QStringLiteral("1.3.6.1.4.1.32473.10.75.7.14.7.1.0");
const QString kFdbHitPorts = QStringLiteral("1.3.6.1.4.1.32473.10.75.7.9.3.1.3");
const QString kArpPorts = QStringLiteral("1.3.6.1.4.1.32473.10.75.7.14.3.1.1.3");
const QString kAclPorts = QStringLiteral("1.3.6.1.4.1.32473.10.75.7.15.2.1.1.10");
const QString kSurveillanceMode = QStringLiteral("1.3.6.1.4.1.32473.10.75.7.34.1.5.1.2");
const QString kSurveillanceDynamic = QStringLiteral("1.3.6.1.4.1.32473.10.75.7.34.1.5.1.3");
// The seven RSTP port settings, in the order they are compared.
const int kRstpColumns[7] = {4, 2, 5, 16, 18, 17, 14};
} // namespace Oid

// Member window control ids.
enum MemberId {
    kIdMemberTrunkId = 1003,
    kIdMemberMode = 1004,
    kIdFirstBox = 2001,
    kIdFirstLabel = 2501
};
// Trunk page control ids.
enum PageId {
    kIdGroupList = 201,
    kIdTrunkId = 215,
    kIdModeBox = 1018,
    kIdPortMember = 1000,
    kIdEnable = 1008,
    kIdApplyState = 1046,
    kIdRefresh = 241,
    kIdApply = 242,
    kIdClose = 2,
};

const QString kLacp = QStringLiteral("LACP");
const QString kStatic = QStringLiteral("Static");
const QString kDisable = QStringLiteral("Disable");

int ValueAt(const std::vector<int>& values, int port0) {
    return port0 >= 0 && port0 < static_cast<int>(values.size()) ? values[port0] : 0;
}

// Ports (0-based) whose flag is set.
std::vector<int> SelectedPorts(std::span<const int> selected) {
    std::vector<int> ports;
    for (size_t p = 0; p < selected.size(); ++p)
        if (selected[p])
            ports.push_back(static_cast<int>(p));
    return ports;
}

// The general rule: the selected ports are compared with the first selected
// port whose value is not 0. A 0 is a value like any other once there is a
// reference (priority 0 and 3 differ); ports all at 0 do not differ.
bool DifferFromFirstValue(const std::vector<int>& values, const std::vector<int>& ports) {
    int reference = 0;
    for (int p : ports)
        if ((reference = ValueAt(values, p)) != 0)
            break;
    if (reference == 0)
        return false;
    for (int p : ports)
        if (ValueAt(values, p) != reference)
            return true;
    return false;
}

// Compared with the first selected port, whatever its value.
bool DifferFromFirst(const std::vector<int>& values, const std::vector<int>& ports) {
    if (ports.empty())
        return false;
    const int reference = ValueAt(values, ports.front());
    for (int p : ports)
        if (ValueAt(values, p) != reference)
            return true;
    return false;
}

bool AnyIs(const std::vector<int>& values, const std::vector<int>& ports, int value) {
    for (int p : ports)
        if (ValueAt(values, p) == value)
            return true;
    return false;
}

// Some selected ports are in the list and others are not.
bool SomeInSomeNot(const std::vector<int>& flags, const std::vector<int>& ports) {
    bool in = false, out = false;
    for (int p : ports)
        (ValueAt(flags, p) ? in : out) = true;
    return in && out;
}

int IntAt(const SSnmpRow& row, int i) {
    return row.Text(i).trimmed().toInt();
}

} // namespace

QString TrunkModeText(const QString& value) {
    if (value == u"1")
        return kLacp;
    if (value == u"2")
        return kStatic;
    return kDisable;
}

int TrunkModeValue(int entry) {
    if (entry == 0)
        return 1;
    if (entry == 1)
        return 2;
    return 3;
}

QString CheckTrunkId(const QString& text, int& group) {
    bool ok = false;
    const int value = text.trimmed().toInt(&ok);
    if (!ok || value < 1 || value > kTrunkGroups)
        return QStringLiteral("Invalid Trunk ID, Trunk ID should be (1-8) !");
    group = value;
    return QString();
}

QString CheckMemberCount(std::span<const int> selected) {
    const size_t count = SelectedPorts(selected).size();
    if (count < 2)
        return QStringLiteral("The mininum port members for an aggregated link is 2 !");
    if (count > 8)
        return QStringLiteral("The maxinum port member for an aggregated link is exceeded !");
    return QString();
}

QString TrunkMemberHex(std::span<const int> selected, int portCount) {
    std::vector<int> flags(static_cast<size_t>(std::max(portCount, 0)), 0);
    for (size_t p = 0; p < flags.size() && p < selected.size(); ++p)
        flags[p] = selected[p] ? 1 : 0;
    QString hex;
    PortFlagsToHex(flags, hex);
    PadPortHex(hex, portCount);
    return hex;
}

STrunkValidData::STrunkValidData(int ports) : portCount(ports) {
    const auto size = static_cast<size_t>(std::max(ports, 0));
    for (std::vector<int>* array :
         {&speed,         &priority,      &pvid,       &portSecurity,     &media,
          &lbd,           &rateIngress,   &rateEgress, &dot1xControl,     &voiceMode,
          &mirrorSource1, &mirrorSource2, &autoLearn,  &dhcpScreening,    &vlanConfig,
          &fdbHit,        &arpPrevention, &acl,        &surveillanceMode, &surveillanceDynamic,
          &lagOfPort})
        array->assign(size, 0);
    for (std::vector<int>& setting : rstp)
        setting.assign(size, 0);
}

QString CheckTrunkMembers(const STrunkValidData& d, std::span<const int> selected,
                          const QString& memberText) {
    const std::vector<int> ports = SelectedPorts(selected);
    if (ports.empty())
        return QString();

    // 1. Ports of another group.
    std::vector<int> current;
    for (const QString& item : memberText.split(u',', Qt::SkipEmptyParts))
        current.push_back(item.trimmed().toInt());
    for (int p : ports)
        if (ValueAt(d.lagOfPort, p) != 0 &&
            std::find(current.begin(), current.end(), p + 1) == current.end())
            return QStringLiteral(
                "Cannot add the port as it is a member of another aggregated link !");

    // 2. Media.
    if (DifferFromFirstValue(d.media, ports))
        return QStringLiteral("Cannot add ports of different types to an aggregated link !");

    // 3. Duplex and speed. A port without a speed row (0) is passed over:
    // the first port that has one decides, as in the other checks.
    for (int p : ports) {
        const int speed = ValueAt(d.speed, p);
        if (speed == 0)
            continue;
        if (speed == 3 || speed == 5)
            return QStringLiteral("Cannot add a port in half-duplex mode to an aggregated link.");
        break;
    }
    if (DifferFromFirstValue(d.speed, ports))
        return QStringLiteral("Cannot add ports of different speed to an aggregated link.");

    // 4. DHCP server screening.
    if (DifferFromFirstValue(d.dhcpScreening, ports))
        return QStringLiteral("Cannot add ports with different DHCP Server Screening Port Settings to an aggregated link.");

    // 5. 802.1X.
    if (d.dot1xState == 1) {
        if (AnyIs(d.dot1xControl, ports, 2))
            return QStringLiteral("Cannot add the 802.1X-enabled port to an aggregated link.");
        if (AnyIs(d.dot1xControl, ports, 1))
            return QStringLiteral("Setting the Channel Mode Fail.");
    }

    // 6. VLAN membership.
    if (DifferFromFirstValue(d.vlanConfig, ports))
        return QStringLiteral(
            "Cannot add ports with different VLAN configurations to an aggregated link !");

    // 7. Address auto-learning.
    const bool anyLearning =
        std::find(d.autoLearn.begin(), d.autoLearn.end(), 1) != d.autoLearn.end();
    if (!anyLearning || AnyIs(d.autoLearn, ports, 0))
        return QStringLiteral("Cannot add a Auto-learn disabled port to an aggregated link.");

    // 8. Priority, PVID, port security, loopback detection.
    if (DifferFromFirstValue(d.priority, ports))
        return QStringLiteral(
            "Cannot add ports with different 802.1p default priorities to an aggregated link.");
    if (DifferFromFirstValue(d.pvid, ports))
        return QStringLiteral("Cannot add ports with different PVIDs to an aggregated link.");
    if (AnyIs(d.portSecurity, ports, 1))
        return QStringLiteral("Cannot add a port-security anabled port to an aggregated link.");
    if (AnyIs(d.lbd, ports, 1))
        return QStringLiteral("Cannot add a LBD-enabled port to an aggregated link.");

    // 9. Mirror sources.
    if (SomeInSomeNot(d.mirrorSource1, ports) || SomeInSomeNot(d.mirrorSource2, ports))
        return QStringLiteral(
            "Cannot add ports of Port Mirror enable ports to an aggregated link.");

    // 10. Mirror target.
    if (d.mirrorState == 1 &&
        std::find(ports.begin(), ports.end(), d.mirrorTarget - 1) != ports.end())
        return QStringLiteral("Cannot add a mirror port to an aggregated link.");

    // 11. ARP spoofing prevention.
    if (SomeInSomeNot(d.arpPrevention, ports))
        return QStringLiteral(
            "Cannot add ports of ARP Spoofing Prevent enable ports to an aggregated link.");

    // 12. Rate control, against the first selected port.
    if (DifferFromFirst(d.rateIngress, ports) || DifferFromFirst(d.rateEgress, ports))
        return QStringLiteral(
            "Cannot add ports with different rate control configurations to an aggregated link.");

    // 13. RSTP port settings, against the first selected port.
    if (d.rstpState == 1)
        for (const std::vector<int>& setting : d.rstp)
            if (DifferFromFirst(setting, ports))
                return QStringLiteral("Cannot add a port with different RSTP port setting to an aggregated link. ");

    // 14. Voice VLAN auto mode.
    if (AnyIs(d.voiceMode, ports, 1))
        return QStringLiteral("Cannot add a port in Voice Vlan Auto mode to an aggregated link.");

    // 15. FDB destination hit.
    if (AnyIs(d.fdbHit, ports, 1))
        return QStringLiteral("Cannot add ports with different FDB-destination-hit configurations to an aggregated link.");

    // 16. ACL.
    if (AnyIs(d.acl, ports, 1))
        return QStringLiteral("Cannot add an ACL enabled port to an aggregated link.");

    // 17. Auto surveillance VLAN.
    if (d.surveillanceState == 1) {
        if (AnyIs(d.surveillanceMode, ports, 1))
            return QStringLiteral(
                "Cannot add a port in  Auto Surveillance VLAN Auto mode to an aggregated link");
        if (AnyIs(d.surveillanceDynamic, ports, 2))
            return QStringLiteral("Cannot add a port in Auto Surveillance Vlan Auto dynamic mode to an aggregated link");
    }
    return QString();
}

void FillPerPortRows(const std::vector<SSnmpRow>& rows,
                     const std::vector<std::vector<int>*>& arrays) {
    for (size_t r = 0; r < rows.size(); ++r)
        for (size_t c = 0; c < arrays.size(); ++c)
            if (r < arrays[c]->size())
                (*arrays[c])[r] = IntAt(rows[r], static_cast<int>(c));
}

std::vector<int> VlanConfigOfPorts(const std::vector<SSnmpRow>& rows, int portCount) {
    // A port's membership over all VLANs as one text: "2" untagged, "1"
    // tagged, "0" none; equal texts get equal numbers.
    std::vector<QByteArray> signature(static_cast<size_t>(std::max(portCount, 0)));
    for (const SSnmpRow& row : rows) {
        const std::vector<int> egress = PortFlagsOf(row.Bytes(0), portCount);
        const std::vector<int> untagged = PortFlagsOf(row.Bytes(1), portCount);
        for (int p = 0; p < portCount; ++p)
            signature[p] += untagged[p] ? '2' : egress[p] ? '1' : '0';
    }
    std::map<QByteArray, int> numbers;
    std::vector<int> config(signature.size());
    for (size_t p = 0; p < signature.size(); ++p) {
        const auto it = numbers.emplace(signature[p], static_cast<int>(numbers.size()) + 1).first;
        config[p] = it->second;
    }
    return config;
}

std::vector<int> PortsNamedBy(const std::vector<SSnmpRow>& rows, int portCount) {
    std::vector<int> flags(static_cast<size_t>(std::max(portCount, 0)), 0);
    for (const SSnmpRow& row : rows) {
        if (row.Count() < 1)
            continue;
        const SSnmpCell& cell = row.cells[0];
        if (cell.type == SnmpType::kOctetString) {
            const std::vector<int> members = PortFlagsOf(cell.value, portCount);
            for (int p = 0; p < portCount; ++p)
                flags[p] |= members[p];
        } else {
            const int port = cell.Text().trimmed().toInt();
            if (port >= 1 && port <= portCount)
                flags[port - 1] = 1;
        }
    }
    return flags;
}

// ---- TrunkValid ----

CTrunkValid::CTrunkValid(const SessionMaker& addSession)
    : m_cCommonSNMP(addSession(QStringLiteral("m_cCommonSNMP"))),
      m_cCommonSNMPSet(addSession(QStringLiteral("m_cCommonSNMPSet"))),
      m_cCommonSNMPMirror(addSession(QStringLiteral("m_cCommonSNMPMirror"))),
      m_cCommonSNMPTableACL(addSession(QStringLiteral("m_cCommonSNMPTableACL"))),
      m_cCommonSNMPPoint(addSession(QStringLiteral("m_cCommonSNMPPoint"))),
      m_cCommonSNMPTableVlan(addSession(QStringLiteral("m_cCommonSNMPTableVlan"))),
      m_cCommonSNMPTableTrunk(addSession(QStringLiteral("m_cCommonSNMPTableTrunk"))),
      m_cCommonSNMPTableStaticPor(addSession(QStringLiteral("m_cCommonSNMPTableStaticPor"))),
      m_cCommonSNMPTableGetVlanTrunk(addSession(QStringLiteral("m_cCommonSNMPTableGetVlanTrunk"))),
      m_data(g_nPortNum) {}

bool CTrunkValid::Init() {
    m_data = STrunkValidData(g_nPortNum);
    m_bLoaded = LoadPerPort() && LoadScalars() && LoadTables();
    return m_bLoaded;
}

bool CTrunkValid::LoadPerPort() {
    STrunkValidData& d = m_data;
    const auto first =
        WalkTable(m_cCommonSNMPPoint,
                  {SwOid::kPortSpeed, SwOid::kPortPriority, SwOid::kPvid, Oid::kPortSecurity,
                   SwOid::kPortMedia, Oid::kLoopback, Oid::kRateIngress, Oid::kRateEgress});
    // A switch always has port rows: none means the walk did not work.
    if (!first || first->empty())
        return false;
    FillPerPortRows(*first, {&d.speed, &d.priority, &d.pvid, &d.portSecurity, &d.media, &d.lbd,
                             &d.rateIngress, &d.rateEgress});

    QStringList columns;
    for (int column : Oid::kRstpColumns)
        columns.append(Oid::kRstpPort + QString::number(column));
    columns << Oid::kDot1xControl << Oid::kVoiceMode;
    const auto second = WalkTable(m_cCommonSNMPTableGetVlanTrunk, columns);
    if (!second || second->empty())
        return false;
    std::vector<std::vector<int>*> arrays;
    for (std::vector<int>& setting : d.rstp)
        arrays.push_back(&setting);
    arrays.push_back(&d.dot1xControl);
    arrays.push_back(&d.voiceMode);
    FillPerPortRows(*second, arrays);
    return true;
}

bool CTrunkValid::LoadScalars() {
    STrunkValidData& d = m_data;
    const int n = d.portCount;
    // Each object on its own: a model without a feature (mirroring, auto
    // surveillance VLAN) has no such object, and its checks have nothing to find.
    bool ok = true;
    bool absent = false;
    auto read = [&ok, &absent](CCommonSNMP& session, const QString& oid) {
        SSnmpCell cell;
        const ReadResult result = ReadObject(session, oid, cell);
        ok = ok && result != ReadResult::kFailed;
        absent = result == ReadResult::kAbsent;
        return cell;
    };
    d.mirrorState = read(m_cCommonSNMPMirror, Oid::kMirrorState).Text().toInt();
    d.mirrorTarget = read(m_cCommonSNMPMirror, Oid::kMirrorTarget).Text().toInt();
    d.mirrorSource1 = PortFlagsOf(read(m_cCommonSNMPMirror, Oid::kMirrorSource1).value, n);
    d.mirrorSource2 = PortFlagsOf(read(m_cCommonSNMPMirror, Oid::kMirrorSource2).value, n);
    d.autoLearn = PortFlagsOf(read(m_cCommonSNMP, Oid::kAutoLearn).value, n);
    if (absent) // no way to turn learning off: every port learns
        d.autoLearn.assign(d.autoLearn.size(), 1);
    d.dot1xState = read(m_cCommonSNMP, Oid::kDot1xState).Text().toInt();
    d.rstpState = read(m_cCommonSNMP, Oid::kRstpState).Text().toInt();
    d.surveillanceState = read(m_cCommonSNMP, Oid::kSurveillanceState).Text().toInt();
    // Screened 1, trusted 2: every port has a setting to compare.
    d.dhcpScreening = PortFlagsOf(read(m_cCommonSNMP, Oid::kDhcpScreening).value, n);
    for (int& value : d.dhcpScreening)
        value = value ? 1 : 2;
    return ok;
}

bool CTrunkValid::LoadTables() {
    STrunkValidData& d = m_data;
    const int n = d.portCount;
    const auto vlans =
        WalkTable(m_cCommonSNMPTableVlan, {SwOid::kVlanEgress, SwOid::kVlanUntagged});
    const auto trunks = WalkTable(m_cCommonSNMPTableTrunk, {SwOid::kTrunkMembers});
    const auto fdb = WalkTable(m_cCommonSNMPTableStaticPor, {Oid::kFdbHitPorts});
    const auto arp = WalkTable(m_cCommonSNMPTableACL, {Oid::kArpPorts});
    const auto acl = WalkTable(m_cCommonSNMPTableACL, {Oid::kAclPorts});
    // One column per walk: this table ends the switch's MIB, and an agent may
    // fail a bulk request whose columns run past that end.
    const auto surveillanceMode =
        WalkTable(m_cCommonSNMPTableGetVlanTrunk, {Oid::kSurveillanceMode});
    const auto surveillanceDynamic =
        WalkTable(m_cCommonSNMPTableGetVlanTrunk, {Oid::kSurveillanceDynamic});
    if (!vlans || !trunks || !fdb || !arp || !acl || !surveillanceMode || !surveillanceDynamic)
        return false;
    d.vlanConfig = VlanConfigOfPorts(*vlans, n);
    d.lagOfPort = LagOfPorts(*trunks, n);
    d.fdbHit = PortsNamedBy(*fdb, n);
    d.arpPrevention = PortsNamedBy(*arp, n);
    d.acl = PortsNamedBy(*acl, n);
    // Indexed by port.
    for (const auto& [rows, values] : {std::pair{&*surveillanceMode, &d.surveillanceMode},
                                       std::pair{&*surveillanceDynamic, &d.surveillanceDynamic}})
        for (const SSnmpRow& row : *rows) {
            const int port = RowNumber(row);
            if (port >= 1 && port <= n)
                (*values)[port - 1] = IntAt(row, 0);
        }
    return true;
}

QString CTrunkValid::Check(std::span<const int> selected, const QString& memberText) {
    // The RSTP state may have changed since the window opened.
    SSnmpCell state;
    if (ReadObject(m_cCommonSNMP, Oid::kRstpState, state) != ReadResult::kFailed)
        m_data.rstpState = state.Text().toInt();
    return CheckTrunkMembers(m_data, selected, memberText);
}

// ---- Trunk member window ----

namespace {

struct SMemberLayout {
    int width;
    int height;
    int gap;
};

SMemberLayout MemberLayout(int portCount) {
    switch (portCount) {
    case 8:
        return {470, 275, 30};
    case 10:
        return {520, 275, 25};
    case 16:
        return {447, 275, 4};
    case 24:
        return {550, 275, 0};
    case 28:
        return {580, 275, 0};
    case 48:
        return {520, 330, 0};
    case 52:
        return {560, 330, 0};
    default:
        return {std::max(470, 17 * PortsPerGridRow(portCount) + 80), portCount > 28 ? 330 : 275, 0};
    }
}

constexpr int kPortStep = 17;
constexpr int kRowStep = 45;

} // namespace

CTrunkMemberDlg::CTrunkMemberDlg(int group, const QString& modeText, const QString& memberText,
                                 QWidget* parent)
    : CPageBase(parent), m_nGroup(group), m_strMode(modeText), m_strMembers(memberText),
      m_valid([this](const QString& name) -> CCommonSNMP& { return AddSession(name); }),
      m_selected(static_cast<size_t>(std::max(g_nPortNum, 0)), 0) {
    setWindowTitle(QStringLiteral("Trunk member"));
    PlaceControls();
}

void CTrunkMemberDlg::PlaceControls() {
    const int ports = g_nPortNum;
    const SMemberLayout layout = MemberLayout(ports);
    setFixedSize(layout.width, layout.height);
    move(200, 200);

    auto placeField = [this](const QString& caption, int id, const QString& text, int x,
                             int labelWidth) {
        QLabel* label = NewLabel(caption);
        label->setGeometry(x, 22, labelWidth, 22);
        QLineEdit* edit = NewEdit(id);
        edit->setText(text);
        edit->setReadOnly(true);
        edit->setGeometry(x + labelWidth, 20, 70, 24);
    };
    placeField(QStringLiteral("Trunk ID:"), kIdMemberTrunkId, QString::number(m_nGroup), 20, 70);
    placeField(QStringLiteral("PortChannelMode:"), kIdMemberMode, m_strMode, 190, 120);

    auto* frame = new QGroupBox(QStringLiteral("Port members"), this);
    const int perRow = PortsPerGridRow(ports);
    const int rows = ports > perRow ? 2 : 1;
    frame->setGeometry(12, 58, layout.width - 24, 36 + rows * kRowStep);

    const int step = kPortStep + layout.gap;
    const int gridWidth = (perRow - 1) * step + kPortStep;
    const int x0 = (layout.width - gridWidth) / 2;
    QFont small = font();
    small.setPointSizeF(small.pointSizeF() * 0.8);
    m_boxes = MakePortCheckBoxes(this, ports, kIdFirstBox);
    for (int port = 1; port <= ports; ++port) {
        const int column = (port - 1) % perRow;
        const int row = (port - 1) / perRow;
        const int x = x0 + column * step;
        const int y = 100 + row * kRowStep;
        QLabel* label = NewLabel(QString::number(port), kIdFirstLabel + port - 1);
        label->setFont(small);
        label->setAlignment(Qt::AlignHCenter | Qt::AlignBottom);
        label->setGeometry(x - 4, y - 16, kPortStep + 8, 15);
        QCheckBox* box = m_boxes[port - 1];
        box->setGeometry(x, y, kPortStep, kPortStep);
        connect(box, &QCheckBox::toggled, this,
                [this, port](bool on) { m_selected[port - 1] = on ? 1 : 0; });
    }

    QPushButton* ok = NewButton(QStringLiteral("OK"), 1);
    QPushButton* cancel = NewButton(QStringLiteral("Cancel"), 2);
    ok->setGeometry(layout.width - 200, layout.height - 44, 85, 28);
    cancel->setGeometry(layout.width - 105, layout.height - 44, 85, 28);
    connect(ok, &QPushButton::clicked, this, &CTrunkMemberDlg::Submit);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
}

void CTrunkMemberDlg::OnInitDialog() {
    // Load once the window is drawn: the validator reads many tables.
    QTimer::singleShot(0, this, &CTrunkMemberDlg::Load);
}

void CTrunkMemberDlg::Load() {
    const bool ok = m_valid.Init();
    if (!ok) {
        ShowMessage(QStringLiteral("TrunkValid Init Error !"), this);
    } else {
        for (const QString& item : m_strMembers.split(u',', Qt::SkipEmptyParts)) {
            const int port = item.trimmed().toInt();
            if (port >= 1 && port <= static_cast<int>(m_boxes.size()))
                m_boxes[port - 1]->setChecked(true);
        }
    }
    m_bLoadDone = true;
    emit Loaded(ok);
}

std::vector<int> CTrunkMemberDlg::Selected() const {
    return m_selected;
}

bool CTrunkMemberDlg::Submit() {
    QString message = CheckMemberCount(m_selected);
    // Without the switch's data every check would pass: never write blind.
    if (message.isEmpty() && !m_valid.IsLoaded())
        message = QStringLiteral("TrunkValid Init Error !");
    if (message.isEmpty())
        message = m_valid.Check(m_selected, m_strMembers);
    if (!message.isEmpty()) {
        ShowMessage(message, this);
        return false;
    }
    const QByteArray members = PortFlagsToBitmap(m_selected, g_nPortNum);
    if (members.isEmpty()) {
        ShowMessage(QStringLiteral("Parameter Error !"), this);
        return false;
    }
    const int mode = m_strMode == kLacp ? 1 : 2;
    const int status = WriteObjects(
        m_valid.m_cCommonSNMPSet,
        {{CellOid(SwOid::kTrunkMembers, m_nGroup), SnmpType::kOctetString, members},
         {CellOid(SwOid::kTrunkMode, m_nGroup), SnmpType::kInteger, QByteArray::number(mode)}});
    if (status != 0)
        return false;
    accept();
    return true;
}

// ---- Trunk Configuration page ----

CTrunkPage::CTrunkPage(QWidget* parent)
    : CPageBase(parent), m_cCommonSNMP(AddSession(QStringLiteral("m_cCommonSNMP"))),
      m_cCommonSNMPSet(AddSession(QStringLiteral("m_cCommonSNMPSet"))),
      m_cCommonSNMPTable(AddSession(QStringLiteral("m_cCommonSNMPTable"))),
      m_pList(new CListControl(this)), m_pTrunkId(NewEdit(kIdTrunkId, 2)),
      m_pMode(new QComboBox(this)), m_pEnable(new QCheckBox(QStringLiteral("Enable Trunk"), this)),
      m_pPortMember(NewButton(QStringLiteral("&PortMember"), kIdPortMember)),
      m_pRefresh(NewButton(QStringLiteral("&Refresh"), kIdRefresh)),
      m_pApply(NewButton(QStringLiteral("&Apply"), kIdApply)) {
    setWindowTitle(QStringLiteral("Trunk Configuration"));
    SetControlId(m_pList, kIdGroupList);
    SetControlId(m_pMode, kIdModeBox);
    SetControlId(m_pEnable, kIdEnable);
    m_pList->AddColumn(QStringLiteral("TrunkID"));
    m_pList->AddColumn(QStringLiteral("PortChannelMode"));
    m_pList->AddColumn(QStringLiteral("PortMember"));
    m_pList->horizontalHeader()->setStretchLastSection(true);
    m_pList->setSelectionMode(QAbstractItemView::SingleSelection);
    m_pMode->addItems({kLacp, kStatic, kDisable});
    m_pTrunkId->setMaximumWidth(60);

    auto* status = new QGroupBox(QStringLiteral("Trunk status"), this);
    auto* statusRow = new QHBoxLayout(status);
    QPushButton* applyState = NewButton(QStringLiteral("&Apply"), kIdApplyState);
    statusRow->addWidget(m_pEnable);
    statusRow->addStretch();
    statusRow->addWidget(applyState);

    auto* setting = new QGroupBox(QStringLiteral("Trunk setting"), this);
    auto* settingRow = new QHBoxLayout(setting);
    settingRow->addWidget(NewLabel(QStringLiteral("Trunk ID:")));
    settingRow->addWidget(m_pTrunkId);
    settingRow->addSpacing(12);
    settingRow->addWidget(NewLabel(QStringLiteral("PortChannelMode:")));
    settingRow->addWidget(m_pMode);
    settingRow->addStretch();
    settingRow->addWidget(m_pPortMember);
    settingRow->addWidget(m_pApply);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_pRefresh);
    QPushButton* close = NewButton(QStringLiteral("&Close"), kIdClose);
    buttons->addWidget(close);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(status);
    layout->addWidget(m_pList, 1);
    layout->addWidget(setting);
    layout->addLayout(buttons);
    resize(520, 420);

    connect(m_pList, &CListControl::RowActivated, this, &CTrunkPage::SelectRow);
    connect(applyState, &QPushButton::clicked, this, &CTrunkPage::ApplyState);
    connect(m_pApply, &QPushButton::clicked, this, &CTrunkPage::ApplyMode);
    connect(m_pPortMember, &QPushButton::clicked, this, &CTrunkPage::OnPortMember);
    connect(m_pRefresh, &QPushButton::clicked, this, &CTrunkPage::Refresh);
    connect(close, &QPushButton::clicked, this, &QDialog::reject);
    UpdateButtons();
}

void CTrunkPage::OnInitDialog() {
    Refresh();
}

void CTrunkPage::Refresh() {
    if (m_bLoading)
        return;
    if (const auto state = ReadObjects(m_cCommonSNMP, {SwOid::kTrunkState})) {
        m_bTrunkEnabled = state->Text(0) == u"1";
        m_pEnable->setChecked(m_bTrunkEnabled);
    }
    m_pList->DeleteAllItems();
    m_bLoading = true;
    UpdateButtons();
    SWalkSpec walk;
    walk.columns = {SwOid::kTrunkMembers, SwOid::kTrunkMode};
    StartWalk(m_cCommonSNMPTable, Channel(), walk);
}

void CTrunkPage::OnSnmpNotify(const SSnmpReport& report) {
    if (report.code == PageReport::kFinished) {
        m_bLoading = false;
        UpdateButtons();
        emit Loaded();
        return;
    }
    const SSnmpRow& row = report.row;
    m_pList->AppendRow({QString::number(RowNumber(row)), TrunkModeText(row.Text(1)),
                        PortBitmapToList(row.Bytes(0))});
}

void CTrunkPage::UpdateButtons() {
    m_pRefresh->setEnabled(!m_bLoading);
    m_pApply->setEnabled(!m_bLoading);
    m_pPortMember->setEnabled(!m_bLoading && m_bTrunkEnabled);
}

void CTrunkPage::SelectRow(int row) {
    if (row < 0 || row >= m_pList->ItemCount())
        return;
    m_pList->SelectRow(row);
    m_pTrunkId->setText(m_pList->ItemText(row, 0));
    const int entry = m_pMode->findText(m_pList->ItemText(row, 1));
    if (entry >= 0)
        m_pMode->setCurrentIndex(entry);
}

int CTrunkPage::RowOfGroup(int group) const {
    for (int row = 0; row < m_pList->ItemCount(); ++row)
        if (m_pList->ItemText(row, 0).toInt() == group)
            return row;
    return -1;
}

bool CTrunkPage::ApplyState() {
    const int value = m_pEnable->isChecked() ? kEnabled : kDisabled;
    const int status = WriteObjects(
        m_cCommonSNMPSet, {{SwOid::kTrunkState, SnmpType::kInteger, QByteArray::number(value)}});
    // Also after a refusal, so that the box shows what the switch holds.
    QTimer::singleShot(status == 0 ? 10 : 0, this, &CTrunkPage::Refresh);
    return status == 0;
}

bool CTrunkPage::ApplyMode() {
    if (m_pTrunkId->text().trimmed().isEmpty())
        return false;
    int group = 0;
    const QString message = CheckTrunkId(m_pTrunkId->text(), group);
    if (!message.isEmpty()) {
        ShowMessage(message, this);
        m_pTrunkId->setFocus();
        m_pTrunkId->selectAll();
        return false;
    }
    const int row = RowOfGroup(group);
    if (row >= 0 && m_pMode->currentText() == m_pList->ItemText(row, 1))
        return false;
    if (row < 0 || m_pList->ItemText(row, 2).isEmpty()) {
        ShowMessage(QStringLiteral("Please configure the PortMember first"), this);
        return false;
    }
    const int value = TrunkModeValue(m_pMode->currentIndex());
    const int status = WriteObjects(
        m_cCommonSNMPSet,
        {{CellOid(SwOid::kTrunkMode, group), SnmpType::kInteger, QByteArray::number(value)}});
    QTimer::singleShot(status == 0 ? 50 : 0, this, &CTrunkPage::Refresh);
    return status == 0;
}

void CTrunkPage::OnPortMember() {
    if (m_pTrunkId->text().trimmed().isEmpty()) {
        ShowMessage(QStringLiteral("Please select the Trunk !"), this);
        return;
    }
    if (m_pMode->currentText() == kDisable) {
        ShowMessage(QStringLiteral("Link Aggregation State is disable."), this);
        return;
    }
    int group = 0;
    const QString message = CheckTrunkId(m_pTrunkId->text(), group);
    if (!message.isEmpty()) {
        ShowMessage(message, this);
        m_pTrunkId->setFocus();
        m_pTrunkId->selectAll();
        return;
    }
    const int row = RowOfGroup(group);
    CTrunkMemberDlg members(group, m_pMode->currentText(),
                            row >= 0 ? m_pList->ItemText(row, 2) : QString(), this);
    if (members.exec() == QDialog::Accepted)
        Refresh();
}
