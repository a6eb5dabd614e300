#include "text/index_table.h"

#include <cstdint>

#include "common/tokens.h"
#include "text/word_table.h"

namespace text {

std::vector<TableLine> temporaryTable(std::string_view base) {
  std::vector<TableLine> table;
  std::string_view current_id;
  bool take_id = false, in_words = false, want_count = false, skip_separator = false;
  // A table line is opened by a word ("id word ") and finished by the next
  // entry token ("count\n"); the flags carry over from one section to the
  // next exactly as they are, so an odd base pairs its tokens the same way.
  bool open_line = false;
  tokens::Reader reader(base);
  std::string_view t;
  while (reader.next(t)) {
    if (take_id) {
      current_id = t;
      take_id = false;
    }
    if (t == "<id>") take_id = true;
    if (t == "</mots>") in_words = false;
    if (in_words) {
      if (skip_separator) {
        skip_separator = false;
      } else if (want_count) {
        table.back().count = t;
        open_line = false;
        want_count = false;
        skip_separator = true;
      } else {
        table.push_back({current_id, t, {}});
        open_line = true;
        want_count = true;
      }
    }
    if (t == "<mots>") in_words = true;
  }
  // A word never followed by a count leaves an unfinished last line, which a
  // line count does not see: it never reaches the index.
  if (open_line) table.pop_back();
  return table;
}

std::string generateTableIndexTexte(const std::vector<TableLine>& table) {
  // Number the words (ASCII case ignored) in order of first appearance, then
  // place each line in its word's group, keeping table order inside a group.
  WordTable<true> words(table.size() / 4 + 16);
  std::vector<uint32_t> group_of(table.size());
  std::vector<uint32_t> group_size;
  size_t bytes = 0;
  for (size_t i = 0; i < table.size(); ++i) {
    const uint32_t g = words.intern(table[i].word);
    if (g == group_size.size()) group_size.push_back(0);
    ++group_size[g];
    group_of[i] = g;
    bytes += table[i].id.size() + table[i].count.size() + 4;
  }
  std::vector<size_t> start(group_size.size() + 1, 0);
  for (size_t g = 0; g < group_size.size(); ++g) start[g + 1] = start[g] + group_size[g];
  std::vector<uint32_t> ordered(table.size());
  {
    std::vector<size_t> fill(start.begin(), start.end() - 1);
    for (size_t i = 0; i < table.size(); ++i) ordered[fill[group_of[i]]++] = static_cast<uint32_t>(i);
  }

  std::string index;
  index.reserve(bytes + group_size.size() * 40);
  for (size_t g = 0; g < group_size.size(); ++g) {
    index.append("<mot> ");
    index.append(words.word(static_cast<uint32_t>(g)));
    index.append(" </mot> <key_nb> ");
    for (size_t k = start[g]; k < start[g + 1]; ++k) {
      const TableLine& line = table[ordered[k]];
      if (k != start[g]) index.append(" ; ");
      index.append(line.id);
      index.push_back(' ');
      index.append(line.count);
    }
    index.append("  </key_nb> \n");
  }
  return index;
}

std::string createTableIndexTexte(std::string_view base) {
  return generateTableIndexTexte(temporaryTable(base));
}

}  // namespace text
