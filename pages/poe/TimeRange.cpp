#include "TimeRange.h"

#include "platform/ListControl.h"
#include "platform/MessageBox.h"
#include "snmp/Encodings.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include <algorithm>

namespace {

enum EditorId {
    kIdName = 1073,
    kIdDate = 1071,
    kIdAllDays = 1090,
    kIdEditorApply = 1079,
    kIdCancel = 2,
};
// From year, month, day, then to year, month, day.
const int kDateIds[6] = {1008, 1086, 1011, 1009, 1012, 1010};
// Start hour and minute, end hour and minute.
const int kTimeIds[4] = {1014, 1013, 1016, 1015};
const int kDayIds[7] = {1087, 1088, 1100, 1101, 1089, 1103, 1104};
const char* const kDayCaptions[7] = {"Mon ", "Tue", "Wed ", "Thu", "Fri ", "Sat", "Sun"};
constexpr int kFirstYear = 2009, kLastYear = 2037;
constexpr unsigned long kWaitMs = 5000;

enum ListId { kIdList = 1080, kIdRefresh = 103, kIdAdd = 1001, kIdEdit = 1002, kIdDelete = 1003 };

QComboBox* NumberBox(int first, int last) {
    auto* box = new QComboBox;
    for (int n = first; n <= last; ++n)
        box->addItem(QString::number(n));
    return box;
}

void Select(QComboBox* box, int value) {
    const int index = box->findText(QString::number(value));
    box->setCurrentIndex(std::max(index, 0));
}

} // namespace

STimeRange TimeRangeOfRow(const SSnmpRow& row) {
    auto number = [&row](int column) { return row.Text(column - 1).toInt(); };
    STimeRange r;
    r.name = FromUtf8(row.Bytes(RangeCol::kName - 1));
    r.dateOn = number(RangeCol::kDateOn) == 1;
    r.fromYear = number(RangeCol::kFromYear);
    r.fromMonth = number(RangeCol::kFromMonth);
    r.fromDay = number(RangeCol::kFromDay);
    r.toYear = number(RangeCol::kToYear);
    r.toMonth = number(RangeCol::kToMonth);
    r.toDay = number(RangeCol::kToDay);
    r.startHour = number(RangeCol::kStartHour);
    r.startMinute = number(RangeCol::kStartMinute);
    r.endHour = number(RangeCol::kEndHour);
    r.endMinute = number(RangeCol::kEndMinute);
    for (int d = 0; d < 7; ++d)
        r.days[d] = number(RangeCol::kMonday + d) == 1;
    return r;
}

// ---- Time range editor ----

