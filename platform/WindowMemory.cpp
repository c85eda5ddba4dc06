#include "WindowMemory.h"

#include "platform/ListControl.h"
#include "platform/Trace.h"

#include <QHeaderView>

#include <algorithm>
#include <QScreen>
#include <QSettings>
#include <QStandardPaths>
#include <QWidget>

namespace {

QString g_strMemoryFile;

// Settings values come back as texts from the file; anything but a whole
// number is damage.
bool ToNumber(const QVariant& value, int& number) {
    bool ok = false;
    number = value.toString().trimmed().toInt(&ok);
    return ok;
}

QSize AvailableSize(const QWidget& window) {
    const QScreen* screen = window.screen();
    return screen ? screen->availableGeometry().size() : QSize();
}

} // namespace

QString DefaultWindowMemoryFile() {
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
           QStringLiteral("/nsw-module/windows.conf");
}

void SetWindowMemoryFile(const QString& path) { g_strMemoryFile = path; }

QString WindowMemoryFile() { return g_strMemoryFile; }

QSize FitStoredSize(const QVariant& stored, const QSize& minimum, const QSize& available) {
    const QStringList parts = stored.toStringList();
    int width = 0, height = 0;
    if (parts.size() != 2 || !ToNumber(parts[0], width) || !ToNumber(parts[1], height) ||
        width <= 0 || height <= 0)
        return {};
    QSize size(width, height);
    size = size.expandedTo(minimum);
    if (available.isValid() && !available.isEmpty())
        size = size.boundedTo(available);
    return size;
}

QList<int> FitStoredWidths(const QVariant& stored, int columns, int minimum, int maximum) {
    const QStringList parts = stored.toStringList();
    if (columns <= 0 || parts.size() != columns)
        return {};
    QList<int> widths;
    for (const QString& part : parts) {
        int width = 0;
        if (!ToNumber(part, width) || width < 0)
            return {};
        widths.append(std::clamp(width, minimum, std::max(minimum, maximum)));
    }
    return widths;
}

void RestoreWindowLooks(QWidget& window, const QString& key, const NamedLists& lists) {
    if (g_strMemoryFile.isEmpty() || key.isEmpty())
        return;
    QSettings settings(g_strMemoryFile, QSettings::IniFormat);
    if (settings.status() != QSettings::NoError) {
        Trace(QStringLiteral("window memory %1 unreadable, not restored").arg(g_strMemoryFile));
        return;
    }
    settings.beginGroup(key);
    const QSize available = AvailableSize(window);
    const QSize minimum = window.minimumSizeHint().expandedTo(window.minimumSize());
    QSize size = FitStoredSize(settings.value(QStringLiteral("size")), minimum, available);
    if (size.isValid()) {
        size = size.boundedTo(window.maximumSize());
        window.resize(size);
    }
    for (const auto& [name, list] : lists) {
        QHeaderView* header = list->horizontalHeader();
        const QList<int> widths =
            FitStoredWidths(settings.value(name + QStringLiteral("/columns")), header->count(),
                            header->minimumSectionSize(),
                            available.isValid() ? available.width() : 4096);
        for (int c = 0; c < widths.size(); ++c)
            header->resizeSection(c, widths[c]);
        if (!widths.isEmpty())
            list->KeepWidths();
    }
}

bool SaveWindowLooks(const QWidget& window, const QString& key, const NamedLists& lists) {
    if (g_strMemoryFile.isEmpty() || key.isEmpty())
        return true;
    QSettings settings(g_strMemoryFile, QSettings::IniFormat);
    settings.beginGroup(key);
    const QSize size = window.isMaximized() || window.isFullScreen()
                           ? window.normalGeometry().size()
                           : window.size();
    settings.setValue(QStringLiteral("size"),
                      QStringList{QString::number(size.width()), QString::number(size.height())});
    for (const auto& [name, list] : lists) {
        QStringList widths;
        const QHeaderView* header = list->horizontalHeader();
        for (int c = 0; c < header->count(); ++c)
            widths.append(QString::number(header->sectionSize(c)));
        settings.setValue(name + QStringLiteral("/columns"), widths);
    }
    settings.endGroup();
    settings.sync();
    if (settings.status() != QSettings::NoError) {
        Trace(QStringLiteral("window memory %1 not written").arg(g_strMemoryFile));
        return false;
    }
    return true;
}
