#pragma once

// Makes the SNMP agent pages known to the main window's command table.
void RegisterAgentPages();
