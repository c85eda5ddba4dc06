#include "DeviceConfig.h"

#include "SystemCommon.h"
#include "device/DeviceProfile.h"
#include "platform/IpAddressEdit.h"
#include "platform/MessageBox.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QVBoxLayout>

namespace {

QString g_strDeviceConfigDir;

QByteArray ReadDescription(const QString& path, QString& error) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        error = QStringLiteral("the file cannot be read");
        return {};
    }
    // One byte past the limit is enough to refuse a file that is too big.
    return file.read(kMaxDevConfigBytes + 1);
}

} // namespace

void SetDeviceConfigDirectory(const QString& directory) {
    g_strDeviceConfigDir = directory;
}

QString DeviceConfigPath(const QString& model) {
    const QString name = DeviceConfigFileName(model);
    if (!g_strDeviceConfigDir.isEmpty())
        return QDir(g_strDeviceConfigDir).filePath(name);
    const QDir exe(QCoreApplication::applicationDirPath());
    if (exe.exists(name))
        return exe.filePath(name);
    return QDir::cleanPath(exe.filePath(QStringLiteral("../../res/devconfig/") + name));
}

CDeviceConfigPage::CDeviceConfigPage(QWidget* parent)
    : CPageBase(parent), m_cCommonSNMP(AddSession(QStringLiteral("m_cCommonSNMP"))),
      m_cCommonSNMPSet(AddSession(QStringLiteral("m_cCommonSNMPSet"))) {
    const QString path = DeviceConfigPath(g_strDeviceName);
    QString error;
    const QByteArray description = ReadDescription(path, error);
    Build(description, path, error);
}

CDeviceConfigPage::CDeviceConfigPage(const QByteArray& description, const QString& source,
                                     QWidget* parent)
    : CPageBase(parent), m_cCommonSNMP(AddSession(QStringLiteral("m_cCommonSNMP"))),
      m_cCommonSNMPSet(AddSession(QStringLiteral("m_cCommonSNMPSet"))) {
    Build(description, source, {});
}

void CDeviceConfigPage::Build(const QByteArray& description, const QString& source,
                              const QString& readError) {
    setWindowTitle(QStringLiteral("Device Configure"));
    m_strError = readError.isEmpty() ? ParseDeviceConfig(description, m_items) : readError;
    m_read.assign(m_items.size(), QString());

    auto* fields = new QWidget;
    auto* grid = new QGridLayout(fields);
    int row = 0;
    for (const SDevConfigItem& item : m_items) {
        QWidget* field = nullptr;
        switch (item.kind) {
        case SDevConfigItem::kChoice: {
            auto* combo = new QComboBox;
            combo->addItems(item.choices);
            field = combo;
            break;
        }
        case SDevConfigItem::kAddress:
            field = new CIpAddressEdit;
            break;
        default: {
            auto* edit = new QLineEdit;
            if (item.kind == SDevConfigItem::kText)
                edit->setMaxLength(static_cast<int>(item.hi));
            field = edit;
            break;
        }
        }
        SetControlId(field, kIdFirstField + item.index);
        field->setEnabled(item.writable);
        field->setMinimumWidth(220);
        QString label = item.desc;
        if (item.kind == SDevConfigItem::kNumber)
            label += QStringLiteral(" (%1-%2)").arg(item.lo).arg(item.hi);
        grid->addWidget(NewLabel(label + u':'), row, 0);
        grid->addWidget(field, row, 1);
        ++row;
    }
    grid->setRowStretch(row, 1);
    auto* scroll = new QScrollArea(this);
    scroll->setWidget(fields);
    scroll->setWidgetResizable(true);
    scroll->setMinimumSize(520, 420);

    auto* layout = new QVBoxLayout(this);
    if (!m_strError.isEmpty())
        layout->addWidget(NewLabel(QStringLiteral("The device description %1 cannot be used: %2.")
                                       .arg(QFileInfo(source).fileName(), m_strError)));
    layout->addWidget(scroll);
    layout->addLayout(ButtonRow(*this, {{QStringLiteral("&Refresh"), kIdRefresh},
                                        {QStringLiteral("&Apply"), kIdApply},
                                        {QStringLiteral("&Close"), kIdClose}}));
    Control<QPushButton>(kIdApply)->setEnabled(!m_items.empty());
    connect(Control<QPushButton>(kIdRefresh), &QPushButton::clicked, this,
            &CDeviceConfigPage::Refresh);
    connect(Control<QPushButton>(kIdApply), &QPushButton::clicked, this, &CDeviceConfigPage::Apply);
    connect(Control<QPushButton>(kIdClose), &QPushButton::clicked, this, &QDialog::reject);
}

