#include "RegisterTraffic.h"

void RegisterTrafficPages() {}
