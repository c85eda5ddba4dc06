#pragma once

// Makes the system (time profile, power saving, management and surveillance VLAN, device
// configuration) pages known to the main window's command table.
void RegisterSystemPages();
