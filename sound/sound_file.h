// Reading a sound file once, in chunks, into its histograms.
#pragma once

#include <cstdint>
#include <memory>

#include "sound/bounds.h"
#include "sound/describe.h"
#include "sound/matrix.h"
#include "sound/ranking/samples.h"
#include "store/env.h"

namespace sound {

// Describes the opened sound `file` to its end, handing each row to `rows`
// and, when given, every byte read to `samples` (the ranked search's
// fingerprint is made from the same single read). On a read error returns
// its status (rows already handed on stay so).
store::Status describe_file(store::SequentialFile& file, const Bounds& bounds,
                            int32_t echantillons, RowSink& rows,
                            sound_ranking::SampleCollector* samples = nullptr);

// describe_file into a matrix, with room made beforehand for the rows the
// file's size gives (never more than rows keeps).
store::Status getMatriceFromFile(store::SequentialFile& file, const Bounds& bounds,
                                 int32_t echantillons, MatrixRows& rows);

}  // namespace sound
