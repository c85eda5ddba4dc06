#include "TimeProfile.h"

#include "platform/ListControl.h"
#include "platform/MessageBox.h"
#include "snmp/Encodings.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include <algorithm>

namespace {

// Columns of the time range table.
enum Column {
    kName = 2,
    kDateOn = 3,
    kStartHour = 7,
    kStartMinute = 8,
    kEndHour = 12,
    kEndMinute = 13,
    kMonday = 14,
    kRowStatus = 21
};
constexpr int kNameLength = 32;
const char* const kDays[] = {"Mon", "Tue", "Wed", "Thu", "Fri", "Sat", "Sun"};

QString Column(int column) {
    return SysOid::kRange + u'.' + QString::number(column);
}

QString Clock(int hour, int minute) {
    return QStringLiteral("%1:%2")
        .arg(hour, 2, 10, QLatin1Char('0'))
        .arg(minute, 2, 10, QLatin1Char('0'));
}

} // namespace

QString CheckTimeProfile(const STimeProfile& p, const QStringList& otherNames) {
    if (p.name.isEmpty())
        return QStringLiteral("The TimeRange name can not be empty,please input it.");
    if (!IsValidName(p.name) || p.name.toUtf8().size() > kNameLength)
        return QStringLiteral("Invalid TimeRange Name.");
    if (otherNames.contains(p.name))
        return QStringLiteral("The TimeRange name has been used, please input again !");
    if (std::none_of(p.days.begin(), p.days.end(), [](bool d) { return d; }))
        return QStringLiteral("Please choose at least one day.");
    if (p.startHour * 60 + p.startMinute > p.endHour * 60 + p.endMinute)
        return QStringLiteral("'Start Time' can't be grater than 'End Time'");
    return {};
}

QString WeekdaysText(const std::array<bool, 7>& days) {
    QString text;
    for (int d = 0; d < 7; ++d)
        if (days[static_cast<size_t>(d)])
            text += QLatin1String(kDays[d]) + u',';
    return text;
}

int FreeTimeProfileIndex(const std::vector<int>& used) {
    for (int index = 1; index <= kMaxTimeProfiles; ++index)
        if (std::find(used.begin(), used.end(), index) == used.end())
            return index;
    return 0;
}

