#include "IniFile.h"

#include <QFile>

#include <climits>

namespace {

std::string MakeKey(const QString& section, const QString& key) {
    return (section.trimmed().toLower() + QLatin1Char('\n') + key.trimmed().toLower()).toStdString();
}

QString Unquote(QString value) {
    value = value.trimmed();
    if (value.size() >= 2) {
        const QChar first = value.front();
        if ((first == u'"' || first == u'\'') && value.back() == first)
            return value.mid(1, value.size() - 2);
    }
    return value;
}

} // namespace

CIniFile CIniFile::FromFile(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return CIniFile();
    // A profile is a few lines; anything beyond 1 MiB is not one.
    return FromBytes(file.read(1 << 20));
}

CIniFile CIniFile::FromBytes(const QByteArray& bytes) {
    CIniFile ini;
    ini.m_bLoaded = true;
    const QString text = QString::fromUtf8(bytes);
    QString section;
    bool inSection = false;
    for (QStringView line : QStringView(text).split(u'\n')) {
        line = line.trimmed();
        if (line.isEmpty() || line.front() == u';')
            continue;
        if (line.front() == u'[') {
            const qsizetype close = line.indexOf(u']');
            section = (close < 0 ? line.mid(1) : line.mid(1, close - 1)).toString();
            inSection = true;
            continue;
        }
        if (!inSection)
            continue;
        const qsizetype eq = line.indexOf(u'=');
        if (eq <= 0)
            continue;
        const std::string key = MakeKey(section, line.left(eq).toString());
        ini.m_values.try_emplace(key, Unquote(line.mid(eq + 1).toString()));
    }
    return ini;
}

bool CIniFile::HasKey(const QString& section, const QString& key) const {
    return m_values.count(MakeKey(section, key)) != 0;
}

QString CIniFile::GetString(const QString& section, const QString& key, const QString& def,
                            int maxChars) const {
    const auto it = m_values.find(MakeKey(section, key));
    QString value = it == m_values.end() ? def : it->second;
    if (maxChars <= 0)
        return QString();
    if (value.size() > maxChars - 1) {
        qsizetype cut = maxChars - 1;
        // never split a surrogate pair
        if (cut > 0 && value.at(cut - 1).isHighSurrogate())
            --cut;
        value.truncate(cut);
    }
    return value;
}

int CIniFile::GetInt(const QString& section, const QString& key, int def) const {
    const auto it = m_values.find(MakeKey(section, key));
    if (it == m_values.end() || it->second.isEmpty())
        return def;
    return ProfileTextToInt(it->second);
}

int ProfileTextToInt(const QString& text) {
    qsizetype i = 0;
    while (i < text.size() && (text[i] == u' ' || text[i] == u'\t'))
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == u'+' || text[i] == u'-')) {
        negative = text[i] == u'-';
        ++i;
    }
    long long value = 0;
    for (; i < text.size() && text[i] >= u'0' && text[i] <= u'9'; ++i) {
        value = value * 10 + (text[i].unicode() - u'0');
        if (value > INT_MAX)
            value = INT_MAX;
    }
    return negative ? 0 : static_cast<int>(value);
}
