#include "store/commit.h"

namespace store {

namespace {

constexpr const char kRecordStaging[] = ".commit.new";
constexpr std::string_view kRecordHead = "commit\n";
constexpr std::string_view kRecordEnd = "end\n";

bool IsStagedName(std::string_view name) {
  return name.size() > 5 && name.front() == '.' && name.substr(name.size() - 4) == ".new";
}

// The final names a record lists, or false when it is not a whole record.
bool ParseRecord(std::string_view text, std::vector<std::string>* names) {
  names->clear();
  if (text.substr(0, kRecordHead.size()) != kRecordHead) return false;
  text.remove_prefix(kRecordHead.size());
  while (!text.empty()) {
    const size_t eol = text.find('\n');
    if (eol == std::string_view::npos) return false;
    const std::string_view line = text.substr(0, eol + 1);
    text.remove_prefix(eol + 1);
    if (line == kRecordEnd) return text.empty();
    const std::string_view name = line.substr(0, eol);
    if (name.empty() || name == "." || name == ".." || name.find('/') != std::string_view::npos)
      return false;
    names->emplace_back(name);
  }
  return false;
}

Status WriteSynced(Directory* dir, const std::string& name, std::string_view content) {
  std::unique_ptr<WritableFile> file;
  Status s = dir->Remove(name);
  if (s.ok()) s = dir->NewWritableFile(name, 0644, &file);
  if (s.ok()) s = file->Append(content);
  if (s.ok()) s = file->Sync();
  if (file) {
    Status closed = file->Close();
    if (s.ok()) s = closed;
  }
  return s;
}

}  // namespace

std::string StagedName(const std::string& name) { return "." + name + ".new"; }

Commit::~Commit() {
  if (!finished_) Abandon();
}

void Commit::Abandon() {
  for (Staged& f : staged_) {
    f.file.reset();
    dir_->Remove(StagedName(f.name));
  }
  staged_.clear();
}

Status Commit::Stage(const std::string& name, WritableFile** file) {
  const std::string staged = StagedName(name);
  // A staging file left by an earlier failure is ours to replace.
  Status s = dir_->Remove(staged);
  std::unique_ptr<WritableFile> created;
  if (s.ok()) s = dir_->NewWritableFile(staged, 0644, &created);
  if (!s.ok()) return s;
  staged_.push_back({name, std::move(created)});
  *file = staged_.back().file.get();
  return s;
}

Status Commit::Stage(const std::string& name, std::string_view content) {
  WritableFile* file = nullptr;
  Status s = Stage(name, &file);
  if (s.ok()) s = file->Append(content);
  return s;
}

Status Commit::Finish() {
  Status s;
  for (Staged& f : staged_) {
    if (s.ok()) s = f.file->Sync();
    Status closed = f.file->Close();
    if (s.ok()) s = closed;
    f.file.reset();
  }
  // With one file the rename alone is atomic: no record is needed.
  const bool recorded = staged_.size() > 1;
  if (s.ok() && recorded) {
    std::string record(kRecordHead);
    for (const Staged& f : staged_) record += f.name + "\n";
    record += kRecordEnd;
    s = WriteSynced(dir_, kRecordStaging, record);
    if (s.ok()) s = dir_->Rename(kRecordStaging, kCommitRecord);
    if (!s.ok()) dir_->Remove(kRecordStaging);
  }
  if (s.ok()) s = dir_->Sync();
  if (!s.ok()) {
    // Undecided: back to the old group. (Removing the record is safe: the
    // staged files it names have not been renamed yet.)
    if (recorded) dir_->Remove(kCommitRecord);
    Abandon();
    finished_ = true;
    return s;
  }
  finished_ = true;
  // Decided: the renames are finished here, or by Recover() when one fails.
  for (const Staged& f : staged_) {
    if (s.ok()) s = dir_->Rename(StagedName(f.name), f.name);
  }
  if (s.ok()) s = dir_->Sync();
  if (s.ok() && recorded) s = dir_->Remove(kCommitRecord);
  if (!s.ok() && !recorded && !staged_.empty()) dir_->Remove(StagedName(staged_.front().name));  // the old file stays
  staged_.clear();
  if (!s.ok() && recorded && Recover(dir_).ok()) return Status();
  return s;
}

Status CheckFreeSpace(Env& env, const std::string& dir, uint64_t bytes) {
  uint64_t free = 0;
  Status s = env.FreeSpace(dir.empty() ? "." : dir, &free);
  if (!s.ok() || bytes <= free) return Status();  // unknown room: let the writes tell
  return Status::Invalid(dir, std::to_string(bytes) + " bytes needed, " + std::to_string(free) +
                                  " bytes free");
}

bool NeedsRecovery(Directory* dir) {
  std::vector<std::string> names;
  if (!dir->List(&names).ok()) return false;
  for (const std::string& name : names)
    if (name == kCommitRecord || IsStagedName(name)) return true;
  return false;
}

Status Recover(Directory* dir) {
  std::vector<std::string> names;
  Status s = dir->List(&names);
  if (!s.ok()) return s;
  bool has_record = false;
  for (const std::string& name : names) has_record = has_record || name == kCommitRecord;
  if (has_record) {
    FileInfo info;
    std::string text;
    std::vector<std::string> group;
    const bool whole = dir->Stat(kCommitRecord, Follow::kNoLinks, &info).ok() &&
                       info.type == FileInfo::Type::kRegular &&
                       dir->ReadFile(kCommitRecord, &text, 1 << 20).ok() && ParseRecord(text, &group);
    if (whole) {
      for (const std::string& name : group) {
        FileInfo staged;
        if (!dir->Stat(StagedName(name), Follow::kNoLinks, &staged).ok()) continue;  // already renamed
        s = dir->Rename(StagedName(name), name);
        if (!s.ok()) return s;
      }
      s = dir->Sync();
      if (!s.ok()) return s;
    }
    s = dir->Remove(kCommitRecord);
    if (!s.ok()) return s;
  }
  // What is left staged belongs to no decided commit.
  for (const std::string& name : names) {
    if (!IsStagedName(name)) continue;
    s = dir->RemoveTree(name);
    if (!s.ok()) return s;
  }
  return dir->Sync();
}

}  // namespace store
