#include "Encodings.h"

#include "platform/MessageBox.h"

#include <QStringList>

#include <climits>
#include <vector>

namespace {

// The decimal conversion of the port lists: leading digits, anything after
// them ignored, no digits = 0; clamped instead of overflowing.
int DecimalPrefix(QStringView text) {
    text = text.trimmed();
    long long value = 0;
    for (QChar c : text) {
        if (c < u'0' || c > u'9')
            break;
        value = std::min<long long>(value * 10 + (c.unicode() - u'0'), INT_MAX);
    }
    return static_cast<int>(value);
}

int HexDigitValue(QChar c) {
    if (c >= u'0' && c <= u'9')
        return c.unicode() - u'0';
    if (c >= u'a' && c <= u'f')
        return c.unicode() - u'a' + 10;
    if (c >= u'A' && c <= u'F')
        return c.unicode() - u'A' + 10;
    return -1;
}

QString MacText(const QByteArray& mac, bool colons) {
    if (mac.size() < 6)
        return QString();
    const auto* m = reinterpret_cast<const uint8_t*>(mac.constData());
    return colons ? QString::asprintf("%02X:%02X:%02X:%02X:%02X:%02X", m[0], m[1], m[2], m[3], m[4], m[5])
                  : QString::asprintf("%02X-%02X-%02X-%02X-%02X-%02X", m[0], m[1], m[2], m[3], m[4], m[5]);
}

constexpr int kMaxUnits = 256;

} // namespace

QString PortBitmapToList(const QByteArray& bitmap, int* count, int portCount) {
    QString list;
    int n = 0;
    const int octets = std::min<int>((std::max(portCount, 0) + 7) / 8, bitmap.size());
    for (int i = 0; i < octets; ++i) {
        const auto octet = static_cast<uint8_t>(bitmap[i]);
        for (int bit = 0; bit < 8; ++bit) {
            const int port = i * 8 + bit + 1;
            if (port > portCount)
                break;
            if (octet & (0x80 >> bit)) {
                list += QString::number(port) + QLatin1Char(',');
                ++n;
            }
        }
    }
    if (n > 0)
        list.chop(1);
    if (count)
        *count = n;
    return list;
}

QString CheckPortList(const QString& text, std::span<int> flags) {
    const QString invalid = QStringLiteral("Invalid Portlist");
    if (flags.empty())
        return invalid;
    const int portCount = static_cast<int>(flags.size());
    QStringView rest(text);
    while (!rest.isEmpty()) {
        const qsizetype comma = rest.indexOf(u',');
        const QStringView element = comma < 0 ? rest : rest.left(comma);
        rest = comma < 0 ? QStringView() : rest.mid(comma + 1);
        int first, last;
        const qsizetype dash = element.indexOf(u'-');
        if (dash >= 0) {
            first = DecimalPrefix(element.left(dash));
            last = DecimalPrefix(element.mid(dash + 1));
        } else {
            first = last = DecimalPrefix(element);
        }
        for (long long port = first; port <= last; ++port) {
            if (port < 1 || port > portCount)
                return invalid;
            flags[port - 1] = 1;
        }
    }
    return QString();
}

int ParsePortList(const QString& text, std::span<int> flags) {
    if (flags.empty())
        return 0;
    const QString message = CheckPortList(text, flags);
    if (!message.isEmpty()) {
        ShowMessage(message);
        return 0;
    }
    return 1;
}

void PortFlagsToHex(std::span<const int> flags, QString& destination) {
    static const char kDigits[] = "0123456789abcdef";
    const size_t groups = (flags.size() + 3) / 4;
    for (size_t g = 0; g < groups; ++g) {
        int digit = 0;
        for (size_t k = 0; k < 4; ++k) {
            const size_t i = g * 4 + k;
            if (i < flags.size() && flags[i])
                digit |= 8 >> k;
        }
        destination += QLatin1Char(kDigits[digit]);
    }
}

int PadPortHex(QString& hex, int portCount) {
    const char* padding = "";
    switch (portCount) {
    case 8: padding = "000000"; break;
    case 10: padding = "00000"; break;
    case 16: padding = "0000"; break;
    case 20: padding = "000"; break;
    case 24: padding = "00"; break;
    case 28: padding = "0"; break;
    case 48: padding = "0000"; break;
    case 52: padding = "000"; break;
    default: break;
    }
    hex += QLatin1String(padding);
    return 1;
}

int PortListOctetCount(int portCount) {
    QString hex(static_cast<qsizetype>((std::max(portCount, 0) + 3) / 4), u'0');
    PadPortHex(hex, portCount);
    return static_cast<int>((hex.size() + 1) / 2);
}

int HexTextToBytes(const QString& hex, uint8_t* destination, int capacity) {
    QString text = hex;
    if (text.size() % 2)
        text.prepend(u'0');
    const int pairs = static_cast<int>(text.size() / 2);
    for (int i = 0; i < pairs && i < capacity; ++i) {
        // base-16 conversion of the pair: digits up to the first non-digit
        int value = 0;
        for (int k = 0; k < 2; ++k) {
            const int digit = HexDigitValue(text[2 * i + k]);
            if (digit < 0)
                break;
            value = value * 16 + digit;
        }
        destination[i] = static_cast<uint8_t>(value);
    }
    return 1;
}

QByteArray PortFlagsToBitmap(std::span<const int> flags, int portCount) {
    QString hex;
    PortFlagsToHex(flags, hex);
    PadPortHex(hex, portCount);
    // Port counts off the padding table can leave an odd digit count; a leading
    // "0" would shift every port by four, so complete the last octet instead.
    if (hex.size() % 2)
        hex += u'0';
    QByteArray bytes(PortListOctetCount(portCount), '\0');
    HexTextToBytes(hex, reinterpret_cast<uint8_t*>(bytes.data()), static_cast<int>(bytes.size()));
    return bytes;
}

