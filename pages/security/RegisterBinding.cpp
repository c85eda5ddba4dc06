#include "RegisterBinding.h"

#include "Binding.h"
#include "BindingLists.h"
#include "BindingSettings.h"
#include "panel/PageRegistry.h"

namespace {

template <class Page> void Register(int commandId) {
    RegisterPage(commandId, [](QWidget* parent) { return std::make_unique<Page>(parent); });
}

} // namespace

void RegisterBindingPages() {
    RegisterBindingObjectNames();
    Register<CSmartBindingSettingsPage>(32837);
    Register<CSmartBindingPage>(32866);
    Register<CWhiteListPage>(32867);
    Register<CBlackListPage>(32868);
}
