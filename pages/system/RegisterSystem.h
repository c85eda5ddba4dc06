#pragma once

// Makes the system (time profile, power saving, management and surveillance VLAN, mirroring, IGMP snooping, bandwidth, static MAC, device configuration) pages known to the main window's command table.
void RegisterSystemPages();
