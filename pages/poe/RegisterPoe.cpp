#include "RegisterPoe.h"

void RegisterPoePages() {}
