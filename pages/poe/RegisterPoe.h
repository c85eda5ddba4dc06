#pragma once

// Makes the PoE pages known to the main window's command table.
void RegisterPoePages();
