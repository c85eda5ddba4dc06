#include "PanelReader.h"

#include "platform/Trace.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QXmlStreamReader>

#include <climits>
#include <functional>
#include <map>

namespace {

// Real panels nest three or four levels and hold a few hundred objects; far
// beyond that the file is not a panel, and refusing it keeps every recursive
// walk of the tree cheap.
constexpr int kMaxDepth = 32;
constexpr int kMaxObjects = 20000;

using Factory = std::function<std::unique_ptr<CPanelObject>()>;

template <class T> Factory Make() {
    return [] { return std::make_unique<T>(); };
}

const std::map<QString, Factory>& Factories() {
    static const std::map<QString, Factory> factories = {
        {QStringLiteral("PANEL"), Make<CPanel>()},   {QStringLiteral("PORT"), Make<CPort>()},
        {QStringLiteral("LAMP"), Make<CLamp>()},     {QStringLiteral("SLOT"), Make<CSlot>()},
        {QStringLiteral("CONSOLE"), Make<CCom>()},   {QStringLiteral("MASTER"), Make<CCom>()},
        {QStringLiteral("RPS"), Make<CCom>()},       {QStringLiteral("FAN"), Make<CCom>()},
        {QStringLiteral("POWER"), Make<CPower>()},   {QStringLiteral("LED"), Make<CLed>()},
        {QStringLiteral("MODULE"), Make<CModule>()},
    };
    return factories;
}

int IndexOf(const QString& text, std::initializer_list<const char*> names) {
    int i = 0;
    for (const char* name : names) {
        if (text == QLatin1String(name))
            return i;
        ++i;
    }
    return -1;
}

// The C library's atoi: leading blanks, a sign, digits; anything else ends the
// number and no digits give 0. Saturates instead of overflowing.
int TextToInt(QStringView text) {
    qsizetype i = 0;
    while (i < text.size() && text[i].isSpace())
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == u'-' || text[i] == u'+'))
        negative = text[i++] == u'-';
    long long value = 0;
    for (; i < text.size() && text[i] >= u'0' && text[i] <= u'9'; ++i) {
        value = value * 10 + (text[i].unicode() - u'0');
        if (value > INT_MAX)
            return negative ? INT_MIN : INT_MAX;
    }
    return static_cast<int>(negative ? -value : value);
}

void ReadAttributes(const QXmlStreamAttributes& attributes, CPanelObject& object) {
    const auto text = [&](const char* name) { return attributes.value(QLatin1String(name)); };
    object.SetID(text("ID").toString());
    object.SetRect(TextToInt(text("LEFT")), TextToInt(text("TOP")), TextToInt(text("WIDTH")),
                   TextToInt(text("HEIGHT")));
    object.SetBmp(text("BMP").toString());
    const QString status = text("STATUS").toString();
    if (auto* lamp = dynamic_cast<CLamp*>(&object)) {
        if (const int code = LampStatusCode(status); code >= 0)
            lamp->SetInitialStatus(code);
        if (const int type = LampTypeCode(text("TYPE").toString()); type >= 0)
            lamp->SetType(type);
    } else if (object.IsA("CPort")) {
        if (const int code = PortStatusCode(status); code >= 0)
            object.SetInitialStatus(code);
    }
    object.SetName(text("NAME").toString());
    if (auto* port = dynamic_cast<CPort*>(&object)) {
        int code = 0;
        for (const char* name : {"BMPLINK100", "BMPLINK10", "BMPDISABLE", "BMPENABLE", "BMPEMPTY"})
            port->SetStateBmp(code++, text(name).toString());
    } else if (auto* led = dynamic_cast<CLed*>(&object)) {
        for (int i = 0; i < CLed::kStates; ++i)
            led->SetStateBmp(i, text(qPrintable(QStringLiteral("BMP%1").arg(i))).toString());
    }
}

QRect BoundingBox(const CPanelObject& root) {
    QRect box;
    for (const CPanelObject* object : root.Descendants())
        box |= object->Rect();
    return box;
}

// One open element while reading: the object its children go to (null while
// inside a skipped element).
struct SOpen {
    CPanelObject* parent;
    bool skipped;
};

} // namespace

