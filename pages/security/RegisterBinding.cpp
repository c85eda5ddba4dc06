#include "RegisterBinding.h"

void RegisterBindingPages() {}