CTimeProfilePage::CTimeProfilePage(QWidget* parent)
    : CPageBase(parent), m_cCommonSNMP(AddSession(QStringLiteral("m_cCommonSNMP"))),
      m_cCommonSNMPSet(AddSession(QStringLiteral("m_cCommonSNMPSet"))),
      m_pList(new CListControl(this)) {
    setWindowTitle(QStringLiteral("Time Profile Info"));
    SetControlId(m_pList, kIdList);
    for (const char* header : {"Index ", "Range Name          ", "Weekdays                     ",
                               "Start Time ", "End Time "})
        m_pList->AddColumn(QString::fromLatin1(header));
    m_pList->setMinimumSize(560, 200);

    auto clock = [this](int id, int count) {
        auto* c = new QComboBox(this);
        SetControlId(c, id);
        for (int i = 0; i < count; ++i)
            c->addItem(QStringLiteral("%1").arg(i, 2, 10, QLatin1Char('0')));
        return c;
    };
    auto* grid = new QGridLayout;
    grid->addWidget(NewLabel(QStringLiteral("Range Name")), 0, 0);
    grid->addWidget(NewEdit(kIdName, kNameLength), 0, 1, 1, 4);
    grid->addWidget(NewLabel(QStringLiteral("Start Time")), 1, 0);
    grid->addWidget(clock(kIdStartHour, 24), 1, 1);
    grid->addWidget(clock(kIdStartMinute, 60), 1, 2);
    grid->addWidget(NewLabel(QStringLiteral("End Time")), 2, 0);
    QComboBox* endHour = clock(kIdEndHour, 24);
    QComboBox* endMinute = clock(kIdEndMinute, 60);
    endHour->setCurrentIndex(23);
    endMinute->setCurrentIndex(59);
    grid->addWidget(endHour, 2, 1);
    grid->addWidget(endMinute, 2, 2);
    auto* days = new QHBoxLayout;
    for (int d = 0; d < 7; ++d) {
        auto* box = new QCheckBox(QLatin1String(kDays[d]), this);
        SetControlId(box, kIdMonday + d);
        days->addWidget(box);
    }
    grid->addWidget(NewLabel(QStringLiteral("Weekdays")), 3, 0);
    grid->addLayout(days, 3, 1, 1, 4);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_pList);
    layout->addLayout(grid);
    layout->addLayout(ButtonRow(*this, {{QStringLiteral("&Add"), kIdAdd},
                                        {QStringLiteral("&Modify"), kIdModify},
                                        {QStringLiteral("&Delete"), kIdDelete},
                                        {QStringLiteral("&Refresh"), kIdRefresh},
                                        {QStringLiteral("&Close"), kIdClose}}));

    connect(m_pList, &CListControl::RowActivated, this, &CTimeProfilePage::ShowRow);
    connect(Control<QPushButton>(kIdAdd), &QPushButton::clicked, this, &CTimeProfilePage::Add);
    connect(Control<QPushButton>(kIdModify), &QPushButton::clicked, this,
            &CTimeProfilePage::Modify);
    connect(Control<QPushButton>(kIdDelete), &QPushButton::clicked, this,
            &CTimeProfilePage::Delete);
    connect(Control<QPushButton>(kIdRefresh), &QPushButton::clicked, this,
            &CTimeProfilePage::Refresh);
    connect(Control<QPushButton>(kIdClose), &QPushButton::clicked, this, &QDialog::reject);
}

void CTimeProfilePage::Refresh() {
    m_pList->DeleteAllItems();
    m_indexes.clear();
    m_profiles.clear();
    QStringList columns;
    for (int c : {kName, kStartHour, kStartMinute, kEndHour, kEndMinute, kRowStatus})
        columns << Column(c);
    for (int d = 0; d < 7; ++d)
        columns << Column(kMonday + d);
    const auto rows = WalkTable(m_cCommonSNMP, columns);
    if (!rows)
        return;
    std::vector<QStringList> lines;
    for (const SSnmpRow& row : *rows) {
        if (row.Text(5) != u"1")
            continue;
        STimeProfile p;
        p.name = FromUtf8(row.Bytes(0));
        p.startHour = row.Text(1).toInt();
        p.startMinute = row.Text(2).toInt();
        p.endHour = row.Text(3).toInt();
        p.endMinute = row.Text(4).toInt();
        for (int d = 0; d < 7; ++d)
            p.days[static_cast<size_t>(d)] = row.Text(6 + d) == u"1";
        m_indexes.push_back(RowNumber(row));
        lines.push_back({QString::number(RowNumber(row)), p.name, WeekdaysText(p.days),
                         Clock(p.startHour, p.startMinute), Clock(p.endHour, p.endMinute)});
        m_profiles.push_back(std::move(p));
    }
    m_pList->AppendRows(std::move(lines));
}

void CTimeProfilePage::ShowRow(int row) {
    if (row < 0 || row >= static_cast<int>(m_profiles.size()))
        return;
    const STimeProfile& p = m_profiles[static_cast<size_t>(row)];
    Control<QLineEdit>(kIdName)->setText(p.name);
    Control<QComboBox>(kIdStartHour)->setCurrentIndex(p.startHour);
    Control<QComboBox>(kIdStartMinute)->setCurrentIndex(p.startMinute);
    Control<QComboBox>(kIdEndHour)->setCurrentIndex(p.endHour);
    Control<QComboBox>(kIdEndMinute)->setCurrentIndex(p.endMinute);
    for (int d = 0; d < 7; ++d)
        Control<QCheckBox>(kIdMonday + d)->setChecked(p.days[static_cast<size_t>(d)]);
}

