#pragma once

// "Smart Binding Settings": admin state, inspection mode and DHCP snooping
// per port, written for a range of ports.

#include "BindingCommon.h"

class QComboBox;

class CSmartBindingSettingsPage : public CBindingListPage {
    Q_OBJECT
public:
    explicit CSmartBindingSettingsPage(QWidget* parent = nullptr);

private:
    QStringList Texts(const SSnmpRow& row) const override { return BindingSettingsTexts(row); }
    void OnToPortChanged();
    void Apply();

    QComboBox* m_pFrom;
    QComboBox* m_pTo;
    QComboBox* m_pAdmin;
    QComboBox* m_pInspection;
    QComboBox* m_pSnooping;
};
