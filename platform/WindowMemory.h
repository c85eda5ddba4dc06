#pragma once

// What a window keeps between runs: its size and the column widths of its
// lists, in one settings file under the user's configuration folder. Off
// until the program names the file (tests and benchmarks leave it off or
// point it at a folder of their own).

#include <QList>
#include <QSize>
#include <QString>
#include <QVariant>

#include <utility>
#include <vector>

class CListControl;
class QWidget;

// "$XDG_CONFIG_HOME/nsw-module/windows.conf" (~/.config when unset).
QString DefaultWindowMemoryFile();
// The file windows remember in; empty switches the memory off.
void SetWindowMemoryFile(const QString& path);
QString WindowMemoryFile();

// A stored size made fit: at least minimum, at most the screen's available
// size; empty when the stored value is no size.
QSize FitStoredSize(const QVariant& stored, const QSize& minimum, const QSize& available);
// Stored column widths when they are `columns` numbers, each brought into
// [minimum, maximum]; empty otherwise.
QList<int> FitStoredWidths(const QVariant& stored, int columns, int minimum, int maximum);

// The lists of a window with the names they are stored under.
using NamedLists = std::vector<std::pair<QString, CListControl*>>;

// Both do nothing while the memory is off. Restore ignores what is missing or
// damaged; Save returns false (and says why in a trace line) when the file
// cannot be written.
void RestoreWindowLooks(QWidget& window, const QString& key, const NamedLists& lists);
bool SaveWindowLooks(const QWidget& window, const QString& key, const NamedLists& lists);
