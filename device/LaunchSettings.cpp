#include "LaunchSettings.h"
#include "LaunchBytes.h"

#include <QByteArray>

#include <algorithm>
#include <cstring>

QString g_strDeviceIp;
QString g_strReadCommunity;
QString g_strWriteCommunity;
int32_t g_bVlanEditable;
QString g_strSnmpVersion;
QString g_strSnmpPort;
QString g_strSecurityLevel;
QString g_strV3UserName;
QString g_strAuthPassword;
QString g_strPrivPassword;
QString g_strAuthProtocol;
QString g_strPrivProtocol;
QString g_strSnmpTimeout;
QString g_strLaunchField0;
QString g_strLaunchField9;

namespace {

struct Defaults {
    Defaults() { ResetLaunchSettings(); }
} g_defaults;

// Reads one value from pos: up to the next '/' or the end, blanks dropped,
// cut to the buffer size at a whole UTF-8 character.
class CFieldReader {
public:
    explicit CFieldReader(const QByteArray& line) : m_line(line) {}

    bool AtEnd() const { return m_nPos >= m_line.size(); }
    void SkipMarker() { m_nPos += 2; }

    QString Read(int bufferSize) {
        QByteArray value;
        while (m_nPos < m_line.size() && m_line[m_nPos] != '/') {
            const char c = m_line[m_nPos++];
            if (c != ' ')
                value.append(c);
        }
        if (value.size() > bufferSize - 1) {
            qsizetype cut = bufferSize - 1;
            // back off over continuation bytes so no character is split
            while (cut > 0 && (static_cast<unsigned char>(value[cut]) & 0xC0) == 0x80)
                --cut;
            value.truncate(cut);
        }
        return DecodeLaunchBytes(value);
    }

private:
    const QByteArray& m_line;
    qsizetype m_nPos = 2; // the first slash and marker are skipped
};

void AssignIfSet(QString& setting, const QString& value) {
    if (!value.isEmpty())
        setting = value;
}

} // namespace

void ResetLaunchSettings() {
    g_strDeviceIp.clear();
    g_strReadCommunity = QStringLiteral("ralvin");
    g_strWriteCommunity = QStringLiteral("quorbet");
    g_bVlanEditable = 1;
    g_strSnmpVersion = QStringLiteral("1");
    g_strSnmpPort = QStringLiteral("161");
    g_strSecurityLevel = QStringLiteral("1");
    g_strV3UserName.clear();
    g_strAuthPassword.clear();
    g_strPrivPassword.clear();
    g_strAuthProtocol = QStringLiteral("1");
    g_strPrivProtocol = QStringLiteral("1");
    g_strSnmpTimeout = QStringLiteral("3000");
    g_strLaunchField0.clear();
    g_strLaunchField9 = QStringLiteral("1");
}

int ParseCommandLine(const QByteArray& line) {
    using namespace LaunchField;
    if (line.isEmpty())
        return 0;
    CFieldReader reader(line);
    g_strLaunchField0 = reader.Read(kField0);
    if (reader.AtEnd())
        return 1;
    if (!line.contains("/I"))
        return 0;

    reader.SkipMarker();
    const QString ip = reader.Read(kIp);
    if (ip.isEmpty())
        return 0;
    g_strDeviceIp = ip;
    if (reader.AtEnd())
        return 1;

    for (QString* community : {&g_strReadCommunity, &g_strWriteCommunity}) {
        reader.SkipMarker();
        AssignIfSet(*community, reader.Read(kCommunity));
        if (reader.AtEnd())
            return 1;
    }

    reader.SkipMarker();
    const QString vlanFlag = reader.Read(kVlanFlag);
    g_bVlanEditable = vlanFlag == QLatin1String("TRUE") || vlanFlag == QLatin1String("true");
    if (reader.AtEnd())
        return 1;

    for (QString* setting : {&g_strSnmpVersion, &g_strSnmpPort}) {
        reader.SkipMarker();
        AssignIfSet(*setting, reader.Read(kOther));
        if (reader.AtEnd())
            return 1;
    }
    if (g_strSnmpVersion == QLatin1String("1"))
        return 1;

    // Fields 7 and 8 are read and dropped; field 9 is kept.
    QString dropped;
    struct Field {
        QString* setting;
        int size;
    };
    const Field rest[] = {
        {&dropped, kOther},
        {&dropped, kOther},
        {&g_strLaunchField9, kOther},
        {&g_strSecurityLevel, kOther},
        {&g_strV3UserName, kCredential},
        {&g_strAuthPassword, kCredential},
        {&g_strPrivPassword, kCredential},
        {&g_strAuthProtocol, kOther},
        {&g_strPrivProtocol, kOther},
    };
    for (const Field& field : rest) {
        reader.SkipMarker();
        AssignIfSet(*field.setting, reader.Read(field.size));
        if (reader.AtEnd())
            return 1;
    }
    return 1;
}

