#pragma once
// The tool's command line and one whole run.
//
//   kestova <data file> [-b<n>] (-h | -hu | -d0 .. -d6) -o <result file> [-upg] [-distance]
//
// in this order or any other:
//   -b<n>       bootstrap over loci with n replicates (1..1000000); trees only
//   -h / -hu    H/Gst, corrected / uncorrected
//   -d0 .. -d6  distance and tree: Da, Dst (corrected), Dst (uncorrected),
//               Fst (corrected), Fst (uncorrected), Dmyu, Dsw
//   -o <path>   where to write the result ("-o<path>" also works)
//   -upg        UPGMA instead of neighbour-joining
//   -distance   add the distance matrix to the result text (ignored by H/Gst)
//
// On success the result file is written and nothing else is printed. Any
// problem is one message on the error stream and no result file.

#include <ostream>
#include <string>
#include <vector>

#include "popgen/DataSet.h"
#include "popgen/Distances.h"

namespace popgen {

enum class Analysis { None, GstCorrected, GstUncorrected, Distance };

struct Options {
  std::string dataFile;
  int replicates = 0;  // 0: no bootstrap
  Analysis analysis = Analysis::None;
  DistanceKind distance = DistanceKind::Da;
  std::string resultPath;
  bool upgma = false;
  bool distanceMatrix = false;
};

inline constexpr int kMaxReplicates = 1000000;
// Node numbers of the result's readers are 16-bit: 2N-1 nodes must fit.
inline constexpr int kMaxTreeSamples = 16384;

extern const char* const kUsageText;

// `args` excludes the program name. Throws UsageError.
Options ParseCommandLine(const std::vector<std::string>& args);

// The result text of `options` for `data`. Throws PopGenError.
std::string RunAnalysis(const Options& options, const DataSet& data, int threads = 0);

// Parses, reads, computes and writes the result file; a failure goes to `err`
// as one message. Returns 0 on success, 1 for a problem with the data or the
// computation, 2 for a bad command line.
int RunTool(const std::vector<std::string>& args, std::ostream& err, int threads = 0);

}  // namespace popgen
