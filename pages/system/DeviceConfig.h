#pragma once

// "Device Configure": a page built when it opens from the model's device
// configuration description (DeviceConfigReader.h): one field per described
// object, read from the switch, checked by its TYPE and written when it is
// writable and changed.

#include "DeviceConfigReader.h"
#include "snmp/PageBase.h"

#include <vector>

class QGridLayout;

// Where the description files are looked for: this folder when set (tests),
// else beside the executable, else the source tree's res/devconfig beside a
// build folder.
void SetDeviceConfigDirectory(const QString& directory);
QString DeviceConfigPath(const QString& model);

class CDeviceConfigPage : public CPageBase {
    Q_OBJECT
public:
    // Fields have the ids kIdFirstField + INDEX.
    enum Id { kIdRefresh = 5491, kIdApply = 5492, kIdClose = 5493, kIdFirstField = 5500 };
    // The description file of the profile's model.
    explicit CDeviceConfigPage(QWidget* parent = nullptr);
    // A given description (tests).
    CDeviceConfigPage(const QByteArray& description, const QString& source,
                      QWidget* parent = nullptr);

    void Refresh();
    bool Apply();
    const std::vector<SDevConfigItem>& Items() const { return m_items; }
    // Why the description was refused; empty when it was taken.
    const QString& DescriptionError() const { return m_strError; }

protected:
    void OnInitDialog() override;

private:
    void Build(const QByteArray& description, const QString& source, const QString& readError);
    QString FieldText(const SDevConfigItem& item) const;
    void SetFieldText(const SDevConfigItem& item, const QString& value);

    CCommonSNMP& m_cCommonSNMP;
    CCommonSNMP& m_cCommonSNMPSet;
    std::vector<SDevConfigItem> m_items;
    std::vector<QString> m_read; // the values read, per item
    QString m_strError;
};