STimeProfile CTimeProfilePage::Entered() const {
    STimeProfile p;
    p.name = Control<QLineEdit>(kIdName)->text();
    p.startHour = Control<QComboBox>(kIdStartHour)->currentIndex();
    p.startMinute = Control<QComboBox>(kIdStartMinute)->currentIndex();
    p.endHour = Control<QComboBox>(kIdEndHour)->currentIndex();
    p.endMinute = Control<QComboBox>(kIdEndMinute)->currentIndex();
    for (int d = 0; d < 7; ++d)
        p.days[static_cast<size_t>(d)] = Control<QCheckBox>(kIdMonday + d)->isChecked();
    return p;
}

QStringList CTimeProfilePage::NamesExcept(int row) const {
    QStringList names;
    for (size_t i = 0; i < m_profiles.size(); ++i)
        if (static_cast<int>(i) != row)
            names << m_profiles[i].name;
    return names;
}

std::vector<SSetVar> CTimeProfilePage::ColumnWrites(int index, const STimeProfile& p) const {
    char name[kNameLength * 3 + 1] = {};
    ToUtf8(p.name, name, sizeof name);
    auto number = [index](int column, int value) {
        return SSetVar{CellOid(Column(column), index), SnmpType::kInteger,
                       QByteArray::number(value)};
    };
    std::vector<SSetVar> vars{
        {CellOid(Column(kName), index), SnmpType::kOctetString, QByteArray(name)},
        number(kDateOn, 2),
        number(kStartHour, p.startHour),
        number(kStartMinute, p.startMinute),
        number(kEndHour, p.endHour),
        number(kEndMinute, p.endMinute)};
    for (int d = 0; d < 7; ++d)
        vars.push_back(number(kMonday + d, p.days[static_cast<size_t>(d)] ? 1 : 2));
    return vars;
}

bool CTimeProfilePage::Add() {
    const int index = FreeTimeProfileIndex(m_indexes);
    if (index == 0) {
        ShowMessage(QStringLiteral("The max number of Time Range is 8"), this);
        return false;
    }
    const STimeProfile p = Entered();
    const QString message = CheckTimeProfile(p, NamesExcept(-1));
    if (!message.isEmpty()) {
        ShowMessage(message, this);
        return false;
    }
    // One request creates the whole row: a refused schedule leaves nothing behind.
    std::vector<SSetVar> vars = ColumnWrites(index, p);
    vars.push_back({CellOid(Column(kRowStatus), index), SnmpType::kInteger,
                    QByteArray::number(RowStatus::kCreateAndGo)});
    const int status = WriteObjects(m_cCommonSNMPSet, vars);
    Refresh();
    return status == 0;
}

bool CTimeProfilePage::Modify() {
    const int row = m_pList->SelectedRow();
    if (row < 0 || row >= static_cast<int>(m_indexes.size())) {
        ShowMessage(QStringLiteral("Please select the Time Range to be edit!"), this);
        return false;
    }
    const STimeProfile p = Entered();
    const QString message = CheckTimeProfile(p, NamesExcept(row));
    if (!message.isEmpty()) {
        ShowMessage(message, this);
        return false;
    }
    const int status =
        WriteObjects(m_cCommonSNMPSet, ColumnWrites(m_indexes[static_cast<size_t>(row)], p));
    Refresh();
    return status == 0;
}

bool CTimeProfilePage::Delete() {
    const int row = m_pList->SelectedRow();
    if (row < 0 || row >= static_cast<int>(m_indexes.size())) {
        ShowMessage(QStringLiteral("Please select the Time Range to be deleted!"), this);
        return false;
    }
    const int status = WriteObjects(
        m_cCommonSNMPSet, {{CellOid(Column(kRowStatus), m_indexes[static_cast<size_t>(row)]),
                            SnmpType::kInteger, QByteArray::number(RowStatus::kDestroy)}});
    Refresh();
    return status == 0;
}
