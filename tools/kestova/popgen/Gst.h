#pragma once
// Gene diversity within and between samples, per locus and overall.
//
// Uncorrected (Nei 1973), over the s samples typed at a locus:
//   H_S = mean of (1 - sum x^2), H_T = 1 - sum xbar^2 (xbar the mean
//   frequency over the samples), D_ST = H_T - H_S, G_ST = D_ST / H_T.
// Corrected (Nei and Chesser 1983), with n~ the harmonic mean of the numbers
// of individuals typed and H_O the mean observed heterozygosity:
//   H_S = n~/(n~ - 1) (1 - mean sum x^2 - H_O/(2n~))
//   H_T = 1 - sum xbar^2 + H_S/(n~ s) - H_O/(2 n~ s)
// Haploid loci take no H_O term (each individual is one allele copy).
// Overall: H_S, H_T and D_ST are means over the typed loci and
// G_ST = mean D_ST / mean H_T.
//
// G_ST is undefined where H_T is 0 (no diversity); the table marks it so.
// Corrected values need n~ > 1: a locus with fewer is a PopGenError naming it.

#include <string>
#include <vector>

#include "popgen/DataSet.h"
#include "popgen/Frequencies.h"

namespace popgen {

struct GstRow {
  std::string locus;   // "Overall" for the summary row
  int samples = 0;     // samples typed at the locus; 0 = not typed anywhere
  double hs = 0;
  double ht = 0;
  double dst = 0;
  double gst = 0;
  bool gstDefined = false;
};

struct GstTable {
  bool corrected = true;
  std::vector<GstRow> loci;
  GstRow overall;
};

GstTable ComputeGst(const DataSet& data, const Frequencies& freq, bool corrected);

}  // namespace popgen
