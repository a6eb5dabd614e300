// The API of the web page over one data store, independent of the HTTP
// library: each route is a method from the request's values to a Reply.
// Every method takes the store lock as the command line does, with a fresh
// lock per call (shared for searches and media, exclusive for indexation),
// so the page and `engine` can work on the same store at once.
#pragma once

#include <functional>
#include <string>
#include <string_view>

#include "ranking/ranker.h"
#include "store/store.h"
#include "web/reply.h"

namespace web {

// The ranker of a medium, or null when it is not available.
using RankerLookup = std::function<const ranking::Ranker*(const std::string& medium)>;

class Service {
 public:
  // `store_path` is what /api/etat names the store by.
  Service(const store::Store& store, std::string store_path, RankerLookup rankers);

  // POST /api/classement/MEDIUM?max=N&nom=NAME with the query's bytes.
  Reply Classement(const std::string& medium, const Params& params, std::string_view body) const;
  // GET /api/recherche?mot=W
  Reply Recherche(const Params& params) const;
  // GET /api/media/MEDIUM/SEGMENT ("ID.png", "ID.wav" or "ID").
  Reply Media(const std::string& medium, std::string_view segment) const;
  // POST /api/indexation
  Reply Indexation() const;
  // GET /api/etat
  Reply Etat() const;

 private:
  const store::Store& store_;
  std::string store_path_;
  RankerLookup rankers_;
};

}  // namespace web