CTimeRangeEditDlg::CTimeRangeEditDlg(int entry, const STimeRange& range,
                                     const std::vector<int>& used, QWidget* parent)
    : CPageBase(parent), m_cCommonSNMP(AddSession(QStringLiteral("m_cCommonSNMP"))),
      m_cCommonSNMPSet(AddSession(QStringLiteral("m_cCommonSNMPSet"))), m_nEntry(entry),
      m_bAdd(entry == 0), m_used(used), m_pName(NewEdit(kIdName, 32)),
      m_pDate(new QCheckBox(QStringLiteral("Date"), this)) {
    setWindowTitle(QStringLiteral("Time Based PoE Config"));
    SetControlId(m_pDate, kIdDate);
    const int limits[6][2] = {{kFirstYear, kLastYear}, {1, 12}, {1, 31},
                              {kFirstYear, kLastYear}, {1, 12}, {1, 31}};
    for (int i = 0; i < 6; ++i) {
        m_pDates[i] = NumberBox(limits[i][0], limits[i][1]);
        SetControlId(m_pDates[i], kDateIds[i]);
    }
    for (int i = 0; i < 4; ++i) {
        m_pTimes[i] = NumberBox(0, i % 2 == 0 ? 23 : 59);
        SetControlId(m_pTimes[i], kTimeIds[i]);
    }
    auto* grid = new QGridLayout;
    grid->addWidget(NewLabel(QStringLiteral("Range Name")), 0, 0);
    grid->addWidget(m_pName, 0, 1, 1, 3);
    grid->addWidget(m_pDate, 1, 0);
    grid->addWidget(NewLabel(QStringLiteral("From Day ")), 2, 0);
    grid->addWidget(NewLabel(QStringLiteral("To Day ")), 3, 0);
    for (int i = 0; i < 6; ++i)
        grid->addWidget(m_pDates[i], 2 + i / 3, 1 + i % 3);
    grid->addWidget(NewLabel(QStringLiteral("Start Time")), 4, 0);
    grid->addWidget(NewLabel(QStringLiteral("End Time")), 5, 0);
    for (int i = 0; i < 4; ++i)
        grid->addWidget(m_pTimes[i], 4 + i / 2, 1 + i % 2);

    auto* days = new QHBoxLayout;
    for (int d = 0; d < 7; ++d) {
        m_pDays[d] = new QCheckBox(QLatin1String(kDayCaptions[d]), this);
        SetControlId(m_pDays[d], kDayIds[d]);
        days->addWidget(m_pDays[d]);
    }
    QPushButton* all = NewButton(QStringLiteral("Select All Days"), kIdAllDays);
    days->addWidget(all);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    QPushButton* apply = NewButton(QStringLiteral("Apply"), kIdEditorApply);
    QPushButton* cancel = NewButton(QStringLiteral("Cancel"), kIdCancel);
    buttons->addWidget(apply);
    buttons->addWidget(cancel);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addLayout(days);
    layout->addLayout(buttons);

    connect(m_pDate, &QCheckBox::toggled, this, &CTimeRangeEditDlg::OnDate);
    connect(all, &QPushButton::clicked, this, [this] {
        for (QCheckBox* day : m_pDays)
            day->setChecked(true);
    });
    connect(apply, &QPushButton::clicked, this, &CTimeRangeEditDlg::Submit);
    connect(cancel, &QPushButton::clicked, this, &CTimeRangeEditDlg::reject);
    Show(range);
}

void CTimeRangeEditDlg::Show(const STimeRange& r) {
    m_pName->setText(r.name);
    m_pDate->setChecked(r.dateOn);
    OnDate(r.dateOn);
    const int dates[6] = {r.fromYear, r.fromMonth, r.fromDay, r.toYear, r.toMonth, r.toDay};
    for (int i = 0; i < 6; ++i)
        Select(m_pDates[i], dates[i]);
    const int times[4] = {r.startHour, r.startMinute, r.endHour, r.endMinute};
    for (int i = 0; i < 4; ++i)
        Select(m_pTimes[i], times[i]);
    for (int d = 0; d < 7; ++d)
        m_pDays[d]->setChecked(r.days[d]);
}

void CTimeRangeEditDlg::OnDate(bool checked) {
    for (QComboBox* box : m_pDates)
        box->setEnabled(checked);
}

STimeRange CTimeRangeEditDlg::Entered() const {
    auto value = [](QComboBox* box) { return box->currentText().toInt(); };
    STimeRange r;
    r.name = m_pName->text();
    r.dateOn = m_pDate->isChecked();
    r.fromYear = value(m_pDates[0]);
    r.fromMonth = value(m_pDates[1]);
    r.fromDay = value(m_pDates[2]);
    r.toYear = value(m_pDates[3]);
    r.toMonth = value(m_pDates[4]);
    r.toDay = value(m_pDates[5]);
    r.startHour = value(m_pTimes[0]);
    r.startMinute = value(m_pTimes[1]);
    r.endHour = value(m_pTimes[2]);
    r.endMinute = value(m_pTimes[3]);
    for (int d = 0; d < 7; ++d)
        r.days[d] = m_pDays[d]->isChecked();
    return r;
}

