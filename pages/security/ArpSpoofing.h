#pragma once

// ARP spoofing prevention: the list of protected gateways and the editor that
// adds one.

#include "snmp/PageBase.h"

#include <vector>

class CIpAddressEdit;
class CListControl;
class QCheckBox;
class QLabel;
class QLineEdit;

constexpr int kMaxArpEntries = 64;

// A gateway the list shows: dotted address and "00-1A-..." MAC.
struct SArpEntry {
    QString ip;
    QString mac;
};

// "&Add" with this many rows listed: the message, empty when one more fits.
QString CheckArpAdd(int rowCount);
// The editor's refusals in order; empty when the entry may be written.
// ip: the control's dotted text, empty when it is not filled in.
QString CheckArpEntry(const QString& ip, const QString& mac, const std::vector<int>& ports,
                      const std::vector<SArpEntry>& existing, const std::vector<int>& lagOfPort);
// Six octets of a "00-1A-2B-3C-4D-5E" text.
QByteArray MacTextToBytes(const QString& text);

class CArpEntryDlg : public CPageBase {
    Q_OBJECT
public:
    CArpEntryDlg(std::vector<SArpEntry> existing, QWidget* parent = nullptr);

    // Checks, the warning, then the row; false when it was not written (the
    // editor stays open and its outcome line tells why).
    bool Submit();

protected:
    void OnInitDialog() override;

private:
    CCommonSNMP& m_cCommonSNMP;
    CCommonSNMP& m_cCommonSNMPSet;
    std::vector<SArpEntry> m_existing;
    std::vector<int> m_lagOfPort;
    CIpAddressEdit* m_pIp;
    QLineEdit* m_pMac;
    QCheckBox* m_pAll;
    std::vector<QCheckBox*> m_ports;
};

class CArpSpoofingPage : public CPageBase {
    Q_OBJECT
public:
    explicit CArpSpoofingPage(QWidget* parent = nullptr);

    void Refresh();
    void OnAdd();
    bool OnDelete();
    CListControl* List() const { return m_pList; }

protected:
    void OnInitDialog() override;
    void OnSnmpNotify(const SSnmpReport& report) override;

private:
    std::vector<SArpEntry> Listed() const;

    CCommonSNMP& m_cCommonSNMP;
    CCommonSNMP& m_cCommonSNMPTable;
    CListControl* m_pList;
    QLabel* m_pTotal;
};
