#pragma once

#include <QDialog>

#include <functional>
#include <memory>

class QWidget;

// The one place where pages make themselves known to the main window. A page
// registers a factory for its command id; the menu enables the command once a
// factory is there, and CModuleDlg::ExecuteCommand opens it (also for commands
// that have no menu item or that the model's trimming removed).
//
// Register from an explicit start-up call (a RegisterAllPages() of the pages
// library, called before the main window runs), never from static
// initialisers: a static library drops objects nobody references.
//
// The factory gets the parent to use (null: the main window is minimised
// while a page runs, and a page must not vanish with it). It returns the
// dialog; the main window runs it modally and destroys it afterwards.
using PageFactory = std::function<std::unique_ptr<QDialog>(QWidget* parent)>;

void RegisterPage(int commandId, PageFactory factory);
void UnregisterPage(int commandId);
bool IsPageRegistered(int commandId);
// Null when no factory is registered.
std::unique_ptr<QDialog> CreatePage(int commandId, QWidget* parent);

// The port a page was opened for: a click on a port opens Port Configuration
// (command 32774) with that port; the factory and the page read it here.
// 0 when the page was opened from the menu. Valid while the page is created
// and runs; the main window sets it before and clears it after.
int PageSelectedPort();
void SetPageSelectedPort(int port);
