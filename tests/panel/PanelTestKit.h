#pragma once

// Shared pieces of the panel tests: a module folder for a model, and a
// running main window without its polling thread.

#include "device/DeviceProfile.h"
#include "device/LaunchSettings.h"

#include <QFile>
#include <QString>
#include <QTemporaryDir>

#include <gtest/gtest.h>

// A folder holding a model's User.ini and panel file, as beside the module.
class CModelFolder {
public:
    explicit CModelFolder(const QString& model) {
        const QString source = QStringLiteral(NSW_SOURCE_DIR "/res/profiles/") + model;
        QFile::copy(source + QStringLiteral("/User.ini"),
                    m_dir.filePath(QStringLiteral("User.ini")));
        SDeviceProfile profile;
        ReadDeviceProfile(source + QStringLiteral("/User.ini"), profile);
        QFile::copy(source + QStringLiteral("/") + profile.strXmlName,
                    m_dir.filePath(profile.strXmlName));
        m_strXml = m_dir.filePath(profile.strXmlName);
    }
    QString ProfilePath() const { return m_dir.filePath(QStringLiteral("User.ini")); }
    QString Path() const { return m_dir.path(); }
    QString XmlPath() const { return m_strXml; }

private:
    QTemporaryDir m_dir;
    QString m_strXml;
};
