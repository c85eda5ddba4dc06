#include "Binding.h"

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

enum BindingId {
    kIdIp = 1175,
    kIdMac = 1001,
    kIdPorts = 1002,
    kIdAdd = 1149,
    kIdScanFrom = 1012,
    kIdScanTo = 1168,
    kIdScan = 1060,
    kIdBinding = 1169,
    kIdRefresh = 1174,
    kIdBack = 1190,
    kIdNext = 1191,
};
constexpr int kBindingColumn = 3;

} // namespace

CSmartBindingPage::CSmartBindingPage(QWidget* parent)
    // The columns in the order .1, .4, .3, .2, .5: IP, MAC, port, VID, binding.
    : CBindingListPage(parent,
                       {BindOid::kScanIp, BindOid::kScanMac, BindOid::kScanPort, BindOid::kScanVid,
                        BindOid::kScanBinding},
                       BindingReport::kRow),
      m_pIp(new CIpAddressEdit(this)), m_pMac(NewEdit(kIdMac, 17)), m_pPort(NewEdit(kIdPorts, 3)),
      m_pScanFrom(new CIpAddressEdit(this)), m_pScanTo(new CIpAddressEdit(this)) {
    setWindowTitle(QStringLiteral("Smart Binding"));
    SetControlId(m_pIp, kIdIp);
    SetControlId(m_pScanFrom, kIdScanFrom);
    SetControlId(m_pScanTo, kIdScanTo);

    auto* manual = new QGroupBox(QStringLiteral("Manual Binding"), this);
    auto* manualLayout = new QGridLayout(manual);
    manualLayout->addWidget(NewLabel(QStringLiteral("IP Address")), 0, 0);
    manualLayout->addWidget(m_pIp, 0, 1);
    manualLayout->addWidget(NewLabel(QStringLiteral("MAC Address")), 1, 0);
    manualLayout->addWidget(m_pMac, 1, 1);
    manualLayout->addWidget(NewLabel(QStringLiteral("Ports")), 2, 0);
    manualLayout->addWidget(m_pPort, 2, 1);
    QPushButton* add = NewButton(QStringLiteral("&Add"), kIdAdd);
    manualLayout->addWidget(add, 3, 1, Qt::AlignRight);

    auto* scan = new QGroupBox(QStringLiteral("Auto Scan"), this);
    auto* scanLayout = new QGridLayout(scan);
    scanLayout->addWidget(NewLabel(QStringLiteral("IP Address From")), 0, 0);
    scanLayout->addWidget(m_pScanFrom, 0, 1);
    scanLayout->addWidget(NewLabel(QStringLiteral("To")), 1, 0);
    scanLayout->addWidget(m_pScanTo, 1, 1);
    QLabel* note = NewLabel(
        QStringLiteral("Enter a range of IP address to scan all devices in the network. "));
    note->setWordWrap(true);
    scanLayout->addWidget(note, 2, 0, 1, 2);
    QPushButton* scanButton = NewButton(QStringLiteral("&Scan"), kIdScan);
    scanLayout->addWidget(scanButton, 3, 1, Qt::AlignRight);

    auto* top = new QHBoxLayout;
    top->addWidget(manual);
    top->addWidget(scan);

    AddColumn(QStringLiteral("IP Address"), 130);
    AddColumn(QStringLiteral("Mac Address"), 150);
    AddColumn(QStringLiteral("Port"), 60);
    AddColumn(QStringLiteral("Binding"), 100);

    auto* buttons = new QHBoxLayout;
    // Paging buttons of the original form, never shown.
    for (auto [text, id] : {std::pair{"Back", kIdBack}, std::pair{"Next", kIdNext}})
        NewButton(QString::fromLatin1(text), id)->hide();
    buttons->addStretch();
    QPushButton* bind = NewButton(QStringLiteral("&Binding"), kIdBinding);
    QPushButton* refresh = NewButton(QStringLiteral("&Refresh"), kIdRefresh);
    buttons->addWidget(bind);
    buttons->addWidget(refresh);
    SetRefreshButton(refresh);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(m_pList, 1);
    layout->addLayout(buttons);
    resize(640, 520);

    connect(add, &QPushButton::clicked, this, &CSmartBindingPage::Add);
    connect(scanButton, &QPushButton::clicked, this, &CSmartBindingPage::Scan);
    connect(bind, &QPushButton::clicked, this, &CSmartBindingPage::Bind);
}

QStringList CSmartBindingPage::Texts(const SSnmpRow& row) const {
    return {row.Text(0), MacToDashText(row.Bytes(1)), row.Text(2),
            row.Text(4) == u"1" ? QStringLiteral("Bound") : QStringLiteral("Not Bound")};
}

void CSmartBindingPage::Add() {
    int port = 0;
    const QString ip = m_pIp->Address();
    const QString message =
        CheckManualBinding(ip, m_pMac->text(), m_pPort->text(), g_nPortNum, port);
    if (!message.isEmpty()) {
        ShowMessage(message, this);
        return;
    }
    const QString index = HostIndex(ip, MacFromText(m_pMac->text()));
    const int failed = m_pBackEnd->Apply(
        {{QStringLiteral("white list entry"),
          {{BindOid::kWhitePort + u'.' + index, SnmpType::kInteger, QByteArray::number(port)},
           {BindOid::kWhiteStatus + u'.' + index, SnmpType::kInteger,
            QByteArray::number(RowStatus::kCreateAndGo)}}}});
    if (failed < 0)
        ShowMessage(QStringLiteral("Success!"), this);
}

void CSmartBindingPage::Scan() {
    const QString from = m_pScanFrom->Address(), to = m_pScanTo->Address();
    const QString message = CheckScanRange(from, to);
    if (!message.isEmpty()) {
        ShowMessage(message, this);
        return;
    }
    m_pBackEnd->Apply(
        {{QStringLiteral("scan"),
          {{BindOid::kScanFrom, SnmpType::kIpAddress, from.toLatin1()},
           {BindOid::kScanTo, SnmpType::kIpAddress, to.toLatin1()},
           {BindOid::kScanStart, SnmpType::kInteger, QByteArray::number(BindValue::kStartScan)}}}});
}

void CSmartBindingPage::Bind() {
    const int line = m_pList->SelectedRow();
    const SSnmpRow* row = RowAt(line);
    const QString message = CheckBindSelection(
        row ? line : -1, row ? m_pList->ItemText(line, kBindingColumn) : QString());
    if (!message.isEmpty()) {
        ShowMessage(message, this);
        return;
    }
    m_pBackEnd->Apply({{QStringLiteral("binding"),
                        {{BindOid::kScanBinding + u'.' + row->suffix, SnmpType::kInteger,
                          QByteArray::number(BindValue::kBound)}}}});
}
