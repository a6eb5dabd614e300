#include "sound/comparaison.h"

#include <memory>
#include <string>
#include <vector>

#include "common/parallel.h"
#include "common/paths.h"
#include "sound/base.h"
#include "sound/base_list.h"
#include "sound/bounds.h"
#include "sound/messages.h"
#include "sound/report.h"
#include "sound/score.h"
#include "sound/sound_file.h"

namespace sound {

int compare(const store::Store& store, output::Sink& sink, const std::string& path) {
  sink.out(std::string(messages::kRequestHead) + path + "\n");

  std::string text;
  if (!store.env().ReadFile(store.path(paths::kSoundDescriptors), &text).ok()) {
    sink.report(std::string(messages::kDescriptorsUnreadable) + paths::kSoundDescriptors);
    return 1;
  }
  // The query is described with the base's own parameters, not the
  // configuration's, so that both sides were cut the same way.
  const DescriptorBase base = split_descriptor_base(text);
  if (!base.header_ok) {
    sink.report(std::string(messages::kBadHeader) + paths::kSoundDescriptors + " : \"" +
                output::printable(base.samples_token) + " " +
                output::printable(base.intervals_token) + "\"");
    return 1;
  }
  const Params& params = base.params;
  const Bounds bounds(params.nbintervalles);
  Matrix query;
  if (!getMatriceFromFile(store.env(), store.path(path), bounds, params.echantillons, query).ok()) {
    sink.report(std::string(messages::kQueryUnreadable) + output::printable(path));
    return 1;
  }

  const std::vector<Matrix> sounds = read_descriptors(base);
  std::vector<Slide> slides(sounds.size());
  parallel::for_each_index(sounds.size(), [&](size_t d) { slides[d] = slide(query, sounds[d]); });

  bool any = false;
  for (const Slide& s : slides) any = any || s.detected;
  if (!any) return 0;
  std::string list;
  if (!store.env().ReadFile(store.path(paths::kSoundList), &list).ok())
    sink.report(std::string(messages::kListUnreadable) + paths::kSoundList);
  const std::vector<std::string_view> names = names_by_position(list, sounds.size());
  const float step = window_step(params.echantillons);
  for (size_t d = 0; d < slides.size(); ++d) {
    const std::string_view name = names[d].empty() ? messages::kUnnamed : names[d];
    sink.out(format_report(slides[d], query.rows, name, step));
  }
  return 0;
}

}  // namespace sound
