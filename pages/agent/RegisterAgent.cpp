#include "RegisterAgent.h"

void RegisterAgentPages() {}