void CDeviceConfigPage::OnInitDialog() {
    if (!m_strError.isEmpty()) {
        const QString text =
            QStringLiteral("The device description file cannot be used: %1.").arg(m_strError);
        ShowMessage(text, this);
        ShowOutcome(QStringLiteral("Not loaded: ") + m_strError);
        return;
    }
    Refresh();
}

QString CDeviceConfigPage::FieldText(const SDevConfigItem& item) const {
    QWidget* field = Control(kIdFirstField + item.index);
    if (auto* combo = qobject_cast<QComboBox*>(field))
        return combo->currentText();
    if (auto* address = qobject_cast<CIpAddressEdit*>(field))
        return address->Address();
    if (auto* edit = qobject_cast<QLineEdit*>(field))
        return edit->text();
    return {};
}

void CDeviceConfigPage::SetFieldText(const SDevConfigItem& item, const QString& value) {
    QWidget* field = Control(kIdFirstField + item.index);
    const QString shown = DevConfigShownText(item, value);
    if (auto* combo = qobject_cast<QComboBox*>(field))
        combo->setCurrentIndex(combo->findText(shown));
    else if (auto* address = qobject_cast<CIpAddressEdit*>(field))
        address->SetAddress(shown);
    else if (auto* edit = qobject_cast<QLineEdit*>(field))
        edit->setText(shown);
}

void CDeviceConfigPage::Refresh() {
    // All objects in one request; when the switch lacks one of them, one
    // object at a time, so that only the missing object's field stays empty.
    QStringList oids;
    for (const SDevConfigItem& item : m_items)
        oids << item.Instance();
    if (const auto row = oids.isEmpty() ? std::nullopt : ReadObjects(m_cCommonSNMP, oids)) {
        for (size_t i = 0; i < m_items.size(); ++i) {
            m_read[i] = row->Text(int(i));
            SetFieldText(m_items[i], m_read[i]);
        }
        return;
    }
    // A read that fails outright (no answer) ends it: the other objects
    // would only wait out their own time-outs.
    bool failed = false;
    for (size_t i = 0; i < m_items.size(); ++i) {
        SSnmpCell cell;
        const ReadResult result =
            failed ? ReadResult::kFailed : ReadObject(m_cCommonSNMP, m_items[i].Instance(), cell);
        failed = result == ReadResult::kFailed;
        m_read[i] = result == ReadResult::kValue ? cell.Text() : QString();
        SetFieldText(m_items[i], m_read[i]);
    }
}

bool CDeviceConfigPage::Apply() {
    std::vector<SSetVar> vars;
    for (size_t i = 0; i < m_items.size(); ++i) {
        const SDevConfigItem& item = m_items[i];
        const QString text = FieldText(item);
        if (!item.writable || text == DevConfigShownText(item, m_read[i]))
            continue;
        QByteArray value;
        const QString message = CheckDevConfigValue(item, text, value);
        if (!message.isEmpty()) {
            ShowMessage(message, this);
            return false;
        }
        vars.push_back({item.Instance(), item.writeType, value});
    }
    if (vars.empty()) {
        ShowOutcome(QStringLiteral("Nothing changed: nothing was sent"));
        return true;
    }
    const int status = WriteObjects(m_cCommonSNMPSet, vars);
    Refresh();
    return status == 0;
}
