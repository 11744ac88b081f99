#include "popgen/ResultWriter.h"

#include <algorithm>
#include <charconv>
#include <cmath>

namespace popgen {
namespace {

// Branch lengths and distances keep six decimals; Gst values four.
constexpr int kLengthDecimals = 6;
constexpr int kGstDecimals = 4;

const char* MethodText(TreeMethod method) {
  return method == TreeMethod::NJ ? "NJ (neighbour-joining; Saitou and Nei 1987, Studier and Keppler 1988)"
                                  : "UPGMA (average linkage)";
}

const char* DistanceReference(DistanceKind kind) {
  switch (kind) {
    case DistanceKind::Da: return "Nei, Tajima and Tateno 1983";
    case DistanceKind::DstCorrected: return "Nei 1978, unbiased";
    case DistanceKind::DstUncorrected: return "Nei 1972";
    case DistanceKind::FstCorrected: return "Latter 1972, unbiased homozygosities";
    case DistanceKind::FstUncorrected: return "Latter 1972";
    case DistanceKind::Dmyu: return "Goldstein et al. 1995";
    case DistanceKind::Dsw: return "Shriver et al. 1995";
  }
  return "";
}

std::string Pad(const std::string& s, size_t width, bool left = true) {
  if (s.size() >= width) return s;
  return left ? s + std::string(width - s.size(), ' ') : std::string(width - s.size(), ' ') + s;
}

void AppendSamples(std::string& out, const std::vector<std::string>& names, SampleNames sampleNames) {
  out += "Samples: " + std::to_string(names.size()) + "\n";
  for (size_t i = 0; i < names.size(); ++i) out.append("  ").append(std::to_string(i + 1)).append(" ") += names[i] + "\n";
  if (sampleNames == SampleNames::MadeUnique) out += std::string(kNamesMadeUniqueText) + "\n";
}

// Two passes, the first for the column width, so that no cell is kept: the
// matrix of a large data set is tens of millions of cells.
void AppendMatrix(std::string& out, const TreeReport& report) {
  const int n = static_cast<int>(report.names.size());
  size_t width = 0, nameWidth = 0;
  for (int i = 0; i < n; ++i) {
    nameWidth = std::max(nameWidth, report.names[i].size() + std::to_string(i + 1).size() + 1);
    for (int j = 0; j < i; ++j) width = std::max(width, FormatFixed((*report.distances)(i, j), kLengthDecimals).size());
  }
  out += "\nDistance matrix (" + std::string(DistanceCaption(report.distance)) + "):\n";
  out.reserve(out.size() + static_cast<size_t>(n) * (nameWidth + 1) + static_cast<size_t>(n) * (n - 1) / 2 * (width + 2));
  for (int i = 0; i < n; ++i) {
    std::string line = std::to_string(i + 1) + " " + report.names[i];
    if (i > 0) line = Pad(line, nameWidth);
    out += line;
    for (int j = 0; j < i; ++j) out.append("  ").append(Pad(FormatFixed((*report.distances)(i, j), kLengthDecimals), width, false));
    out += "\n";
  }
}

}  // namespace

std::string FormatFixed(double value, int decimals) {
  char buffer[400];
  auto [end, ec] = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, decimals);
  std::string text = ec == std::errc() ? std::string(buffer, end) : std::string("0");
  if (text.front() == '-' && text.find_first_not_of("-0.") == std::string::npos) text.erase(0, 1);
  return text;
}

std::string WriteTreeResult(const TreeReport& report) {
  const Tree& tree = *report.tree;
  const int n = tree.taxa;
  const BootstrapResult* boot = report.bootstrap;
  std::string out = std::to_string(n) + " samples\n";
  for (int i = 0; i < n; ++i) out += std::to_string(i + 1) + " " + report.names[i] + "\n";
  for (size_t j = 0; j < tree.joins.size(); ++j) {
    const std::string parent = std::to_string(n + 1 + j);
    for (int c = 0; c < 2; ++c) {
      const int child = tree.joins[j].child[c];
      out.append("Branch ").append(parent).append(" and ").append(std::to_string(child + 1));
      out.append(" ").append(FormatFixed(tree.joins[j].length[c], kLengthDecimals));
      if (boot) out.append(" ").append(std::to_string(boot->support[child]));
      out += '\n';
    }
  }
  out += "Data file: " + report.dataFile + "\n";
  out += "Tree: " + std::string(MethodText(report.method)) + "\n";
  out += "Distance: " + std::string(DistanceCaption(report.distance)) + " (" + DistanceReference(report.distance) +
         ")\n";
  AppendSamples(out, report.names, report.sampleNames);
  out += "Loci: " + std::to_string(report.loci) + "\n";
  if (report.distance == DistanceKind::Dmyu || report.distance == DistanceKind::Dsw)
    out += "Allele sizes: the allele codes are used as allele sizes.\n";
  if (boot) {
    out += "Bootstrap: " + std::to_string(boot->replicates) + " replicates over loci (seed " +
           std::to_string(kBootstrapSeed) + "); support is the number of replicate trees with the " +
           (report.method == TreeMethod::NJ ? "split" : "cluster") + "\n";
    if (boot->redrawn > 0)
      out += "  " + std::to_string(boot->redrawn) +
             " resampled data sets were drawn again because a distance could not be computed in them\n";
  } else {
    out += "Bootstrap: none\n";
  }
  if (report.withMatrix) AppendMatrix(out, report);
  return out;
}

std::string WriteGstResult(const GstTable& table, const std::string& dataFile, const std::vector<std::string>& names,
                           SampleNames sampleNames, int loci) {
  std::string out = table.corrected ? "H/Gst (corrected): Nei and Chesser (1983) estimates\n"
                                    : "H/Gst (uncorrected): Nei (1973)\n";
  out += "Data file: " + dataFile + "\n";
  AppendSamples(out, names, sampleNames);
  out += "Loci: " + std::to_string(loci) + "\n\n";
  size_t nameWidth = std::string("Overall").size();
  for (const GstRow& row : table.loci) nameWidth = std::max(nameWidth, row.locus.size());
  constexpr size_t kColumn = 9;
  bool undefined = false;
  auto rowText = [&](const GstRow& row) {
    std::string line = Pad(row.locus, nameWidth) + Pad(std::to_string(row.samples), kColumn, false);
    if (row.samples == 0) return line + "  (not typed in any sample)\n";
    for (double v : {row.hs, row.ht, row.dst}) line += Pad(FormatFixed(v, kGstDecimals), kColumn, false);
    line += Pad(row.gstDefined ? FormatFixed(row.gst, kGstDecimals) : "-", kColumn, false);
    undefined |= !row.gstDefined;
    return line + "\n";
  };
  out += Pad("Locus", nameWidth) + Pad("Samples", kColumn, false) + Pad("H_S", kColumn, false) +
         Pad("H_T", kColumn, false) + Pad("D_ST", kColumn, false) + Pad("G_ST", kColumn, false) + "\n";
  for (const GstRow& row : table.loci) out += rowText(row);
  out += rowText(table.overall);
  if (undefined) out += "\n-: G_ST is not defined where H_T is 0 (no gene diversity).\n";
  return out;
}

}  // namespace popgen
