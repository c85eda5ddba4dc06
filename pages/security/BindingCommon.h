#pragma once

// What the smart binding pages share: the objects, the back-end that walks
// their tables and writes them (rows reach the page through the notify
// channel), a list page with row-status delete, and the checks.

#include "snmp/PageBase.h"

#include <QByteArray>
#include <QString>

#include <cstddef>
#include <memory>
#include <optional>
#include <vector>

class CListControl;
class QLabel;
class QPushButton;

namespace BindOid {
inline const QString kPortNumber = QStringLiteral("1.3.6.1.4.1.32473.10.75.7.14.10.1.1.1");
inline const QString kAdmin = QStringLiteral("1.3.6.1.4.1.32473.10.75.7.14.10.1.1.2");
inline const QString kInspection = QStringLiteral("1.3.6.1.4.1.32473.10.75.7.14.10.1.1.3");
inline const QString kSnooping = QStringLiteral("1.3.6.1.4.1.32473.10.75.7.14.10.1.1.4");
// Scan results, index IP.MAC.port (MAC as six decimal arcs).
inline const QString kScanIp = QStringLiteral("1.3.6.1.4.1.32473.10.75.7.14.10.2.1.1");
inline const QString kScanVid = QStringLiteral("1.3.6.1.4.1.32473.10.75.7.14.10.2.1.2");
inline const QString kScanPort = QStringLiteral("1.3.6.1.4.1.32473.10.75.7.14.10.2.1.3");
inline const QString kScanMac = QStringLiteral("1.3.6.1.4.1.32473.10.75.7.14.10.2.1.4");
inline const QString kScanBinding = QStringLiteral("1.3.6.1.4.1.32473.10.75.7.14.10.2.1.5");
// White list, index IP.MAC.
inline const QString kWhiteIp = QStringLiteral("1.3.6.1.4.1.32473.10.75.7.14.10.3.1.1");
inline const QString kWhiteMac = QStringLiteral("1.3.6.1.4.1.32473.10.75.7.14.10.3.1.2");
inline const QString kWhitePort = QStringLiteral("1.3.6.1.4.1.32473.10.75.7.14.10.3.1.3");
inline const QString kWhiteStatus = QStringLiteral("1.3.6.1.4.1.32473.10.75.7.14.10.3.1.4");
// Black list, index VID.IP.MAC.
inline const QString kBlackVid = QStringLiteral("1.3.6.1.4.1.32473.10.75.7.14.10.4.1.1");
inline const QString kBlackIp = QStringLiteral("1.3.6.1.4.1.32473.10.75.7.14.10.4.1.2");
inline const QString kBlackMac = QStringLiteral("1.3.6.1.4.1.32473.10.75.7.14.10.4.1.3");
inline const QString kBlackPort = QStringLiteral("1.3.6.1.4.1.32473.10.75.7.14.10.4.1.4");
inline const QString kBlackStatus = QStringLiteral("1.3.6.1.4.1.32473.10.75.7.14.10.4.1.5");
// The scan: first and last address, then 1 starts it.
inline const QString kScanFrom = QStringLiteral("1.3.6.1.4.1.32473.10.75.7.14.10.5.0");
inline const QString kScanTo = QStringLiteral("1.3.6.1.4.1.32473.10.75.7.14.10.6.0");
inline const QString kScanStart = QStringLiteral("1.3.6.1.4.1.32473.10.75.7.14.10.7.0");
} // namespace BindOid

// Values the switch takes.
namespace BindValue {
constexpr int kBound = 1; // scan result column 5: 1 binds, reads 1 bound, 2 not bound
constexpr int kStartScan = 1;
constexpr int kArpInspection = 1;
constexpr int kArpIpInspection = 2;
constexpr int kMaxScanAddresses = 256;
} // namespace BindValue

// Report codes of the binding back-end.
namespace BindingReport {
constexpr int kRow = 0x84D;         // binding, white and black list rows
constexpr int kSettingsRow = 0x84E; // per-port settings rows
constexpr int kFinished = 1;
constexpr int kWriteFinished = 3;
} // namespace BindingReport

void RegisterBindingObjectNames();

// ---- checks and texts (plain functions) ----

// Per-port list texts from a row of columns .1 to .4.
QStringList BindingSettingsTexts(const SSnmpRow& row);
// The settings Apply: the message to show, empty when the range may be written.
// lagOfPort: aggregation group per port (0 none).
QString CheckBindingSettings(int from, int to, bool enable, const std::vector<int>& lagOfPort,
                             int portCount);
