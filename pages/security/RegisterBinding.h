#pragma once

// Makes the smart binding pages known to the main window's command table.
void RegisterBindingPages();
