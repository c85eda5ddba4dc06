#pragma once

// Makes the 802.1X and LLDP pages known to the main window's command table.
void RegisterManagementPages();
