// The settings behaviour over the system's profile functions and the real
// registry (HKEY_CURRENT_USER of the test's Wine prefix).
#include "common/settings_suite.h"

#include "support/SettingsStores_win.h"

namespace pvtest {

namespace {

class Win32Backend : public SettingsBackend {
public:
    std::unique_ptr<pv::IProfile> MakeProfile(pv::IFileSystem&) override {
        return std::make_unique<pv::WinProfile>();
    }
    pv::IRegistry& Registry() override { return registry_; }
    void CleanRegistry() override { registry_.DeleteValue(pv::kRunKey, pv::kRunValueName); }

private:
    pv::WinRegistry registry_;
};

}  // namespace

std::unique_ptr<SettingsBackend> MakeSettingsBackend() { return std::make_unique<Win32Backend>(); }

}  // namespace pvtest
