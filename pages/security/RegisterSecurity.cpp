#include "RegisterSecurity.h"

void RegisterSecurityPages() {}