bool CTimeRangeEditDlg::Submit() {
    const STimeRange r = Entered();
    const QString message = CheckTimeRange(r);
    if (!message.isEmpty()) {
        ShowMessage(message, this);
        return false;
    }
    std::vector<SWriteStep> steps;
    if (m_bAdd && !m_bCreated) {
        int free = 0;
        for (int entry = 1; entry <= kMaxTimeRanges && !free; ++entry)
            if (std::find(m_used.begin(), m_used.end(), entry) == m_used.end())
                free = entry;
        if (!free) {
            ShowMessage(QStringLiteral("The max number of PoE Time Range is 8"), this);
            return false;
        }
        m_nEntry = free;
        steps.push_back({QStringLiteral("create entry %1").arg(free),
                         {{TimeRangeCell(RangeCol::kRowStatus, free), SnmpType::kInteger,
                           QByteArray::number(RowStatus::kCreateAndWait)}},
                         0,
                         kWaitMs});
    }
    auto integer = [this](int column, int value) {
        return SSetVar{TimeRangeCell(column, m_nEntry), SnmpType::kInteger,
                       QByteArray::number(value)};
    };
    SWriteStep write{QStringLiteral("entry %1").arg(m_nEntry), {}, 0, kWaitMs};
    write.vars.push_back(
        {TimeRangeCell(RangeCol::kName, m_nEntry), SnmpType::kOctetString, r.name.toUtf8()});
    write.vars.push_back(integer(RangeCol::kDateOn, r.dateOn ? 1 : 2));
    if (r.dateOn)
        for (const auto& [column, value] : {std::pair{RangeCol::kFromYear, r.fromYear},
                                            {RangeCol::kFromMonth, r.fromMonth},
                                            {RangeCol::kFromDay, r.fromDay},
                                            {RangeCol::kToYear, r.toYear},
                                            {RangeCol::kToMonth, r.toMonth},
                                            {RangeCol::kToDay, r.toDay}})
            write.vars.push_back(integer(column, value));
    write.vars.push_back(integer(RangeCol::kStartHour, r.startHour));
    write.vars.push_back(integer(RangeCol::kStartMinute, r.startMinute));
    write.vars.push_back(integer(RangeCol::kEndHour, r.endHour));
    write.vars.push_back(integer(RangeCol::kEndMinute, r.endMinute));
    for (int d = 0; d < 7; ++d)
        write.vars.push_back(integer(RangeCol::kMonday + d, r.days[d] ? 1 : 2));
    write.vars.push_back(integer(RangeCol::kRowStatus, RowStatus::kActive));
    steps.push_back(std::move(write));

    const int stopped = WriteSequence(m_cCommonSNMPSet, steps);
    if (stopped < 0) {
        m_bCreated = false;
        accept();
        return true;
    }
    // A new row the switch made but did not take the values of: kept while
    // the editor is open, removed when it is cancelled.
    if (m_bAdd && stopped == int(steps.size()) - 1)
        m_bCreated = true;
    return false;
}

void CTimeRangeEditDlg::reject() {
    if (m_bCreated) {
        WriteObjects(m_cCommonSNMPSet,
                     {{TimeRangeCell(RangeCol::kRowStatus, m_nEntry), SnmpType::kInteger,
                       QByteArray::number(RowStatus::kDestroy)}},
                     kWaitMs);
        m_bCreated = false;
    }
    CPageBase::reject();
}

// ---- Time range list ----

