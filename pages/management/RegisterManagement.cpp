#include "RegisterManagement.h"

void RegisterManagementPages() {}
