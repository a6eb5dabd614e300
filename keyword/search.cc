#include <cstdio>
#include <string>
#include <vector>

#include "common/fileio.h"
#include "common/paths.h"
#include "keyword/document.h"
#include "keyword/index_reader.h"
#include "keyword/keyword.h"

namespace keyword {

int byword(const std::string& word) {
  std::string index;
  if (!fileio::read_file(paths::kTextIndex, index)) {
    // The end of line comes before the final blank, as the message has it.
    std::fputs("probleme in opening the file \n ", stdout);
    std::fputs("mot non trouvé \n", stdout);
    return 1;
  }
  const Lookup lookup = find_word(index, word);
  if (!lookup.found) {
    std::fputs("mot non trouvé \n", stdout);
    return 0;
  }

  std::vector<int> counts, ids;
  for (const Hit& hit : lookup.hits) {
    counts.push_back(hit.count);
    ids.push_back(hit.id);
  }
  const int n = static_cast<int>(ids.size());
  tricroissant(counts.data(), ids.data(), n);

  // Highest count first; the list is read once for all the documents.
  LoadedList list;
  load_text_list(list);
  for (int k = n - 1; k >= 0; --k) show_document(ids[k], list);
  return 0;
}

}  // namespace keyword
