#include "sound/comparaison.h"

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "common/parallel.h"
#include "common/paths.h"
#include "sound/base.h"
#include "sound/base_list.h"
#include "sound/bounds.h"
#include "sound/describe.h"
#include "sound/messages.h"
#include "sound/report.h"
#include "sound/score.h"
#include "sound/sound_file.h"

namespace sound {

namespace {

// Base matrices held at once while scoring (the query aside): descriptors
// are read and scored in parallel in batches of about this many counts.
constexpr size_t kBatchCells = size_t{8} << 20;

// The descriptors that can hold the query (no fewer rows), read and scored a
// batch at a time; only the slides of the sounds found are kept, by position.
std::vector<std::pair<size_t, Slide>> slide_all(const BasePlan& plan, int n, const Matrix& query) {
  std::vector<std::pair<size_t, Slide>> found;
  const size_t cols = static_cast<size_t>(n) + 1;
  std::vector<size_t> batch;
  size_t batch_cells = 0;
  auto run = [&] {
    std::vector<Slide> slides(batch.size());
    parallel::for_each_index(batch.size(), [&](size_t i) {
      const DescriptorPlan& p = plan.descriptors[batch[i]];
      slides[i] = slide(query, read_descriptor(p.body, p.rows, n, p.first_column));
    });
    for (size_t i = 0; i < batch.size(); ++i)
      if (slides[i].detected) found.emplace_back(batch[i], std::move(slides[i]));
    batch.clear();
    batch_cells = 0;
  };
  for (size_t d = 0; d < plan.descriptors.size(); ++d) {
    const size_t rows = plan.descriptors[d].rows;
    if (rows < query.rows) continue;  // too short to hold the query: never found
    if (!batch.empty() && batch_cells + rows * cols > kBatchCells) run();
    batch.push_back(d);
    batch_cells += rows * cols;
  }
  if (!batch.empty()) run();
  return found;
}

}  // namespace

int compare(const store::Store& store, output::Sink& sink, const std::string& path) {
  sink.out(std::string(messages::kRequestHead) + sink.shown(path) + "\n");

  std::unique_ptr<store::MappedFile> mapped;
  if (!store.env().MapFile(store.path(paths::kSoundDescriptors), &mapped).ok()) {
    sink.report(std::string(messages::kDescriptorsUnreadable) + paths::kSoundDescriptors);
    return 1;
  }
  // The query is described with the base's own parameters, not the
  // configuration's, so that both sides were cut the same way.
  const DescriptorBase base = split_descriptor_base(mapped->data());
  if (!base.header_ok) {
    sink.report(std::string(messages::kBadHeader) + paths::kSoundDescriptors + " : \"" +
                output::printable(base.samples_token) + " " +
                output::printable(base.intervals_token) + "\"");
    return 1;
  }
  const Params& params = base.params;
  const int n = params.nbintervalles;
  std::unique_ptr<store::SequentialFile> file;
  if (!store.env().NewSequentialFile(store.path(path), &file).ok()) {
    sink.report(std::string(messages::kQueryUnreadable) + output::printable(path));
    return 1;
  }
  const BasePlan plan = plan_descriptors(base);
  if (plan.oversized < plan.descriptors.size()) {
    const DescriptorPlan& p = plan.descriptors[plan.oversized];
    sink.report(std::string(messages::kDescriptorsDamaged) + paths::kSoundDescriptors +
                messages::descriptor_too_long(plan.oversized, p.rows, static_cast<size_t>(n) + 1,
                                              p.body.size()));
    return 1;
  }

  // A query longer than every indexed sound can be found in none: it is
  // read through (to report a read error) but not kept.
  const Bounds bounds(n);
  MatrixRows rows(n, plan.max_rows);
  if (!getMatriceFromFile(*file, bounds, params.echantillons, rows).ok()) {
    sink.report(std::string(messages::kQueryUnreadable) + output::printable(path));
    return 1;
  }
  if (!rows.complete()) return 0;
  const Matrix query = rows.take();

  const std::vector<std::pair<size_t, Slide>> found = slide_all(plan, n, query);
  if (found.empty()) return 0;
  std::string list;
  if (!store.env().ReadFile(store.path(paths::kSoundList), &list).ok())
    sink.report(std::string(messages::kListUnreadable) + paths::kSoundList);
  const std::vector<std::string_view> names = names_by_position(list, plan.descriptors.size());
  const float step = window_step(params.echantillons);
  for (const auto& [d, s] : found) {
    const std::string_view name = names[d].empty() ? messages::kUnnamed : names[d];
    sink.out(format_report(s, query.rows, sink.shown(name), step));
  }
  return 0;
}

}  // namespace sound
