#include "RegisterTransfer.h"

void RegisterTransferPages() {}
