// Memory that the image requests take for small inputs announcing huge sizes:
// every allocation of this test program is counted, so a size read from a
// base or a query that drives an allocation shows as a peak far above the
// bytes of the input. (Its own program: the counting replaces operator new.)
#include <malloc.h>

#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <new>
#include <string>

#include <gtest/gtest.h>

#include "image/comparaison.h"
#include "tests/support/temp_store.h"

namespace {

std::atomic<size_t> live{0};
std::atomic<size_t> peak{0};

void* allocate(size_t n) {
  void* p = std::malloc(n == 0 ? 1 : n);
  if (p == nullptr) throw std::bad_alloc();
  const size_t now = live.fetch_add(malloc_usable_size(p)) + malloc_usable_size(p);
  size_t seen = peak.load();
  while (now > seen && !peak.compare_exchange_weak(seen, now)) {
  }
  return p;
}

void release(void* p) {
  if (p == nullptr) return;
  live.fetch_sub(malloc_usable_size(p));
  std::free(p);
}

// The most memory held at once since the call, above what was held then.
class PeakSince {
 public:
  PeakSince() : start_(live.load()) { peak.store(start_); }
  size_t bytes() const { return peak.load() - start_; }

 private:
  size_t start_;
};

// Counts the bytes of standard output without keeping them.
class CountingSink : public output::Sink {
 public:
  void out(std::string_view bytes) override { out_ += bytes.size(); }
  void err(std::string_view) override {}
  size_t out_bytes() const { return out_; }

 private:
  size_t out_ = 0;
};

}  // namespace

void* operator new(size_t n) { return allocate(n); }
void* operator new[](size_t n) { return allocate(n); }
void* operator new(size_t n, const std::nothrow_t&) noexcept {
  try {
    return allocate(n);
  } catch (const std::bad_alloc&) {
    return nullptr;
  }
}
void* operator new[](size_t n, const std::nothrow_t& tag) noexcept { return operator new(n, tag); }
void operator delete(void* p) noexcept { release(p); }
void operator delete[](void* p) noexcept { release(p); }
void operator delete(void* p, size_t) noexcept { release(p); }
void operator delete[](void* p, size_t) noexcept { release(p); }
void operator delete(void* p, const std::nothrow_t&) noexcept { release(p); }
void operator delete[](void* p, const std::nothrow_t&) noexcept { release(p); }

TEST(ImageMemory, HugeSizesInATinyBaseOrQueryCostNothing) {
  testing_support::TempStore t;
  // 2,000 records announcing two billion values each, with no value at all;
  // the grey query matches none of them.
  std::string base = "NB_BIT_RGB: 3\nNB_BIT_NB: 4\n";
  for (int id = 0; id < 2000; ++id)
    base += "<id> " + std::to_string(id) +
            " </id> <type> NB </type> <nbcolonne> 2000000000 </nbcolonne> <nbligne> 2000000000 </nbligne>"
            " <nbvaleur> 2000000000 </nbvaleur> <valeurs> </valeurs>\n";
  t.write("EXTERN_FILES/database/base_image/base_descripteur_image.txt", base);
  t.write("EXTERN_FILES/database/base_image/liste_base_image.txt",
          "<id> 0 </id> <fichier> a.txt </fichier> <type> NB </type>\n");
  t.write("work/q.txt", "1 1 1 7");
  t.write("work/huge.txt", "46000 46000 3 1 2 3");  // 6 billion values announced
  const store::Store store = t.store();
  {
    output::StringSink sink;
    const PeakSince peak;
    EXPECT_EQ(image::searchImage(store, sink, "q.txt"), 0) << sink.err_text();
    EXPECT_LT(peak.bytes(), 4 * base.size() + (1 << 20));
    const std::string& out = sink.out_text();
    EXPECT_EQ(std::count(out.begin(), out.end(), '\n'), 2001) << out.substr(0, 200);
  }
  {
    output::StringSink sink;
    const PeakSince peak;
    EXPECT_EQ(image::searchImage(store, sink, "huge.txt"), 1);
    EXPECT_LT(peak.bytes(), 4 * base.size() + (1 << 20));
  }
  {
    // One long name in the list, and every record of the base under its
    // identifier: the name is printed once per record, never held so.
    const std::string name(256 << 10, 'n');
    t.write("EXTERN_FILES/database/base_image/liste_base_image.txt",
            "<id> 0 </id> <fichier> " + name + " </fichier> <type> NB </type>\n");
    std::string same = "NB_BIT_RGB: 3\nNB_BIT_NB: 4\n";
    for (int k = 0; k < 2000; ++k) same += "<id> 0 </id> <valeurs> </valeurs>\n";
    t.write("EXTERN_FILES/database/base_image/base_descripteur_image.txt", same);
    CountingSink sink;
    const PeakSince peak;
    EXPECT_EQ(image::searchImage(store, sink, "q.txt"), 0);
    EXPECT_GT(sink.out_bytes(), 2000 * name.size());
    EXPECT_LT(peak.bytes(), 4 * (same.size() + name.size()) + (1 << 20));
  }
}
