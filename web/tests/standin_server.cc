// engine-web with stand-in rankers, for the browser tests of the page: each
// ranks every item of its medium's list, in list order, so that the page's
// rendering of every medium can be checked whatever the real rankers do.
#include <string>
#include <vector>

#include "common/output.h"
#include "common/paths.h"
#include "common/tokens.h"
#include "web/cli.h"

namespace {

class ListRanker : public ranking::Ranker {
 public:
  ListRanker(const char* medium, const char* list) : medium_(medium), list_(list) {}
  const char* medium() const override { return medium_; }
  const char* ranked_file() const override { return list_; }

  Outcome Rank(std::string_view ranked, std::string_view query, ranking::Ranking* ranking,
               std::string* why) const override {
    if (query.empty()) {
      *why = "requête vide";
      return Outcome::kBadQuery;
    }
    tokens::Reader reader(ranked);
    std::string_view t, id, mark, name;
    while (reader.next(t)) {
      if (t != "<id>" || !reader.next(id)) continue;
      if (!reader.next(mark) || (mark != "</id><fichier>" && !reader.next(mark)) || !reader.next(name)) break;
      ranking::Result r;
      r.id = std::stoll(std::string(id));
      r.name = std::string(name);
      r.score = 1.0 / static_cast<double>(ranking->results.size() + 1);
      if (std::string_view(medium_) == "son") r.offset_s = 1.5;
      ranking->results.push_back(r);
    }
    ranking->match = !ranking->results.empty();
    ranking->confidence = 0.9;
    ranking->match_label = "source";
    return Outcome::kRanked;
  }

 private:
  const char* medium_;
  const char* list_;
};

}  // namespace

int main(int argc, char** argv) {
  static const ListRanker texte("texte", paths::kTextList), image("image", paths::kImageList),
      son("son", paths::kSoundList);
  output::StdSink sink("engine-web");
  return web::Main(std::vector<std::string>(argv + 1, argv + argc), sink,
                   [](const std::string& medium) -> const ranking::Ranker* {
                     if (medium == "texte") return &texte;
                     if (medium == "image") return &image;
                     if (medium == "son") return &son;
                     return nullptr;
                   });
}
