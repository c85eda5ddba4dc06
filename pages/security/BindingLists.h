#pragma once

// "White List" (hosts bound to their port) and "Black List" (hosts the
// switch blocked), each with delete and refresh; the black list can be searched.

#include "BindingCommon.h"

class CIpAddressEdit;
class QLineEdit;

class CWhiteListPage : public CBindingListPage {
    Q_OBJECT
public:
    explicit CWhiteListPage(QWidget* parent = nullptr);

private:
    QStringList Texts(const SSnmpRow& row) const override;
};

class CBlackListPage : public CBindingListPage {
    Q_OBJECT
public:
    explicit CBlackListPage(QWidget* parent = nullptr);

private:
    QStringList Texts(const SSnmpRow& row) const override;
    bool Shows(const SSnmpRow& row) const override { return BlackRowMatches(m_filter, row); }
    void Find();

    QLineEdit* m_pVid;
    CIpAddressEdit* m_pIp;
    QLineEdit* m_pMac;
    QLineEdit* m_pPorts;
    SBlackFilter m_filter;
};
