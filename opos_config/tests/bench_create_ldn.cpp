// How the cost of New (CreateLDN in both classes) grows with the number of LDNs: each class holds
// the keys POSPrinter80, POSPrinter80_1, ... POSPrinter80_{N-1} with an alias each, against one
// listing of the keys of both classes. The choice of the key names must be linear in N, so the
// ratio stays flat as N grows; it stays at most 2.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "support/memory_registry.h"
#include "support/fixed_system_info.h"
#include "registry_backends.h"
#include "store/ldn_record.h"
#include "store/opos_store.h"

namespace {

using namespace corvale;
using Clock = std::chrono::steady_clock;

std::u16string KeyName(std::size_t n) {
  if (n == 0) return u"POSPrinter80";
  const std::string digits = std::to_string(n);
  return u"POSPrinter80_" + std::u16string(digits.begin(), digits.end());
}

// The median of |runs| timings of |measured|; |after| runs untimed after each.
template <typename F, typename G>
double MedianMicroseconds(int runs, F&& measured, G&& after) {
  std::vector<double> times;
  for (int i = 0; i < runs; ++i) {
    const auto start = Clock::now();
    measured();
    times.push_back(std::chrono::duration<double, std::micro>(Clock::now() - start).count());
    after();
  }
  std::sort(times.begin(), times.end());
  return times[times.size() / 2];
}

bool Run(const testing::RegistryBackend& backend) {
  std::printf("%s registry\n%8s %16s %16s %8s\n", backend.name.c_str(), "N", "both listings us", "New us", "ratio");
  bool ok = true;
  for (std::size_t n : {100u, 1000u, 10000u}) {
    auto under = backend.make();
    under->RemoveTree(u"SOFTWARE\\OLEforRetail");
    FixedSystemInfo system(kArchitectureX86);
    OposStore store(under->registry(), system);
    for (const std::u16string* deviceClass : {&kPrinterClass, &kDrawerClass}) {
      const std::u16string classKey = store.ClassKeyPath(*deviceClass);
      std::unique_ptr<RegistryKey> aliases;
      under->registry().CreateKey(classKey, reg::kReadWrite, &aliases, nullptr);
      for (std::size_t i = 0; i < n; ++i) {
        std::unique_ptr<RegistryKey> key;
        under->registry().CreateKey(classKey + u"\\" + KeyName(i), reg::kReadWrite, &key, nullptr);
        const std::u16string data = KeyName(i);
        const std::string alias = "Till " + std::to_string(i);
        aliases->SetValue(std::u16string(alias.begin(), alias.end()), reg::kTypeSz,
                          reinterpret_cast<const std::uint8_t*>(data.c_str()),
                          static_cast<std::uint32_t>((data.size() + 1) * sizeof(char16_t)));
      }
    }
    const int runs = n >= 10000 ? 5 : 21;
    std::vector<std::u16string> keys;
    const double list = MedianMicroseconds(
        runs,
        [&] {
          store.ListLDNKeys(kPrinterClass, keys);
          store.ListLDNKeys(kDrawerClass, keys);
        },
        [] {});
    int printer = 0;
    int drawer = 0;
    const double create = MedianMicroseconds(
        runs,
        [&] {
          printer = store.CreateLDN(u"Bench", kPrinterClass);
          drawer = store.CreateLDN(u"Bench", kDrawerClass);
        },
        [&] {
          const LDNRecord inPrinter(store, u"Bench", kPrinterClass);
          const LDNRecord inDrawer(store, u"Bench", kDrawerClass);
          if (printer != kLdnCreated || drawer != kLdnCreated || inPrinter.KeyName != KeyName(n) ||
              inDrawer.KeyName != KeyName(n + 1)) {
            ok = false;
          }
          store.DeleteLDN(kPrinterClass, u"Bench");
          store.DeleteLDN(kDrawerClass, u"Bench");
        });
    std::printf("%8zu %16.0f %16.0f %8.2f\n", n, list, create, create / list);
    under->RemoveTree(u"SOFTWARE\\OLEforRetail");
  }
  if (!ok) std::printf("New did not choose the first key names free in both classes\n");
  return ok;
}

}  // namespace

int main() {
  bool ok = true;
  for (const testing::RegistryBackend& backend : testing::RegistryBackends()) ok = Run(backend) && ok;
  return ok ? 0 : 1;
}
