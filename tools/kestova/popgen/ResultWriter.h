#pragma once
// The result file, as text with LF line ends and "." as decimal separator.
//
// Tree result, for N samples:
//   line 1          "<N> samples"
//   lines 2..N+1    "<i> <name>", i from 1
//   then 2N-2 lines, two per join in join order, one per child:
//                   "Branch <p> and <k> <length>" or, with bootstrap,
//                   "Branch <p> and <k> <length> <support>"
//                   where p is the node made by the join and k the child,
//                   both numbered from 1 (taxa 1..N, join j is N+1+j), and
//                   support is the number of replicate trees with the group.
//                   For neighbour-joining the last pair holds the third node
//                   at the centre with its whole branch, then the centre with 0.
//   line 3N ..      free text: data file, method, distance, the samples
//                   (number and a line "  <i> <name>" each), loci,
//                   replicates, for Dmyu and Dsw a line saying that allele
//                   codes are used as allele sizes, and (when asked) the
//                   distance matrix.
// Gst result: the same heading lines, then a text table, one row per locus
// and an overall row.
// Where the reader made sample names unique, kNamesMadeUniqueText follows the
// list of names.

#include <string>
#include <vector>

#include "popgen/Bootstrap.h"
#include "popgen/Distances.h"
#include "popgen/Gst.h"
#include "popgen/TreeBuild.h"

namespace popgen {

enum class SampleNames { AsRead, MadeUnique };

inline constexpr const char* kNamesMadeUniqueText =
    "Names that occur in more than one sample have the sample's number appended.";

// Fixed notation with `decimals` digits after ".", never "-0.000".
std::string FormatFixed(double value, int decimals);

struct TreeReport {
  std::string dataFile;
  std::vector<std::string> names;
  SampleNames sampleNames = SampleNames::AsRead;
  TreeMethod method = TreeMethod::NJ;
  DistanceKind distance = DistanceKind::Da;
  int loci = 0;
  const Tree* tree = nullptr;
  const DistanceMatrix* distances = nullptr;
  const BootstrapResult* bootstrap = nullptr;  // nullptr: no bootstrap
  bool withMatrix = true;
};

std::string WriteTreeResult(const TreeReport& report);

std::string WriteGstResult(const GstTable& table, const std::string& dataFile, const std::vector<std::string>& names,
                           SampleNames sampleNames, int loci);

}  // namespace popgen
