#pragma once

#include <QString>

#include <vector>

// Every place where the module behaves differently by model name asks here.
// Names compare exactly and case-sensitively unless a rule says otherwise.

// Menu commands removed for a model, and whether the "PoE" submenu (position 8
// of the first menu) goes too.
struct SMenuTrim {
    std::vector<int> commands;
    bool bRemovePoeSubmenu = false;
};
SMenuTrim MenuTrimForModel(const QString& model);

namespace MenuCommand {
constexpr int kPoePortConfig = 32852;
constexpr int kPoeGlobalSettings = 32870;
constexpr int kPoeTimeRange = 32819;
constexpr int kLldpMedSetting = 32827;
constexpr int kJumboFrame = 32817;
constexpr int kAbout = 57664;
} // namespace MenuCommand
constexpr int kPoeSubmenuPosition = 8;

// Number of PoE ports polled and drawn: 24, 8 or 0.
int PoePortCount(const QString& model);
// The 28P models draw their own set of fixed lamp bitmaps on the frame.
bool HasOwnFrameLamps(const QString& model);
// The 10P models draw combo ports in the normal port loop.
bool DrawsComboInPortLoop(const QString& model);

// Page branches.
bool PoeGlobalHasThresholdLabel(const QString& model); // "NGX-4410-10P B1"
bool PoeGlobalIs28PB1(const QString& model);
bool PoeConfigHas24Ports(const QString& model);
bool PowerSavingPerPort(const QString& model);
bool StormControlVariant(const QString& model);
bool HasBandwidthControl(const QString& model);
bool HasPortMirroring(const QString& model);
bool HasAutoSurveillanceVlan(const QString& model);

// The nine model names the module knows.
const std::vector<QString>& KnownModels();