CTimeRangePage::CTimeRangePage(QWidget* parent)
    : CPageBase(parent), m_cCommonSNMP(AddSession(QStringLiteral("m_cCommonSNMP"))),
      m_cCommonSNMPSet(AddSession(QStringLiteral("m_cCommonSNMPSet"))),
      m_pList(new CListControl(this)) {
    setWindowTitle(QStringLiteral("Time Range Information"));
    SetControlId(m_pList, kIdList);
    for (const char* header :
         {"Range Name", "Weekdays", "From Day", "To Day", "Start Time", "End Time"})
        m_pList->AddColumn(QLatin1String(header));
    m_pList->horizontalHeader()->setStretchLastSection(true);
    m_pList->setSelectionMode(QAbstractItemView::SingleSelection);

    auto* buttons = new QHBoxLayout;
    QPushButton* refresh = NewButton(QStringLiteral("&Refresh"), kIdRefresh);
    QPushButton* add = NewButton(QStringLiteral("&Add"), kIdAdd);
    QPushButton* edit = NewButton(QStringLiteral("&Edit"), kIdEdit);
    QPushButton* remove = NewButton(QStringLiteral("&Delete"), kIdDelete);
    QPushButton* close = NewButton(QStringLiteral("&Close"), 2);
    for (QPushButton* button : {refresh, add, edit, remove})
        buttons->addWidget(button);
    buttons->addStretch();
    buttons->addWidget(close);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_pList, 1);
    layout->addLayout(buttons);
    resize(620, 360);

    connect(refresh, &QPushButton::clicked, this, &CTimeRangePage::Refresh);
    connect(add, &QPushButton::clicked, this, &CTimeRangePage::OnAdd);
    connect(edit, &QPushButton::clicked, this, &CTimeRangePage::OnEdit);
    connect(remove, &QPushButton::clicked, this, &CTimeRangePage::OnDelete);
    connect(close, &QPushButton::clicked, this, &QDialog::reject);
}

void CTimeRangePage::OnInitDialog() {
    Refresh();
}

void CTimeRangePage::Refresh() {
    // One walk at a time: rows of two walks would mix.
    if (m_bWalking)
        return;
    m_bWalking = true;
    m_pList->DeleteAllItems();
    m_entries.clear();
    m_ranges.clear();
    SWalkSpec walk;
    for (int column = 1; column <= RangeCol::kColumns; ++column)
        walk.columns << PoeOid::kRange + QString::number(column);
    walk.minValues = 1; // a row still without its name is listed too
    StartWalk(m_cCommonSNMP, Channel(), walk);
}

void CTimeRangePage::OnSnmpNotify(const SSnmpReport& report) {
    if (report.code == PageReport::kFinished) {
        m_bWalking = false;
        emit Loaded();
        return;
    }
    const int entry = RowNumber(report.row);
    const STimeRange r = TimeRangeOfRow(report.row);
    m_entries.push_back(entry);
    m_ranges[entry] = r;
    m_pList->AppendRow({r.name, WeekdaysText(r.days),
                        r.dateOn ? DayText(r.fromYear, r.fromMonth, r.fromDay) : QString(),
                        r.dateOn ? DayText(r.toYear, r.toMonth, r.toDay) : QString(),
                        ClockText(r.startHour, r.startMinute), ClockText(r.endHour, r.endMinute)});
}

int CTimeRangePage::SelectedEntry() const {
    const int row = m_pList->SelectedRow();
    return row >= 0 && row < int(m_entries.size()) ? m_entries[size_t(row)] : 0;
}

void CTimeRangePage::RunEditor(int entry) {
    std::vector<int> used;
    for (const auto& [index, range] : m_ranges)
        used.push_back(index);
    CTimeRangeEditDlg editor(entry, entry ? m_ranges[entry] : STimeRange{}, used, this);
    editor.exec();
    Refresh();
}

void CTimeRangePage::OnAdd() {
    if (m_ranges.size() >= size_t(kMaxTimeRanges)) {
        ShowMessage(QStringLiteral("The max number of PoE Time Range is 8"), this);
        return;
    }
    RunEditor(0);
}

void CTimeRangePage::OnEdit() {
    const int entry = SelectedEntry();
    if (!entry) {
        ShowMessage(QStringLiteral("Please select the Time Range to be edit!"), this);
        return;
    }
    RunEditor(entry);
}

bool CTimeRangePage::OnDelete() {
    const int entry = SelectedEntry();
    if (!entry) {
        ShowMessage(QStringLiteral("Please select the Time Range to be deleted!"), this);
        return false;
    }
    const int status = WriteObjects(m_cCommonSNMPSet,
                                    {{TimeRangeCell(RangeCol::kRowStatus, entry),
                                      SnmpType::kInteger, QByteArray::number(RowStatus::kDestroy)}},
                                    kWaitMs);
    Refresh();
    return status == 0;
}
