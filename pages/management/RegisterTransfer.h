#pragma once

// Makes the firmware and configuration transfer and syslog pages known to the main window's command
// table.
void RegisterTransferPages();
