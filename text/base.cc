#include "text/base.h"

#include <charconv>

#include "common/tokens.h"

namespace text {

namespace {

void append_number(std::string& out, int64_t value) {
  char buf[24];
  const auto r = std::to_chars(buf, buf + sizeof buf, value);
  out.append(buf, r.ptr);
}

}  // namespace

std::string registrationLine(size_t id, std::string_view name) {
  std::string line = "<id> ";
  append_number(line, static_cast<int64_t>(id));
  line.append(" </id> <filename> ");
  line.append(name);
  line.append(" </filename>\n");
  return line;
}

std::string descriptorRecord(int64_t id, std::string_view word_list) {
  std::string record = "<debut> <id> ";
  append_number(record, id);
  record.append(" </id> <mots> ");
  record.append(word_list);
  record.append("  </mots> </fin>\n");
  return record;
}

void empilerDescripteurs(std::string_view base, PILE_TAVREN* pile) {
  tokens::Reader reader(base);
  std::string record;
  std::string_view t;
  while (reader.next(t)) {
    if (t == "<id>") {
      record.clear();
      if (reader.next(t)) record.append(t);
      record.push_back(' ');
    } else if (t == "<mots>") {
      while (reader.next(t) && t != "</mots>") {
        record.append(t);
        record.push_back(' ');
      }
    } else if (t == "</fin>") {
      EMPILE_TAVREN(pile, record);
    }
  }
}

std::vector<std::string_view> queryWords(std::string_view descriptor) {
  std::vector<std::string_view> words;
  tokens::Reader reader(descriptor);
  std::string_view t;
  while (reader.next(t)) {
    if (t != "<mots>") continue;
    std::string_view word, skipped;
    while (reader.next(word) && word != "</mots>") {
      words.push_back(word);
      // The entry's count and separator are passed over, not compared.
      if (!reader.next(skipped) || !reader.next(skipped)) break;
    }
  }
  return words;
}

}  // namespace text
