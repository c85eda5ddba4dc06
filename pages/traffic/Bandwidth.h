#pragma once

// "BandWidth Control": per port the ingress and egress rate limits and the
// port's storm control (which traffic it limits, and to what rate); applied
// to a range of ports at a time.

#include "snmp/PageBase.h"

#include <array>
#include <vector>

class CListControl;
class QComboBox;
class QLineEdit;

// Storm control type texts (values 1 to 8) and a rate cell (0: no limit).
QString StormTypeText(int value);
QString RateText(const QString& value, const QString& unlimited);

struct SBandwidthEntry {
    int fromPort = 0, toPort = 0;
    QString ingress, egress, stormRate; // Kbit/s as typed
    std::vector<int> lagOfPort;
};
// The message of the first failed check, empty when all pass.
QString CheckBandwidth(const SBandwidthEntry& entry);

class CBandwidthPage : public CPageBase {
    Q_OBJECT
public:
    explicit CBandwidthPage(QWidget* parent = nullptr);

    void Load();
    bool Apply();
    void OnRowSelected(int row);
    CListControl* List() const { return m_pList; }

protected:
    void OnInitDialog() override;

private:
    CCommonSNMP& m_cCommonSNMPTable;
    CCommonSNMP& m_cCommonSNMPSet;
    CCommonSNMP& m_cCommonSNMPTableTrunk;
    const int m_nPortNum;
    std::vector<int> m_lagOfPort;
    // Raw values per list row: ingress, egress, storm type, storm rate.
    std::vector<std::array<QString, 4>> m_values;
    QWidget* m_pBody;
    CListControl* m_pList;
    QComboBox* m_pFrom;
    QComboBox* m_pTo;
    QLineEdit* m_pIngress;
    QLineEdit* m_pEgress;
    QComboBox* m_pStormType;
    QLineEdit* m_pStormRate;
};
