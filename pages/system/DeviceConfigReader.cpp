#include "DeviceConfigReader.h"

#include <QRegularExpression>
#include <QXmlStreamReader>

#include <algorithm>
#include <limits>
#include <set>

namespace {

constexpr int kMaxText = 256;
constexpr int kMaxChoices = 64;
constexpr int kMaxArcs = 128;

bool ValidOid(const QString& text) {
    const QStringList arcs = text.split(u'.');
    if (arcs.size() < 2 || arcs.size() > kMaxArcs)
        return false;
    for (const QString& arc : arcs) {
        bool ok = false;
        if (arc.isEmpty() || arc.size() > 10 || !arc.front().isDigit() ||
            arc.toULongLong(&ok) > 4294967295ULL || !ok)
            return false;
    }
    return true;
}

// "lo-hi" with lo <= hi, both within [min, max].
bool ParseRange(const QString& text, qint64 min, qint64 max, qint64& lo, qint64& hi) {
    static const QRegularExpression pattern(
        QStringLiteral("^\\s*(-?\\d{1,10})\\s*-\\s*(-?\\d{1,10})\\s*$"));
    const QRegularExpressionMatch m = pattern.match(text);
    if (!m.hasMatch())
        return false;
    lo = m.captured(1).toLongLong();
    hi = m.captured(2).toLongLong();
    return lo >= min && hi <= max && lo <= hi;
}

// The texts of one ITEM element's children.
struct SRawItem {
    QString fields[9];
};
const char* const kFields[] = {"NAME",     "TYPE",   "DESC",  "ACCESS", "VALUE",
                               "RETVALUE", "SUFFIX", "WRITE", "INDEX"};
enum Field { kName, kType, kDesc, kAccess, kValue, kRetValue, kSuffix, kWrite, kIndex };

QString Check(const SRawItem& raw, SDevConfigItem& item) {
    const QString* f = raw.fields;
    for (Field required : {kName, kType, kDesc, kAccess, kIndex})
        if (f[required].trimmed().isEmpty())
            return QStringLiteral("an item has no %1").arg(QLatin1String(kFields[required]));
    item.name = f[kName].trimmed();
    if (!ValidOid(item.name))
        return QStringLiteral("NAME \"%1\" is no object identifier").arg(item.name.left(40));
    item.suffix = f[kSuffix].trimmed().isEmpty() ? QStringLiteral("0") : f[kSuffix].trimmed();
    if (!ValidOid(QStringLiteral("0.") + item.suffix) ||
        item.name.count(u'.') + item.suffix.count(u'.') + 2 > kMaxArcs)
        return QStringLiteral("SUFFIX of %1 is no instance").arg(item.name);
    item.desc = f[kDesc].trimmed();
    bool ok = false;
    item.index = f[kIndex].trimmed().toInt(&ok);
    if (!ok || item.index < 1 || item.index > kMaxDevConfigItems)
        return QStringLiteral("INDEX of %1 is not 1 to %2").arg(item.name).arg(kMaxDevConfigItems);
    const QString access = f[kAccess].trimmed().toUpper();
    if (access != u"RO" && access != u"RW")
        return QStringLiteral("ACCESS of %1 is neither RO nor RW").arg(item.name);
    item.writable = access == u"RW";

    const QString type = f[kType].trimmed().toUpper();
    int expectedWrite = 0;
    if (type == u"NUMBER") {
        item.kind = SDevConfigItem::kNumber;
        if (!ParseRange(f[kValue], std::numeric_limits<qint32>::min(),
                        std::numeric_limits<quint32>::max(), item.lo, item.hi))
            return QStringLiteral("VALUE of the number %1 is no range lo-hi").arg(item.name);
        expectedWrite = item.lo < 0 ? 1 : 0; // 1 or 10
    } else if (type == u"TEXT") {
        item.kind = SDevConfigItem::kText;
        if (!ParseRange(f[kValue], 0, 255, item.lo, item.hi))
            return QStringLiteral("VALUE of the text %1 is no length range 0-255").arg(item.name);
        expectedWrite = 2;
    } else if (type == u"CHOICE") {
        item.kind = SDevConfigItem::kChoice;
        item.choices = f[kValue].split(u',');
        const QStringList values = f[kRetValue].split(u',');
        if (item.choices.size() > kMaxChoices || item.choices.size() != values.size())
            return QStringLiteral("VALUE and RETVALUE of %1 do not pair up").arg(item.name);
        for (QString& choice : item.choices) {
            choice = choice.trimmed();
            if (choice.isEmpty())
                return QStringLiteral("a choice of %1 is empty").arg(item.name);
        }
        for (const QString& v : values) {
            const qint64 number = v.trimmed().toLongLong(&ok);
            if (!ok || number < std::numeric_limits<qint32>::min() ||
                number > std::numeric_limits<qint32>::max())
                return QStringLiteral("RETVALUE of %1 holds no numbers").arg(item.name);
            item.values.append(number);
        }
        expectedWrite = 1;
    } else if (type == u"IPADDRESS") {
        item.kind = SDevConfigItem::kAddress;
        expectedWrite = 8;
    } else {
        return QStringLiteral("TYPE \"%1\" of %2 is unknown").arg(type.left(20), item.name);
    }
    if (!item.writable)
        return {};
    item.writeType = f[kWrite].trimmed().toInt(&ok);
    const bool fits = expectedWrite == 0 ? item.writeType == 1 || item.writeType == 10
                                         : item.writeType == expectedWrite;
    if (!ok || !fits)
        return QStringLiteral("WRITE of %1 does not suit its TYPE").arg(item.name);
    if (item.writeType == 10 && item.lo < 0)
        return QStringLiteral("WRITE of %1 does not suit its TYPE").arg(item.name);
    return {};
}

} // namespace

