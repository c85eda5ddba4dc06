#include "RegisterSystem.h"

void RegisterSystemPages() {}
