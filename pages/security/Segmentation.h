#pragma once

// "Traffic Segmentation Settings": the global state and, per source port, the
// ports it may forward to. The operator picks a range of source ports ("From
// Port" to "To Port"); the boxes show what every port of the range may reach,
// and Apply gives that set to each of them.

#include "snmp/PageBase.h"

#include <vector>

class CListControl;
class QCheckBox;
class QComboBox;

// Ports every source port from..to (1-based, either order) may forward to.
// lists: one flag vector per port (index port - 1).
std::vector<int> CommonForwarding(const std::vector<std::vector<int>>& lists, int from, int to);
// The source range: the message to show, empty when it may be written.
QString CheckSegmentationSources(int from, int to, const std::vector<int>& lagOfPort);

class CSegmentationPage : public CPageBase {
    Q_OBJECT
public:
    explicit CSegmentationPage(QWidget* parent = nullptr);

    void Refresh();
    bool ApplyState();
    bool ApplyPorts();
    CListControl* List() const { return m_pList; }

protected:
    void OnInitDialog() override;

private:
    void ShowRange();
    void SelectFromList(int row);

    CCommonSNMP& m_cCommonSNMP;
    CCommonSNMP& m_cCommonSNMPSet;
    CCommonSNMP& m_cCommonSNMPTable;
    std::vector<std::vector<int>> m_lists;
    std::vector<int> m_lagOfPort;
    QCheckBox* m_pEnable;
    QComboBox* m_pFrom;
    QComboBox* m_pTo;
    std::vector<QCheckBox*> m_ports;
    CListControl* m_pList;
};
