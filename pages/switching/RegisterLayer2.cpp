#include "RegisterLayer2.h"

void RegisterLayer2Pages() {}