bool IsValidName(const QString& text) {
    static const QString kRejected = QStringLiteral("~`!@#$%^&*{}[]|\\:;\"'<>,.?/");
    for (QChar c : text)
        if (kRejected.contains(c))
            return false;
    return true;
}

bool IsPortListText(const QString& text) {
    static const QString kRejected = QStringLiteral("~`!@#$%^&*{}[]|\\:;\"'<>.?/");
    for (QChar c : text) {
        if (kRejected.contains(c))
            return false;
        if ((c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z'))
            return false;
    }
    return true;
}

void ToUtf8(const QString& text, char* destination, unsigned size) {
    if (!destination || size == 0)
        return;
    const QString composed = text.normalized(QString::NormalizationForm_C).left(kMaxUnits);
    unsigned used = 0;
    for (qsizetype i = 0; i < composed.size(); ++i) {
        char32_t code = composed[i].unicode();
        qsizetype units = 1;
        if (QChar::isHighSurrogate(code) && i + 1 < composed.size() &&
            composed[i + 1].isLowSurrogate()) {
            code = QChar::surrogateToUcs4(composed[i], composed[i + 1]);
            units = 2;
        } else if (QChar::isSurrogate(code)) {
            code = 0xFFFD; // a lone half of a pair is no character
        }
        char encoded[4];
        unsigned n;
        if (code < 0x80) {
            encoded[0] = static_cast<char>(code);
            n = 1;
        } else if (code < 0x800) {
            encoded[0] = static_cast<char>(0xC0 | (code >> 6));
            encoded[1] = static_cast<char>(0x80 | (code & 0x3F));
            n = 2;
        } else if (code < 0x10000) {
            encoded[0] = static_cast<char>(0xE0 | (code >> 12));
            encoded[1] = static_cast<char>(0x80 | ((code >> 6) & 0x3F));
            encoded[2] = static_cast<char>(0x80 | (code & 0x3F));
            n = 3;
        } else {
            encoded[0] = static_cast<char>(0xF0 | (code >> 18));
            encoded[1] = static_cast<char>(0x80 | ((code >> 12) & 0x3F));
            encoded[2] = static_cast<char>(0x80 | ((code >> 6) & 0x3F));
            encoded[3] = static_cast<char>(0x80 | (code & 0x3F));
            n = 4;
        }
        if (used + n >= size)
            break;
        for (unsigned k = 0; k < n; ++k)
            destination[used++] = encoded[k];
        i += units - 1;
    }
    destination[used] = '\0';
}

void FromUtf8(const char* bytes, QString& text) {
    text = bytes ? FromUtf8(QByteArray(bytes)) : QString();
}

QString FromUtf8(const QByteArray& bytes) {
    // Text stops at the first zero byte, as a C string would.
    const qsizetype zero = bytes.indexOf('\0');
    QString text = QString::fromUtf8(zero < 0 ? bytes : bytes.left(zero));
    if (text.size() > kMaxUnits) {
        qsizetype cut = kMaxUnits;
        if (text.at(cut - 1).isHighSurrogate())
            --cut;
        text.truncate(cut);
    }
    // Control characters from the switch would garble a list or a field.
    for (QChar& c : text)
        if (c.unicode() < 0x20 || c.unicode() == 0x7F)
            c = QChar(0xFFFD);
    // The shown text fits the 256-byte buffer of the original, cut at a whole character.
    while (text.toUtf8().size() > 255)
        text.chop(text.size() >= 2 && text.at(text.size() - 1).isLowSurrogate() ? 2 : 1);
    return text;
}

QString CheckMac(const QString& text, bool allowMulticast) {
    const QString format = QStringLiteral("Please enter correct MAC format(ex:00-00-00-00-00-01)");
    if (text.size() != 17)
        return format;
    for (int pos : {2, 5, 8, 11, 14})
        if (text[pos] != u'-')
            return format;
    QString digits = text;
    digits.remove(u'-');
    if (digits == QLatin1String("000000000000") || digits.size() < 12)
        return format;
    for (QChar c : digits)
        if (HexDigitValue(c) < 0)
            return format;
    if (digits.compare(QLatin1String("ffffffffffff"), Qt::CaseInsensitive) == 0)
        return QStringLiteral("Broadcast MAC is not allowed.");
    if (!allowMulticast && (HexDigitValue(digits[1]) & 1))
        return QStringLiteral("Multicast MAC is not allowed.");
    return QString();
}

int ValidateMac(const QString& text, bool allowMulticast) {
    const QString message = CheckMac(text, allowMulticast);
    if (!message.isEmpty()) {
        ShowMessage(message);
        return 0;
    }
    return 1;
}

QString MacToDashText(const QByteArray& mac) { return MacText(mac, false); }
QString MacToColonText(const QByteArray& mac) { return MacText(mac, true); }

QString TextToRowIndex(const QByteArray& text) {
    QString index = QString::number(text.size());
    for (char c : text)
        index += QLatin1Char('.') + QString::number(static_cast<uint8_t>(c));
    return index;
}

bool RowIndexToText(const QString& index, QByteArray& text) {
    const QStringList parts = index.split(u'.');
    bool ok = false;
    const int length = parts.value(0).toInt(&ok);
    if (!ok || length != parts.size() - 1)
        return false;
    QByteArray result;
    for (int i = 1; i < parts.size(); ++i) {
        const int code = parts[i].toInt(&ok);
        if (!ok || code < 0 || code > 255)
            return false;
        result.append(static_cast<char>(code));
    }
    text = result;
    return true;
}