QString ParseDeviceConfig(const QByteArray& xml, std::vector<SDevConfigItem>& items) {
    items.clear();
    auto fail = [&items](const QString& why) {
        items.clear();
        return why;
    };
    if (xml.size() > kMaxDevConfigBytes)
        return fail(QStringLiteral("the file is larger than 1 MB"));
    QXmlStreamReader reader(xml);
    std::set<int> places;
    int depth = 0;
    bool sawRoot = false;
    SRawItem raw;
    int field = -1;
    while (!reader.atEnd()) {
        const QXmlStreamReader::TokenType token = reader.readNext();
        switch (token) {
        case QXmlStreamReader::DTD:
        case QXmlStreamReader::EntityReference:
            // Entities could make a small file huge: a description has none.
            return fail(QStringLiteral("the file declares a DTD or entities"));
        case QXmlStreamReader::StartElement: {
            ++depth;
            const QStringView name = reader.name();
            if (depth == 1) {
                if (name != u"DEVICECONFIG")
                    return fail(QStringLiteral("the root element is not DEVICECONFIG"));
                sawRoot = true;
            } else if (depth == 2) {
                if (name != u"ITEM")
                    return fail(QStringLiteral("DEVICECONFIG holds something else than ITEM"));
                if (static_cast<int>(items.size()) >= kMaxDevConfigItems)
                    return fail(QStringLiteral("the file describes more than %1 items")
                                    .arg(kMaxDevConfigItems));
                raw = SRawItem{};
            } else if (depth == 3) {
                field = -1;
                for (int i = 0; i < 9; ++i)
                    if (name == QLatin1String(kFields[i]))
                        field = i;
                if (field < 0)
                    return fail(
                        QStringLiteral("ITEM holds an unknown element %1").arg(name.left(20)));
            } else {
                return fail(QStringLiteral("an item field holds elements"));
            }
            break;
        }
        case QXmlStreamReader::Characters:
            if (depth == 3 && field >= 0) {
                QString& text = raw.fields[field];
                text += reader.text();
                if (text.size() > kMaxText)
                    return fail(QStringLiteral("the %1 of an item is longer than %2 characters")
                                    .arg(QLatin1String(kFields[field]))
                                    .arg(kMaxText));
            } else if (!reader.isWhitespace()) {
                return fail(QStringLiteral("text stands outside the item fields"));
            }
            break;
        case QXmlStreamReader::EndElement:
            if (depth == 2) {
                SDevConfigItem item;
                const QString why = Check(raw, item);
                if (!why.isEmpty())
                    return fail(why);
                if (!places.insert(item.index).second)
                    return fail(QStringLiteral("INDEX %1 is given twice").arg(item.index));
                items.push_back(std::move(item));
            }
            --depth;
            break;
        default:
            break;
        }
    }
    if (reader.hasError())
        return fail(QStringLiteral("the XML is not well-formed (line %1: %2)")
                        .arg(reader.lineNumber())
                        .arg(reader.errorString()));
    if (!sawRoot)
        return fail(QStringLiteral("the file holds no DEVICECONFIG element"));
    if (items.empty())
        return fail(QStringLiteral("the file describes no items"));
    std::sort(items.begin(), items.end(),
              [](const SDevConfigItem& a, const SDevConfigItem& b) { return a.index < b.index; });
    return {};
}

