#pragma once

#include <QDialog>

#include <functional>
#include <memory>

class QWidget;

// Windows that a port's context menu on the panel opens beside the panel
// (not modal): the port's live traffic graph. The pages library registers the
// factory at start-up, as it registers the pages.
using PortWindowFactory = std::function<std::unique_ptr<QDialog>(int port, QWidget* parent)>;

void RegisterPortTrafficWindow(PortWindowFactory factory); // an empty factory unregisters
bool IsPortTrafficWindowRegistered();
// Null when no factory is registered.
std::unique_ptr<QDialog> CreatePortTrafficWindow(int port, QWidget* parent);
