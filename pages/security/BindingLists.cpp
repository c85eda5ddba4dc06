#include "BindingLists.h"

#include "device/DeviceProfile.h"
#include "platform/IpAddressEdit.h"
#include "platform/ListControl.h"
#include "platform/MessageBox.h"
#include "snmp/Encodings.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

enum WhiteId { kIdWhiteTotal = 1170, kIdWhiteDelete = 1173, kIdWhiteRefresh = 1149 };
enum BlackId {
    kIdVid = 1114,
    kIdIp = 1000,
    kIdMac = 1001,
    kIdPorts = 1002,
    kIdFind = 1005,
    kIdBlackTotal = 1171,
    kIdBlackDelete = 1003,
    kIdBlackRefresh = 1044,
};

// The foot of both lists: the count on the left, Delete and Refresh on the right.
QHBoxLayout* ListFoot(QLabel* total, QPushButton* remove, QPushButton* refresh) {
    auto* foot = new QHBoxLayout;
    foot->addWidget(total);
    foot->addStretch();
    foot->addWidget(remove);
    foot->addWidget(refresh);
    return foot;
}

} // namespace

CWhiteListPage::CWhiteListPage(QWidget* parent)
    : CBindingListPage(
          parent,
          {BindOid::kWhiteIp, BindOid::kWhiteMac, BindOid::kWhitePort, BindOid::kWhiteStatus},
          BindingReport::kRow) {
    setWindowTitle(QStringLiteral("White List"));
    AddColumn(QStringLiteral("IP Address"), 130);
    AddColumn(QStringLiteral("Mac Address"), 150);
    AddColumn(QStringLiteral("Port"), 60);
    QPushButton* remove = NewButton(QStringLiteral("&Delete"), kIdWhiteDelete);
    QPushButton* refresh = NewButton(QStringLiteral("&Refresh"), kIdWhiteRefresh);
    QLabel* total = NewLabel(QString(), kIdWhiteTotal);
    SetTotalLabel(total, QStringLiteral("Total Entries: "));
    SetRefreshButton(refresh);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_pList, 1);
    layout->addLayout(ListFoot(total, remove, refresh));
    resize(460, 400);

    connect(remove, &QPushButton::clicked, this,
            [this] { DeleteSelected(BindOid::kWhiteStatus, kSelectToDelete); });
}

QStringList CWhiteListPage::Texts(const SSnmpRow& row) const {
    return {row.Text(0), MacToDashText(row.Bytes(1)), row.Text(2)};
}

CBlackListPage::CBlackListPage(QWidget* parent)
    : CBindingListPage(parent,
                       {BindOid::kBlackVid, BindOid::kBlackIp, BindOid::kBlackMac,
                        BindOid::kBlackPort, BindOid::kBlackStatus},
                       BindingReport::kRow),
      m_pVid(NewEdit(kIdVid, 4)), m_pIp(new CIpAddressEdit(this)), m_pMac(NewEdit(kIdMac, 17)),
      m_pPorts(NewEdit(kIdPorts)) {
    setWindowTitle(QStringLiteral("Black List"));
    SetControlId(m_pIp, kIdIp);

    auto* search = new QGridLayout;
    const QString captions[] = {QStringLiteral("VID"), QStringLiteral("IP Address"),
                                QStringLiteral("MAC Address"), QStringLiteral("Ports")};
    QWidget* fields[] = {m_pVid, m_pIp, m_pMac, m_pPorts};
    for (int i = 0; i < 4; ++i) {
        search->addWidget(NewLabel(captions[i]), 0, i);
        search->addWidget(fields[i], 1, i);
    }
    QPushButton* find = NewButton(QStringLiteral("&Find"), kIdFind);
    search->addWidget(find, 1, 4);

    AddColumn(QStringLiteral("VID"), 60);
    AddColumn(QStringLiteral("IP Address"), 130);
    AddColumn(QStringLiteral("Mac Address"), 150);
    AddColumn(QStringLiteral("Port"), 60);
    QPushButton* remove = NewButton(QStringLiteral("&Delete"), kIdBlackDelete);
    QPushButton* refresh = NewButton(QStringLiteral("&Refresh"), kIdBlackRefresh);
    QLabel* total = NewLabel(QString(), kIdBlackTotal);
    SetTotalLabel(total, QStringLiteral("Total Entries :"));
    SetRefreshButton(refresh);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(search);
    layout->addWidget(m_pList, 1);
    layout->addLayout(ListFoot(total, remove, refresh));
    resize(600, 420);

    connect(find, &QPushButton::clicked, this, &CBlackListPage::Find);
    connect(remove, &QPushButton::clicked, this,
            [this] { DeleteSelected(BindOid::kBlackStatus, kSelectToDelete); });
}

QStringList CBlackListPage::Texts(const SSnmpRow& row) const {
    return {row.Text(0), row.Text(1), MacToDashText(row.Bytes(2)), row.Text(3)};
}

void CBlackListPage::Find() {
    SBlackFilter filter;
    const QString message = ParseBlackFilter(m_pVid->text(), m_pIp->Address(), m_pMac->text(),
                                             m_pPorts->text(), g_nPortNum, filter);
    if (!message.isEmpty()) {
        ShowMessage(message, this);
        return;
    }
    // The search runs over the entries last read; Refresh reads them again.
    m_filter = filter;
    Relist();
    ShowOutcome(filter.IsEmpty() ? QStringLiteral("All entries shown")
                                 : QStringLiteral("%1 entries found").arg(m_pList->ItemCount()));
}
