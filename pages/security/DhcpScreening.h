#pragma once

// "DHCP Server Screening Settings": the trusted ports (the complement of the
// screened ports the switch keeps) and the trusted DHCP servers.

#include "snmp/PageBase.h"

#include <vector>

class CIpAddressEdit;
class CListControl;
class QLineEdit;

constexpr int kMaxTrustedServers = 5;

// The trusted ports of a screened-port list: every port of the device the
// list does not name.
std::vector<int> TrustedPortsOf(const QByteArray& screened, int portCount);
// The screened-port list to write for trusted ports: no bit past the last port.
QByteArray ScreenedBitmapOf(const std::vector<int>& trusted, int portCount);

// The trusted-port text: the message to show, empty when the text is usable
// (its ports then in trusted, one flag per port).
QString CheckTrustedPorts(const QString& text, const std::vector<int>& lagOfPort,
                          std::vector<int>& trusted);
// A server to add: filledFields of the IP-address control, its dotted text and
// the addresses listed.
QString CheckServerAdd(int filledFields, const QString& ip, const std::vector<QString>& listed);

class CDhcpScreeningPage : public CPageBase {
    Q_OBJECT
public:
    explicit CDhcpScreeningPage(QWidget* parent = nullptr);

    void Refresh();
    bool ApplyTrustedPorts();
    bool AddServer();
    bool DeleteServer();
    CListControl* List() const { return m_pList; }

protected:
    void OnInitDialog() override;

private:
    CCommonSNMP& m_cCommonSNMP;
    CCommonSNMP& m_cCommonSNMPSet;
    CCommonSNMP& m_cCommonSNMPTable;
    std::vector<int> m_lagOfPort;
    QLineEdit* m_pTrusted;
    CIpAddressEdit* m_pServer;
    CListControl* m_pList;
    std::vector<QString> m_suffixes; // row index of each listed server
};
