#include "keyword/document.h"

#include "common/paths.h"
#include "common/tokens.h"
#include "keyword/editor.h"
#include "keyword/messages.h"
#include "keyword/tostring.h"
#include "store/status.h"

namespace keyword {

namespace {

bool wants_to_open(output::Sink& sink, const std::function<int()>& next_answer_byte) {
  for (;;) {
    sink.out(messages::kPrompt);
    int c;
    do {
      c = next_answer_byte();
    } while (c >= 0 && tokens::is_space(static_cast<unsigned char>(c)));
    if (c < 0 || c == '0') return false;
    if (c == '1') return true;
  }
}

}  // namespace

void load_text_list(const store::Store& store, LoadedList& list) {
  list.readable = store.env().ReadFile(store.path(paths::kTextList), &list.bytes).ok();
  if (!list.readable) list.bytes.clear();
  list.names = read_text_list(list.bytes);
}

void show_document(const store::Store& store, output::Sink& sink, const Found& document, bool list_readable,
                   const std::function<int()>& next_answer_byte) {
  if (!list_readable) {
    sink.out(messages::kListProblem);
    return;
  }
  if (!document.named) {
    std::string line(messages::kAbsentBefore);
    line += tostring(document.id);
    line += messages::kAbsentAfter;
    sink.out(line);
    return;
  }
  // A name's control bytes could drive a person's terminal: shown escaped
  // there, unchanged for a program reading the output.
  std::string shown = "\n";
  shown += sink.shown(document.name);
  shown += "\n";
  sink.out(shown);
  if (!wants_to_open(sink, next_answer_byte)) return;

  // The editor runs from our working directory, so it gets the path as the
  // store reaches the document; the message shows the layout path.
  const std::string layout = std::string(paths::kTextCorpus) + document.name;
  const int error = start_in_background(messages::kEditor, store.path(layout));
  if (error != 0) {
    sink.report(std::string(messages::kEditorFailed) +
                output::printable(store::Status::Error(layout, error).ToString()));
  }
}

}  // namespace keyword
