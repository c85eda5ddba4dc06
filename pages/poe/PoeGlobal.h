#pragma once

// "PoE Global Settings": the power threshold and shut-off sequence, and the
// switch's power budget, use and rest.

#include "snmp/PageBase.h"

class QComboBox;
class QLineEdit;
class QPushButton;
class QTimer;

class CPoeGlobalPage : public CPageBase {
    Q_OBJECT
public:
    // The six objects in the order they are read and stored.
    enum Object { kThreshold, kSequence, kBudget, kUsed, kLeft, kPercent, kObjects };
    static constexpr int kLoadDelayMs = 3000;

    explicit CPoeGlobalPage(QWidget* parent = nullptr);

    // Reads the six objects one at a time; the fields of those that fail keep "wait...".
    void Load();
    // True when at least one of the changed values was taken.
    bool Apply();
    QString StoredValue(Object object) const { return m_values[object]; }

protected:
    void OnInitDialog() override;

private:
    void SetEditable(bool editable);

    CCommonSNMP& m_cCommonSNMP;
    CCommonSNMP& m_cCommonSNMPSet;
    QString m_values[kObjects];
    QLineEdit* m_pThreshold;
    QComboBox* m_pSequence;
    QLineEdit* m_pStatus[4]; // budget, used, left, percent
    QPushButton* m_pApply;
    QTimer* m_pTimer;
};
