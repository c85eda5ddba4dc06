#pragma once

#include <QByteArray>
#include <QString>

#include <map>
#include <string>

// Reads profile (INI) files with the rules of the Windows private-profile API:
// section and key names compare case-insensitively, the first occurrence wins,
// values are trimmed and lose one pair of enclosing quotes, and integer keys
// that do not start with a number read as 0. Commas, backslashes and inner
// quotes are kept as they stand (unlike QSettings).
class CIniFile {
public:
    CIniFile() = default;
    static CIniFile FromFile(const QString& path);
    static CIniFile FromBytes(const QByteArray& bytes);

    bool IsLoaded() const { return m_bLoaded; }
    bool HasKey(const QString& section, const QString& key) const;

    // At most maxChars - 1 characters are returned (the buffer size of the API).
    QString GetString(const QString& section, const QString& key, const QString& def = QString(),
                      int maxChars = 260) const;
    int GetInt(const QString& section, const QString& key, int def) const;

private:
    bool m_bLoaded = false;
    // lower-cased "section\nkey" -> raw value
    std::map<std::string, QString> m_values;
};

// The integer rule of the profile API on its own: optional blanks and sign,
// then decimal digits; no digits gives 0, a negative value gives 0.
int ProfileTextToInt(const QString& text);
