#pragma once

// Makes the spanning-tree, jumbo-frame and multicast-filtering pages known to the main window's command table.
void RegisterLayer2Pages();