int PortStatusCode(const QString& text) {
    return IndexOf(text, {"PORTLINK100", "PORTLINK10", "PORTDISABLED", "PORTENABLE", "PORTEMPTY"});
}
int LampStatusCode(const QString& text) {
    return IndexOf(text, {"LAMPON", "LAMP1G", "LAMPOFF"});
}
int LampTypeCode(const QString& text) {
    return IndexOf(text, {"LINK", "S100M", "POWER", "CONSOLE"});
}

bool ParsePanelDescription(const QByteArray& xml, CPanelObject& root, ModuleList& modules) {
    root.ClearChildren();
    modules.clear();
    // Built aside and moved in only when the whole file has been read.
    CPanel tree;
    ModuleList found;
    QXmlStreamReader reader(xml);
    std::vector<SOpen> open;
    int nodes = 0;
    int objects = 0;
    bool rootSeen = false;

    while (!reader.atEnd()) {
        const QXmlStreamReader::TokenType token = reader.readNext();
        if (token == QXmlStreamReader::StartElement) {
            if (!rootSeen) {
                if (reader.name() != QLatin1String("DEVICEMODULE"))
                    return false;
                rootSeen = true;
                ReadAttributes(reader.attributes(), tree);
                open.push_back({&tree, false});
                continue;
            }
            if (open.size() == 1)
                ++nodes;
            if (open.size() >= kMaxDepth || ++objects > kMaxObjects)
                return false;
            SOpen& top = open.back();
            if (top.skipped) {
                open.push_back({nullptr, true});
                continue;
            }
            const QString name = reader.name().toString();
            if (name == QLatin1String("DEVICEPANEL")) {
                open.push_back({top.parent, false});
                continue;
            }
            const auto factory = Factories().find(name);
            if (factory == Factories().end()) {
                open.push_back({nullptr, true});
                continue;
            }
            std::unique_ptr<CPanelObject> object = factory->second();
            ReadAttributes(reader.attributes(), *object);
            CPanelObject* added = nullptr;
            if (object->IsA("CModule")) {
                found.push_back(std::move(object));
                added = found.back().get();
            } else {
                added = top.parent->AddChild(std::move(object));
            }
            if (auto* lamp = dynamic_cast<CLamp*>(added)) {
                if (top.parent->IsA("CPort") || top.parent->IsA("CCom")) {
                    lamp->SetOwner(top.parent);
                    top.parent->AttachLamp(lamp);
                }
            }
            open.push_back({added, false});
        } else if (token == QXmlStreamReader::EndElement) {
            if (!open.empty())
                open.pop_back();
        } else if (open.size() == 1 &&
                   (token == QXmlStreamReader::Comment ||
                    token == QXmlStreamReader::ProcessingInstruction ||
                    (token == QXmlStreamReader::Characters && !reader.isWhitespace()))) {
            ++nodes;
        }
    }
    if (reader.hasError() || !rootSeen)
        return false;

    TraceF(" node num = %d", nodes);
    if (tree.Width() <= 0 || tree.Height() <= 0) {
        const QRect box = BoundingBox(tree);
        tree.SetRect(tree.Left(), tree.Top(), qMax(0, box.right() + 1), qMax(0, box.bottom() + 1));
    }
    root.SetRect(tree.Left(), tree.Top(), tree.Width(), tree.Height());
    root.SetID(tree.ID());
    root.SetBmp(tree.Bmp());
    root.SetName(tree.Name());
    root.AdoptChildrenOf(tree);
    modules = std::move(found);
    return true;
}

bool LoadPanelDescription(const QString& fileName, CPanelObject& root, ModuleList& modules) {
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly)) {
        TraceF("panel description %s not loaded", qPrintable(fileName));
        return false;
    }
    return ParsePanelDescription(file.readAll(), root, modules);
}

QSize PanelSize(const CPanelObject& root) {
    return QSize(qMax(0, root.Width()), qMax(0, root.Height()));
}

QString ResolvePanelFile(const QString& xmlName, const QString& profileDir) {
    if (xmlName.isEmpty() || QFileInfo(xmlName).isAbsolute() || QFileInfo::exists(xmlName))
        return xmlName;
    const QString beside = QDir(profileDir).filePath(xmlName);
    return QFileInfo::exists(beside) ? beside : xmlName;
}
