#pragma once

// Makes the port mirroring, IGMP snooping, bandwidth control and static MAC pages known to the main
// window's command table.
void RegisterTrafficPages();
