#pragma once

// Makes the security pages known to the main window's command table.
void RegisterSecurityPages();