QString DevConfigShownText(const SDevConfigItem& item, const QString& value) {
    if (item.kind != SDevConfigItem::kChoice)
        return value;
    bool ok = false;
    const qint64 number = value.toLongLong(&ok);
    const qsizetype at = ok ? item.values.indexOf(number) : -1;
    return at >= 0 ? item.choices.at(at) : QString();
}

QString CheckDevConfigValue(const SDevConfigItem& item, const QString& text, QByteArray& value) {
    switch (item.kind) {
    case SDevConfigItem::kNumber: {
        bool ok = false;
        const qint64 number = text.trimmed().toLongLong(&ok);
        if (!ok || number < item.lo || number > item.hi)
            return QStringLiteral("Invalid %1, the valid range is (%2-%3) !")
                .arg(item.desc)
                .arg(item.lo)
                .arg(item.hi);
        value = QByteArray::number(number);
        return {};
    }
    case SDevConfigItem::kText: {
        const QByteArray bytes = text.toUtf8();
        if (bytes.size() < item.lo || bytes.size() > item.hi)
            return QStringLiteral("Invalid %1, its length should be (%2-%3) !")
                .arg(item.desc)
                .arg(item.lo)
                .arg(item.hi);
        value = bytes;
        return {};
    }
    case SDevConfigItem::kChoice: {
        const qsizetype at = item.choices.indexOf(text);
        if (at < 0)
            return QStringLiteral("Please choose the %1 !").arg(item.desc);
        value = QByteArray::number(item.values.at(at));
        return {};
    }
    case SDevConfigItem::kAddress: {
        static const QRegularExpression pattern(
            QStringLiteral("^(\\d{1,3})\\.(\\d{1,3})\\.(\\d{1,3})\\.(\\d{1,3})$"));
        const QRegularExpressionMatch m = pattern.match(text.trimmed());
        QStringList octets;
        for (int i = 1; m.hasMatch() && i <= 4; ++i)
            if (m.captured(i).toInt() <= 255)
                octets << QString::number(m.captured(i).toInt());
        if (octets.size() != 4)
            return QStringLiteral("Invalid %1, please enter an IP address (ex:192.168.1.1) !")
                .arg(item.desc);
        value = octets.join(u'.').toLatin1();
        return {};
    }
    }
    return {};
}

QString DeviceConfigFileName(const QString& model) {
    // The 48-port gigabit model has the file of its board; the others share one.
    return model == u"NSW-4410-52 B1" ? QStringLiteral("NGX5048_CFG.XML")
                                      : QStringLiteral("NSW4410_CFG.XML");
}
