#include "popgen/Gst.h"

#include <cmath>

#include "popgen/Error.h"

namespace popgen {
namespace {

// H_T this close to 0 means a locus without diversity; the rest is rounding.
constexpr double kNoDiversity = 1e-12;

void SetGst(GstRow& row) {
  row.dst = row.ht - row.hs;
  row.gstDefined = std::abs(row.ht) > kNoDiversity;
  row.gst = row.gstDefined ? row.dst / row.ht : 0;
}

}  // namespace

GstTable ComputeGst(const DataSet& data, const Frequencies& freq, bool corrected) {
  GstTable table;
  table.corrected = corrected;
  double sumHs = 0, sumHt = 0;
  int typedLoci = 0;
  for (size_t l = 0; l < freq.loci.size(); ++l) {
    const LocusAlleles& locus = freq.loci[l];
    GstRow row;
    row.locus = data.loci[l].name;
    std::vector<double> mean(locus.codes.size(), 0.0);
    double meanHomozygosity = 0, meanObserved = 0, inverseSizes = 0;
    for (const auto& sample : freq.samples) {
      const SampleLocus& cell = sample[l];
      if (!cell.Typed()) continue;
      ++row.samples;
      double homozygosity = 0;
      for (size_t a = 0; a < cell.freq.size(); ++a) {
        homozygosity += cell.freq[a] * cell.freq[a];
        mean[a] += cell.freq[a];
      }
      meanHomozygosity += homozygosity;
      meanObserved += cell.observedHeterozygosity;
      inverseSizes += 1 / cell.individuals;
    }
    if (row.samples == 0) {
      table.loci.push_back(row);
      continue;
    }
    const double s = row.samples;
    meanHomozygosity /= s;
    meanObserved /= s;
    double totalHomozygosity = 0;
    for (double& m : mean) {
      m /= s;
      totalHomozygosity += m * m;
    }
    if (!corrected) {
      row.hs = 1 - meanHomozygosity;
      row.ht = 1 - totalHomozygosity;
    } else {
      const double n = s / inverseSizes;
      if (n <= 1)
        throw PopGenError("H/Gst (corrected) cannot be computed at locus \"" + row.locus +
                          "\": the harmonic mean number of individuals typed per sample is 1 or less.");
      const double ho = locus.ploidy == 2 ? meanObserved : 0;
      row.hs = n / (n - 1) * (1 - meanHomozygosity - ho / (2 * n));
      row.ht = 1 - totalHomozygosity + row.hs / (n * s) - ho / (2 * n * s);
    }
    SetGst(row);
    sumHs += row.hs;
    sumHt += row.ht;
    ++typedLoci;
    table.loci.push_back(row);
  }
  table.overall.locus = "Overall";
  table.overall.samples = static_cast<int>(freq.samples.size());
  if (typedLoci > 0) {
    table.overall.hs = sumHs / typedLoci;
    table.overall.ht = sumHt / typedLoci;
  }
  SetGst(table.overall);
  return table;
}

}  // namespace popgen
