// "comparaison son PATH": where the query sound occurs in the indexed sounds.
#include <cstdio>
#include <string>
#include <vector>

#include "common/fileio.h"
#include "common/parallel.h"
#include "common/paths.h"
#include "sound/bounds.h"
#include "sound/descriptor_base.h"
#include "sound/score.h"
#include "sound/sound.h"
#include "sound/sound_file.h"
#include "sound/sound_list.h"
#include "sound/store.h"

namespace sound {

namespace {

void print(const std::string& text) { std::fwrite(text.data(), 1, text.size(), stdout); }

}  // namespace

int compare(const std::string& path) {
  print("Requête : " + path + "\n");

  std::string text;
  if (!load_descriptor_base(text)) {
    fileio::report(std::string("base de descripteurs son illisible : ") +
                   paths::kSoundDescriptors);
    return 1;
  }
  // The query is described with the base's own parameters, not the
  // configuration's, so that both sides were cut the same way.
  const DescriptorBase base = split_descriptor_base(text);
  if (!base.header_ok) {
    fileio::report("en-tête incorrect dans " + std::string(paths::kSoundDescriptors) + " : \"" +
                   fileio::printable(base.samples_token) + " " +
                   fileio::printable(base.intervals_token) + "\"");
    return 1;
  }
  const Params& params = base.params;
  const Bounds bounds(params.nbintervalles);
  Matrix query;
  if (!getMatriceFromFile(bounds, params.echantillons, path, query)) {
    fileio::report("fichier son illisible : " + fileio::printable(path));
    return 1;
  }

  const std::vector<Matrix> sounds = read_descriptors(base);
  std::vector<Slide> slides(sounds.size());
  parallel::for_each_index(sounds.size(), [&](size_t d) { slides[d] = slide(query, sounds[d]); });

  bool any = false;
  for (const Slide& s : slides) any = any || s.detected;
  if (!any) return 0;
  std::string list;
  if (!load_sound_list(list))
    fileio::report(std::string("liste des sons illisible : ") + paths::kSoundList);
  const std::vector<std::string_view> names = names_by_position(list, sounds.size());
  const float step = window_step(params.echantillons);
  for (size_t d = 0; d < slides.size(); ++d) {
    const std::string_view name = names[d].empty() ? std::string_view("?") : names[d];
    print(format_report(slides[d], query.rows, name, step));
  }
  return 0;
}

}  // namespace sound
