#pragma once

#include "panel/PanelObjects.h"

#include <QByteArray>
#include <QSize>
#include <QString>

// Reads a panel description ("DEVICEMODULE" root) into a tree of panel
// objects under root; "MODULE" objects go to modules instead. A file that is
// missing, malformed, not a "DEVICEMODULE" or absurdly deep leaves root without
// children and modules empty, and returns false.
//
// The root takes the rectangle of "DEVICEMODULE" when it has one; otherwise
// its size is the box around everything it holds. Elements the reader does not
// know are skipped together with their content.
bool LoadPanelDescription(const QString& fileName, CPanelObject& root, ModuleList& modules);
bool ParsePanelDescription(const QByteArray& xml, CPanelObject& root, ModuleList& modules);

// The panel's size: the client area of the main window.
QSize PanelSize(const CPanelObject& root);

// Where the "XMLName" of the profile points: an absolute name as it is; a
// relative one against the working directory first and then against the
// profile's own folder (the module is often started from elsewhere).
QString ResolvePanelFile(const QString& xmlName, const QString& profileDir);

// The status codes of the description file; -1 for a text outside the list.
int PortStatusCode(const QString& text);
int LampStatusCode(const QString& text);
int LampTypeCode(const QString& text);
