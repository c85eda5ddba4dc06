#pragma once

// "Smart Binding": hosts bound by hand onto the white list, the auto scan of
// an address range, and binding a host the scan found.

#include "BindingCommon.h"

class CIpAddressEdit;
class QLineEdit;

class CSmartBindingPage : public CBindingListPage {
    Q_OBJECT
public:
    explicit CSmartBindingPage(QWidget* parent = nullptr);

private:
    QStringList Texts(const SSnmpRow& row) const override;
    void Add();
    void Scan();
    void Bind();

    CIpAddressEdit* m_pIp;
    QLineEdit* m_pMac;
    QLineEdit* m_pPort;
    CIpAddressEdit* m_pScanFrom;
    CIpAddressEdit* m_pScanTo;
};
