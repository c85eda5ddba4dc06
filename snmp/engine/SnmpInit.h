#pragma once

// Engine start-up: net-snmp is initialised once per process, before any
// session or thread exists.
void SnmpInit(void* application);
void SetSnmpTimeout(unsigned long timeoutMs);
unsigned long GetSnmpTimeout();
bool IsSnmpInitialised();