extern const QString kToBelowFrom;
extern const QString kWholeSwitch;

// A host address an operator may bind or scan: a unicast IPv4 address
// (neither 0.x, 127.x nor 224 and above).
bool IsHostAddress(const QString& dotted);
// "&Add": port receives the port number when all checks pass.
QString CheckManualBinding(const QString& ip, const QString& mac, const QString& portText,
                           int portCount, int& port);
// "&Scan": the two addresses of the range.
QString CheckScanRange(const QString& from, const QString& to);
// "&Binding": the message for the selection (-1 none) and its "Binding" text.
QString CheckBindSelection(int selectedRow, const QString& bindingText);
extern const QString kSelectToBind;
extern const QString kSelectToDelete;

// The MAC text "00-1C-7E-..." as octets; empty when it is not one.
QByteArray MacFromText(const QString& text);
// The row index of a host: the address, then the MAC's octets in decimal.
QString HostIndex(const QString& ip, const QByteArray& mac);

// What "&Find" of the black list looks for: every field given must match.
struct SBlackFilter {
    int vid = 0;            // 0: any
    QString ip;             // empty: any
    QByteArray mac;         // empty: any
    std::vector<int> ports; // port flags; empty: any
    bool IsEmpty() const { return !vid && ip.isEmpty() && mac.isEmpty() && ports.empty(); }
};
QString ParseBlackFilter(const QString& vidText, const QString& ip, const QString& macText,
                         const QString& portsText, int portCount, SBlackFilter& filter);
// A black-list row (columns .1 to .5).
bool BlackRowMatches(const SBlackFilter& filter, const SSnmpRow& row);

// ---- back-end ----

class CBindingBackEnd : public CFeatureBackEnd {
public:
    // Walks the columns; each row comes to the owner with rowCode, then "Finished".
    void Load(const QStringList& columns, int rowCode);
    // Writes the steps in order (stopping at the first refused), waits
    // pauseMs, then reports "WriteFinished" whatever the switch said.
    // Returns the index of the refused step, -1 when all were taken.
    int Apply(const std::vector<SWriteStep>& steps, int pauseMs = 0);
    // Aggregation group per port, read now; empty when the walk failed.
    std::optional<std::vector<int>> LoadLagOfPorts();
};

// ---- a list page of the family ----

// The list 1010 filled from one walk, each row's index kept for the writes,
// "&Refresh" walking again, and a reload on "WriteFinished".
class CBindingListPage : public CPageBase {
    Q_OBJECT
public:
    explicit CBindingListPage(QWidget* parent, QStringList columns, int rowCode);
    // Closes while the back-end still lives (the base would reach it after).
    ~CBindingListPage() override;

    // The walked row shown on list line 'line'; null when none.
    const SSnmpRow* RowAt(int line) const;
    const SSnmpRow* SelectedRow() const;
    CListControl* List() const { return m_pList; }

public slots:
    void Refresh();

protected:
    void OnInitDialog() override;
    void OnSnmpNotifyBatch(std::vector<SSnmpReport>& batch) override;
    // The list texts of a walked row.
    virtual QStringList Texts(const SSnmpRow& row) const = 0;
    // Whether the row is listed (a search narrows the list).
    virtual bool Shows(const SSnmpRow&) const { return true; }
    // Lists the walked rows again (after the search changed).
    void Relist();
    // Destroys the selected row through its row-status column; selectMessage
    // when no line is selected.
    void DeleteSelected(const QString& statusColumn, const QString& selectMessage);
    // A list column of the given width in pixels.
    void AddColumn(const QString& header, int width);
    // A label that counts the lines ("Total Entries: 3").
    void SetTotalLabel(QLabel* label, const QString& prefix);
    void SetRefreshButton(QPushButton* button);

    std::unique_ptr<CBindingBackEnd> m_pBackEnd;
    CListControl* m_pList;

private:
    void UpdateTotal();

    QStringList m_columns;
    int m_nRowCode;
    std::vector<SSnmpRow> m_walked; // every row of the last walk
    std::vector<int> m_lines;       // walked row of each list line
    QLabel* m_pTotal = nullptr;
    QString m_strTotalPrefix;
    QPushButton* m_pRefresh = nullptr;
};
