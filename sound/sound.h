// Entries of the sound side used by the launcher. Each returns the request's
// exit status: 0 when it was carried out, 1 when it could not be.
#pragma once

#include <cstdint>
#include <string>

namespace sound {

class Bounds;

// "indexation": rebuilds the sound list and descriptor base.
int resetAndIndex();

// "comparaison son PATH": reports where the query occurs in indexed sounds.
int compare(const std::string& path);

// Steps of "indexation", after the base directory has been checked: reads the
// parameters, describes every listed sound and replaces both base files.
int indexFiles();

// Describes the corpus sound `name` and appends its descriptor rows (without
// the identifier line) to `rows`. False when the file cannot be read.
bool setDescriptor(const Bounds& bounds, int32_t echantillons, const std::string& name,
                   std::string& rows);

}  // namespace sound
