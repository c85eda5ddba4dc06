#pragma once

// Makes the 802.1X, LLDP, transfer and syslog pages known to the main window's command table.
void RegisterManagementPages();
