// The sound descriptor base and sound list readers on arbitrary bytes, read
// as a comparison reads them: planned, refused when a descriptor announces
// more counts than its bytes allow, otherwise read one descriptor at a time.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "sound/base.h"
#include "sound/base_list.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  const sound::DescriptorBase base = sound::split_descriptor_base(text);
  if (base.header_ok) {
    const sound::BasePlan plan = sound::plan_descriptors(base);
    if (plan.oversized == plan.descriptors.size()) {
      for (const sound::DescriptorPlan& p : plan.descriptors) {
        const sound::Matrix m =
            sound::read_descriptor(p.body, p.rows, base.params.nbintervalles, p.first_column);
        if (m.cells.size() != m.rows * m.cols) __builtin_trap();
      }
    }
  }
  sound::names_by_position(text, base.bodies.size());
  return 0;
}
