// Profile store speed on a real store file: one whole-profile write (one transaction
// of 27 values), and reading every profile of a 100-profile store.
#include "profiles/ProfileStore.h"
#include "registry/SqliteRegistry.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <stdexcept>
#include <string>

namespace {

// A scratch store file, removed with its directory afterwards.
class ScratchStore {
public:
    ScratchStore()
    {
        std::string tmpl = (std::filesystem::temp_directory_path() / "kesto-bench-XXXXXX").string();
        if (!mkdtemp(tmpl.data()))
            throw std::runtime_error("cannot create a scratch directory");
        m_dir = tmpl;
    }
    ~ScratchStore() { std::filesystem::remove_all(m_dir); }
    ScratchStore(const ScratchStore&) = delete;
    ScratchStore& operator=(const ScratchStore&) = delete;

    std::string file() const { return (m_dir / "registry.db").string(); }

private:
    std::filesystem::path m_dir;
};

kesto::ProfileRecord Profile(int n)
{
    kesto::ProfileRecord r;
    r.ProfileName = "Profile " + std::to_string(n);
    r.SSID = "net-" + std::to_string(n);
    r.Channel = 1 + n % 14;
    r.NetWorkKey1 = "0123456789abcdef0123456789";
    r.LoginName = "user" + std::to_string(n);
    return r;
}

void BM_WriteProfile(benchmark::State& state)
{
    ScratchStore scratch;
    kesto::SqliteRegistry registry(scratch.file());
    kesto::ProfileStore store(registry);
    int n = 0;
    for (auto _ : state)
        store.WriteProfile(Profile(n++ % 100));
}
BENCHMARK(BM_WriteProfile);

void BM_ReadHundredProfiles(benchmark::State& state)
{
    ScratchStore scratch;
    kesto::SqliteRegistry registry(scratch.file());
    kesto::ProfileStore store(registry);
    for (int n = 0; n < 100; ++n)
        store.WriteProfile(Profile(n));
    for (auto _ : state) {
        for (int n = 0; n < 100; ++n)
            benchmark::DoNotOptimize(store.ReadProfile("Profile " + std::to_string(n)).SSID);
    }
    state.SetItemsProcessed(state.iterations() * 100);
}
BENCHMARK(BM_ReadHundredProfiles);

} // namespace
