#pragma once

#include <QString>

// Engine start-up: net-snmp is initialised once per process, before any
// session or thread exists.
void SnmpInit(void* application);
void SetSnmpTimeout(unsigned long timeoutMs);
unsigned long GetSnmpTimeout();
bool IsSnmpInitialised();
// The folder net-snmp may write to (SNMP_PERSISTENT_DIR): inside the user's
// private runtime folder, so no other user can place files or links in it.
// Created on first use; empty when no private folder could be had.
QString SnmpStateDir();
