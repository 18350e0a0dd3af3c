// The settings behaviour over the portable INI profile and an in-memory registry.
#include "common/settings_suite.h"

#include "support/IniProfile.h"

namespace pvtest {

namespace {

class PortableBackend : public SettingsBackend {
public:
    std::unique_ptr<pv::IProfile> MakeProfile(pv::IFileSystem& fs) override {
        return std::make_unique<pv::IniProfile>(fs);
    }
    pv::IRegistry& Registry() override { return registry_; }
    void CleanRegistry() override { registry_.values.clear(); }

private:
    MemoryRegistry registry_;
};

}  // namespace

std::unique_ptr<SettingsBackend> MakeSettingsBackend() { return std::make_unique<PortableBackend>(); }

}  // namespace pvtest
