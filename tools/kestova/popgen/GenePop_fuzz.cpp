// Fuzz target: GENEPOP text in, through the reader and, for small data sets,
// through every analysis the tool offers. A PopGenError is the expected
// answer to bad input; anything else (a crash, a sanitizer report, another
// exception) is a fault.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "popgen/Analysis.h"
#include "popgen/Error.h"
#include "popgen/GenePopReader.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* bytes, size_t size) {
  if (size == 0) return 0;
  // The first byte picks the analysis; the rest is the file.
  const uint8_t pick = bytes[0];
  const std::string_view text(reinterpret_cast<const char*>(bytes) + 1, size - 1);
  popgen::DataSet data;
  try {
    data = popgen::ReadGenePop(text, "fuzz.gen");
  } catch (const popgen::PopGenError&) {
    return 0;
  }
  size_t individuals = 0;
  for (const popgen::Sample& sample : data.samples) individuals += sample.individuals.size();
  if (data.samples.size() > 40 || data.loci.size() > 40 || individuals > 400) return 0;

  popgen::Options options;
  options.dataFile = "fuzz.gen";
  options.resultPath = "unused";
  const int kind = pick % (popgen::kDistanceKinds + 2);
  if (kind < popgen::kDistanceKinds) {
    options.analysis = popgen::Analysis::Distance;
    options.distance = static_cast<popgen::DistanceKind>(kind);
    options.upgma = (pick & 0x10) != 0;
    options.replicates = (pick & 0x20) ? 3 : 0;
    options.distanceMatrix = (pick & 0x40) != 0;
  } else {
    options.analysis =
        kind == popgen::kDistanceKinds ? popgen::Analysis::GstCorrected : popgen::Analysis::GstUncorrected;
  }
  try {
    const std::string result = popgen::RunAnalysis(options, data, 1);
    if (result.empty()) __builtin_trap();
  } catch (const popgen::PopGenError&) {
  }
  return 0;
}
