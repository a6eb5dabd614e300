// The sound side's files in the data store: reading the two base files and
// replacing them together.
#pragma once

#include <string>

namespace sound {

bool base_directory_exists();
bool load_descriptor_base(std::string& out);
bool load_sound_list(std::string& out);

// Replaces the descriptor base and the sound list together, crash-safe: an
// interrupted run leaves both as they were or both complete.
bool save_bases(const std::string& descriptors, const std::string& list, std::string& error);

}  // namespace sound
