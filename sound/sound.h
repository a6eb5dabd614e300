// Entries of the sound side used by the launcher. Each returns the request's
// exit status: 0 when it was carried out, 1 when it could not be.
#pragma once

#include <string>

namespace sound {

// "indexation": rebuilds the sound list and descriptor base.
int resetAndIndex();

// "comparaison son PATH": reports where the query occurs in indexed sounds.
int compare(const std::string& path);

}  // namespace sound
