#include "popgen/Analysis.h"

#include <charconv>
#include <new>

#include "popgen/Bootstrap.h"
#include "popgen/Error.h"
#include "popgen/Frequencies.h"
#include "popgen/GenePopReader.h"
#include "popgen/Gst.h"
#include "popgen/ResultFile.h"
#include "popgen/ResultWriter.h"
#include "popgen/TreeBuild.h"

namespace popgen {

const char* const kUsageText =
    "usage: kestova <data file> [-b<replicates>] (-h | -hu | -d0 .. -d6) -o <result file> [-upg] [-distance]";

namespace {

void SetAnalysis(Options& options, Analysis analysis, const std::string& arg) {
  if (options.analysis != Analysis::None) throw UsageError("more than one analysis given (\"" + arg + "\").");
  options.analysis = analysis;
}

std::vector<std::string> SampleNamesOf(const DataSet& data) {
  std::vector<std::string> names;
  names.reserve(data.samples.size());
  for (const Sample& sample : data.samples) names.push_back(sample.name);
  return names;
}

SampleNames NamesOf(const DataSet& data) {
  return data.namesMadeUnique ? SampleNames::MadeUnique : SampleNames::AsRead;
}

std::string RunGst(const Options& options, const DataSet& data) {
  const Frequencies freq = ComputeFrequencies(data);
  const GstTable table = ComputeGst(data, freq, options.analysis == Analysis::GstCorrected);
  bool typed = false;
  for (const GstRow& row : table.loci) typed |= row.samples > 0;
  if (!typed) throw PopGenError("\"" + options.dataFile + "\" holds no typed allele at any locus.");
  return WriteGstResult(table, options.dataFile, SampleNamesOf(data), NamesOf(data),
                        static_cast<int>(data.loci.size()));
}

std::string RunDistance(const Options& options, const DataSet& data, int threads) {
  const int n = static_cast<int>(data.samples.size());
  if (n < 2)
    throw PopGenError("A tree needs at least two samples; \"" + options.dataFile + "\" holds one.");
  if (n > kMaxTreeSamples)
    throw PopGenError("\"" + options.dataFile + "\" holds " + std::to_string(n) + " samples; a tree takes at most " +
                      std::to_string(kMaxTreeSamples) + ".");
  // The terms are kept for the bootstrap only; one pass needs them once.
  const PairTerms terms = BuildPairTerms(data, ComputeFrequencies(data), options.distance,
                                         options.replicates > 0 ? PairTermCache::IfSmall : PairTermCache::Never);
  DistanceMatrix distances(n);
  if (auto failure = ComputeDistances(terms, nullptr, distances))
    throw PopGenError(DescribeFailure(options.distance, *failure, data));
  const TreeMethod method = options.upgma ? TreeMethod::UPGMA : TreeMethod::NJ;
  const Tree tree = options.distanceMatrix ? TreeBuilder().Build(distances, method)
                                           : TreeBuilder().BuildInPlace(distances, method);

  BootstrapResult boot;
  if (options.replicates > 0) {
    boot = Bootstrap(terms, method, tree, options.replicates, kBootstrapSeed, threads);
    if (boot.failure)
      throw PopGenError("Bootstrap replicate " + std::to_string(boot.failedReplicate) + " failed in " +
                        std::to_string(kMaxRedraws + 1) + " resampled data sets in a row. " +
                        DescribeFailure(options.distance, *boot.failure, data));
  }
  TreeReport report;
  report.dataFile = options.dataFile;
  report.names = SampleNamesOf(data);
  report.sampleNames = NamesOf(data);
  report.method = method;
  report.distance = options.distance;
  report.loci = static_cast<int>(data.loci.size());
  report.tree = &tree;
  report.distances = options.distanceMatrix ? &distances : nullptr;  // else spent by the tree
  report.bootstrap = options.replicates > 0 ? &boot : nullptr;
  report.withMatrix = options.distanceMatrix;
  return WriteTreeResult(report);
}

}  // namespace

Options ParseCommandLine(const std::vector<std::string>& args) {
  Options options;
  bool haveResult = false;
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (arg.size() > 2 && arg.compare(0, 2, "-b") == 0) {
      const char* first = arg.data() + 2;
      const char* last = arg.data() + arg.size();
      int n = 0;
      auto [end, ec] = std::from_chars(first, last, n);
      if (ec != std::errc() || end != last || n < 1 || n > kMaxReplicates)
        throw UsageError("the replicate count in \"" + arg + "\" must be a whole number from 1 to " +
                         std::to_string(kMaxReplicates) + ".");
      options.replicates = n;
    } else if (arg == "-h") {
      SetAnalysis(options, Analysis::GstCorrected, arg);
    } else if (arg == "-hu") {
      SetAnalysis(options, Analysis::GstUncorrected, arg);
    } else if (arg.size() == 3 && arg[0] == '-' && arg[1] == 'd' && arg[2] >= '0' && arg[2] < '0' + kDistanceKinds) {
      SetAnalysis(options, Analysis::Distance, arg);
      options.distance = static_cast<DistanceKind>(arg[2] - '0');
    } else if (arg == "-o" || (arg.size() > 2 && arg.compare(0, 2, "-o") == 0)) {
      if (arg == "-o") {
        if (i + 1 == args.size()) throw UsageError("\"-o\" needs the path of the result file.");
        options.resultPath = args[++i];
      } else {
        options.resultPath = arg.substr(2);
      }
      haveResult = true;
    } else if (arg == "-upg") {
      options.upgma = true;
    } else if (arg == "-distance") {
      options.distanceMatrix = true;
    } else if (!arg.empty() && arg[0] == '-') {
      throw UsageError("unknown option \"" + arg + "\".");
    } else {
      if (!options.dataFile.empty()) throw UsageError("more than one data file given (\"" + arg + "\").");
      options.dataFile = arg;
    }
  }
  if (options.dataFile.empty()) throw UsageError("no data file given.");
  if (options.analysis == Analysis::None) throw UsageError("no analysis given (-h, -hu or -d0 .. -d6).");
  if (!haveResult || options.resultPath.empty()) throw UsageError("no result file given (-o <path>).");
  return options;
}

std::string RunAnalysis(const Options& options, const DataSet& data, int threads) {
  return options.analysis == Analysis::Distance ? RunDistance(options, data, threads) : RunGst(options, data);
}

int RunTool(const std::vector<std::string>& args, std::ostream& err, int threads) {
  try {
    const Options options = ParseCommandLine(args);
    const DataSet data = ReadGenePopFile(options.dataFile);
    WriteResultFile(options.resultPath, RunAnalysis(options, data, threads));
    return 0;
  } catch (const UsageError& e) {
    err << "kestova: " << e.what() << "\n" << kUsageText << "\n";
    return 2;
  } catch (const PopGenError& e) {
    err << "kestova: " << e.what() << "\n";
  } catch (const std::bad_alloc&) {
    err << "kestova: not enough memory for this data set.\n";
  } catch (const std::exception& e) {
    err << "kestova: unexpected error: " << e.what() << "\n";
  }
  return 1;
}

}  // namespace popgen