std::vector<std::pair<qsizetype, qsizetype>> CredentialSpans(const QByteArray& line) {
    // Fields as the reader walks them: a value runs to the next '/', and the
    // next value starts after that slash and its marker letter.
    constexpr int kSecret[] = {2, 3, 12, 13};
    std::vector<std::pair<qsizetype, qsizetype>> spans;
    qsizetype pos = 2;
    for (int field = 0; field <= 13 && pos < line.size(); ++field) {
        qsizetype end = line.indexOf('/', pos);
        if (end < 0)
            end = line.size();
        if (end > pos && std::find(std::begin(kSecret), std::end(kSecret), field) != std::end(kSecret))
            spans.emplace_back(pos, end);
        pos = end + 2;
    }
    return spans;
}

QByteArray JoinCommandLine(int argc, char** argv) {
    QByteArray line;
    for (int i = 1; i < argc; ++i) {
        if (i > 1)
            line.append(' ');
        line.append(argv[i]);
    }
    return line;
}

void HideCredentialArguments(int argc, char** argv) {
    const auto spans = CredentialSpans(JoinCommandLine(argc, argv));
    const auto secret = [&](qsizetype at) {
        return std::any_of(spans.begin(), spans.end(),
                           [at](const auto& s) { return at >= s.first && at < s.second; });
    };
    qsizetype offset = 0; // of argv[i] in the joined line
    for (int i = 1; i < argc; ++i) {
        const qsizetype length = static_cast<qsizetype>(std::strlen(argv[i]));
        QByteArray shown;
        for (qsizetype k = 0; k < length; ++k) {
            if (!secret(offset + k))
                shown.append(argv[i][k]);
            else if (k == 0 || !secret(offset + k - 1))
                shown.append('*');
        }
        // Never longer than before: every hidden run became one character.
        std::memset(argv[i], 0, static_cast<std::size_t>(length));
        std::memcpy(argv[i], shown.constData(), static_cast<std::size_t>(shown.size()));
        offset += length + 1;
    }
}

QString DecodeLaunchBytes(const QByteArray& bytes) {
    QString text;
    text.reserve(bytes.size());
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.constData());
    const qsizetype n = bytes.size();
    for (qsizetype i = 0; i < n;) {
        const unsigned char lead = p[i];
        int length = 0;
        char32_t code = 0, least = 0;
        if (lead < 0x80) {
            length = 1, code = lead;
        } else if ((lead & 0xE0) == 0xC0) {
            length = 2, code = lead & 0x1F, least = 0x80;
        } else if ((lead & 0xF0) == 0xE0) {
            length = 3, code = lead & 0x0F, least = 0x800;
        } else if ((lead & 0xF8) == 0xF0) {
            length = 4, code = lead & 0x07, least = 0x10000;
        }
        bool valid = length > 0 && i + length <= n;
        for (int k = 1; valid && k < length; ++k) {
            valid = (p[i + k] & 0xC0) == 0x80;
            code = (code << 6) | (p[i + k] & 0x3F);
        }
        valid = valid && code >= least && code <= 0x10FFFF && !(code >= 0xD800 && code <= 0xDFFF);
        if (!valid) {
            text.append(QChar(char16_t(0xDC00 + lead)));
            ++i;
            continue;
        }
        text.append(QString::fromUcs4(&code, 1));
        i += length;
    }
    return text;
}

QByteArray EncodeLaunchBytes(const QString& text) {
    QByteArray bytes;
    bytes.reserve(text.size());
    qsizetype start = 0;
    const auto flush = [&](qsizetype end) {
        if (end > start)
            bytes.append(text.mid(start, end - start).toUtf8());
    };
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t unit = text[i].unicode();
        const bool paired = i > 0 && QChar::isHighSurrogate(text[i - 1].unicode());
        if (unit >= 0xDC80 && unit <= 0xDCFF && !paired) {
            flush(i);
            bytes.append(char(unit - 0xDC00));
            start = i + 1;
        }
    }
    flush(text.size());
    return bytes;
}
