#pragma once

// Makes every page known to the main window's command table. Called once at
// start-up, before the main window runs.
void RegisterAllPages();
