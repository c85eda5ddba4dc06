#pragma once

#include <QString>

#include <functional>
#include <vector>

class QAction;
class QMenu;
class QMenuBar;

// Command ids of the main window beyond those of ModelVariants.h.
namespace Command {
constexpr int kPortConfiguration = 32774;
constexpr int kDeviceConfigure = 32775;
constexpr int kTelnet = 32788;
constexpr int kWeb = 32789;
constexpr int kReboot = 32797;
constexpr int kSaveConfiguration = 32815;
constexpr int kAbout = 57664;
constexpr int kSystemAbout = 16; // the About entry of the system menu
// Handlers that hand a category and a name to an operation that does nothing.
constexpr int kDotQVlan = 32790;
constexpr int kDeviceQos = 32783;
constexpr int kPortQos = 32781;
} // namespace Command

// One entry of the menu resource: a command (id > 0), a separator (id 0 and
// no children) or a submenu (children).
struct SMenuEntry {
    QString text;
    int id = 0;
    std::vector<SMenuEntry> children;
};

// The menu resource of the main window, before trimming by model.
const std::vector<SMenuEntry>& ModuleMenuResource();

// Every command that opens a page, those without a menu item included.
const std::vector<int>& PageCommands();
bool IsPageCommand(int id);

// Fills a menu bar from the resource; each command's action carries its id
// (QAction::data) and calls onCommand with it.
void BuildModuleMenu(QMenuBar& bar, const std::function<void(int)>& onCommand);

// The action of a command wherever it stands; null when it is not in the menu.
QAction* FindCommand(const QMenuBar& bar, int id);
// Removes a command from every place it stands.
void DeleteCommand(QMenuBar& bar, int id);
// Applies the model's trimming (commands and the "PoE" submenu).
void TrimMenuForModel(QMenuBar& bar, const QString& model);
// The first top-level menu ("&Device Manager").
QMenu* DeviceManagerMenu(const QMenuBar& bar);
// The command ids present in the menu, in menu order.
std::vector<int> MenuCommands(const QMenuBar& bar);
