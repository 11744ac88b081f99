#pragma once
// Synthetic GENEPOP data for the benchmarks: samples whose allele
// frequencies drift away from a common pool, 30 diploid individuals each,
// 3-digit allele sizes (100, 102, ... 118). Deterministic for a seed.

#include <cstdint>
#include <string>

#include "popgen/DataSet.h"

namespace popgen {

DataSet MakeSyntheticData(int samples, int loci, std::uint64_t seed = 12345);

// The data set as GENEPOP text, one individual a line.
std::string GenePopText(const DataSet& data);

}  // namespace popgen
