#include "popgen/GenePopReader.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <unordered_map>
#include <vector>

#include "popgen/Error.h"

namespace popgen {
namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

std::string_view Trim(std::string_view s) {
  while (!s.empty() && (IsBlank(s.front()) || static_cast<unsigned char>(s.front()) < 32)) s.remove_prefix(1);
  while (!s.empty() && (IsBlank(s.back()) || static_cast<unsigned char>(s.back()) < 32)) s.remove_suffix(1);
  return s;
}

std::vector<std::string_view> SplitLines(std::string_view text) {
  std::vector<std::string_view> lines;
  size_t start = 0;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\r' || text[i] == '\n') {
      lines.push_back(text.substr(start, i - start));
      if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
      start = i + 1;
    }
  }
  if (start < text.size()) lines.push_back(text.substr(start));
  return lines;
}

std::vector<std::string_view> SplitBlanks(std::string_view s) {
  std::vector<std::string_view> tokens;
  size_t i = 0;
  while (i < s.size()) {
    while (i < s.size() && IsBlank(s[i])) ++i;
    size_t start = i;
    while (i < s.size() && !IsBlank(s[i])) ++i;
    if (i > start) tokens.push_back(s.substr(start, i - start));
  }
  return tokens;
}

bool IsPopLine(std::string_view line) {
  return line.size() == 3 && std::tolower(static_cast<unsigned char>(line[0])) == 'p' &&
         std::tolower(static_cast<unsigned char>(line[1])) == 'o' &&
         std::tolower(static_cast<unsigned char>(line[2])) == 'p';
}

class Parser {
 public:
  Parser(std::string_view text, const std::string& fileName) : fileName_(fileName) {
    if (text.substr(0, 3) == "\xEF\xBB\xBF") text.remove_prefix(3);
    lines_ = SplitLines(text);
  }

  DataSet Run() {
    if (lines_.empty()) throw PopGenError(Quoted(fileName_) + " is empty.");
    data_.title = std::string(Trim(lines_[0]));
    size_t i = 1;
    for (; i < lines_.size(); ++i) {
      std::string_view line = Trim(lines_[i]);
      if (line.empty()) continue;
      if (IsPopLine(line)) break;
      ReadLocusNames(line);
    }
    if (data_.loci.empty())
      throw PopGenError(Quoted(fileName_) + ": no locus names before the first \"Pop\" line.");
    if (i == lines_.size())
      throw PopGenError(Quoted(fileName_) + ": no \"Pop\" line, so the file holds no sample.");
    for (; i < lines_.size(); ++i) {
      line_ = static_cast<int>(i) + 1;
      std::string_view line = Trim(lines_[i]);
      if (line.empty()) continue;
      if (IsPopLine(line)) {
        FinishSample();
        data_.samples.emplace_back();
        data_.samples.back().line = line_;
        continue;
      }
      size_t comma = line.find(',');
      if (comma != std::string_view::npos) {
        FinishIndividual();
        Individual individual;
        individual.name = std::string(Trim(line.substr(0, comma)));
        individual.line = line_;
        data_.samples.back().individuals.push_back(std::move(individual));
        ReadGenotypes(line.substr(comma + 1));
      } else if (!data_.samples.back().individuals.empty() &&
                 data_.samples.back().individuals.back().genotypes.size() < data_.loci.size()) {
        ReadGenotypes(line);  // continuation of the individual above
      } else {
        Fail("expected an individual as \"name , genotypes\" but found no comma.");
      }
    }
    FinishSample();
    MakeNamesUnique();
    return std::move(data_);
  }

 private:
  static std::string Quoted(std::string_view s) {
    std::string text = "\"";
    text.append(s);
    return text += '"';
  }

  [[noreturn]] void Fail(const std::string& what) const {
    throw PopGenError(Quoted(fileName_) + ", line " + std::to_string(line_) + ": " + what);
  }

  void ReadLocusNames(std::string_view line) {
    size_t start = 0;
    while (start <= line.size()) {
      size_t comma = line.find(',', start);
      if (comma == std::string_view::npos) comma = line.size();
      std::string_view name = Trim(line.substr(start, comma - start));
      if (!name.empty()) data_.loci.push_back(Locus{std::string(name)});
      start = comma + 1;
    }
  }

  void ReadGenotypes(std::string_view text) {
    Individual& individual = data_.samples.back().individuals.back();
    for (std::string_view token : SplitBlanks(text)) {
      if (individual.genotypes.size() == data_.loci.size())
        Fail("individual \"" + individual.name + "\" has more genotypes than the " +
             std::to_string(data_.loci.size()) + " loci listed.");
      size_t digits = token.size();
      bool allDigits = std::all_of(token.begin(), token.end(), [](char c) { return c >= '0' && c <= '9'; });
      if (!allDigits || (digits != 2 && digits != 3 && digits != 4 && digits != 6))
        Fail(Quoted(token) + " is not a genotype (2, 3, 4 or 6 digits expected).");
      const int ploidy = digits >= 4 ? 2 : 1;
      const int width = static_cast<int>(digits) / ploidy;
      Locus& locus = data_.loci[individual.genotypes.size()];
      if (locus.ploidy == 0) {
        locus.ploidy = ploidy;
        locus.alleleDigits = width;
      } else if (locus.ploidy != ploidy || locus.alleleDigits != width) {
        Fail("genotype " + Quoted(token) + " of locus " + Quoted(locus.name) + " has " +
             std::to_string(digits) + " digits, but earlier genotypes of that locus have " +
             std::to_string(locus.ploidy * locus.alleleDigits) + ".");
      }
      Genotype genotype;
      genotype.first = std::stoi(std::string(token.substr(0, width)));
      if (ploidy == 2) genotype.second = std::stoi(std::string(token.substr(width)));
      individual.genotypes.push_back(genotype);
    }
  }

  void FinishIndividual() {
    if (data_.samples.empty() || data_.samples.back().individuals.empty()) return;
    const Individual& individual = data_.samples.back().individuals.back();
    if (individual.genotypes.size() != data_.loci.size())
      throw PopGenError(Quoted(fileName_) + ", line " + std::to_string(individual.line) + ": individual \"" +
                        individual.name + "\" has " + std::to_string(individual.genotypes.size()) +
                        " genotypes, but " + std::to_string(data_.loci.size()) + " loci are listed.");
  }

  void FinishSample() {
    if (data_.samples.empty()) return;
    FinishIndividual();
    Sample& sample = data_.samples.back();
    if (sample.individuals.empty())
      throw PopGenError(Quoted(fileName_) + ", line " + std::to_string(sample.line) +
                        ": the sample that starts here has no individuals.");
    sample.name = sample.individuals.back().name;
    if (sample.name.empty()) sample.name = "Pop " + std::to_string(data_.samples.size());
  }

  void MakeNamesUnique() {
    std::vector<Sample>& samples = data_.samples;
    for (;;) {
      std::unordered_map<std::string_view, int> count;
      for (const Sample& sample : samples) ++count[sample.name];
      std::vector<size_t> shared;
      for (size_t s = 0; s < samples.size(); ++s)
        if (count[samples[s].name] > 1) shared.push_back(s);
      if (shared.empty()) return;
      // Appended numbers differ between samples, so each round ends every
      // clash among the renamed; only a name already in the file can clash
      // again, and it is renamed in the next round.
      for (size_t s : shared) samples[s].name += "_" + std::to_string(s + 1);
      data_.namesMadeUnique = true;
    }
  }

  const std::string& fileName_;
  std::vector<std::string_view> lines_;
  DataSet data_;
  int line_ = 0;
};

}  // namespace

DataSet ReadGenePop(std::string_view text, const std::string& fileName) {
  return Parser(text, fileName).Run();
}

DataSet ReadGenePopFile(const std::string& path) {
  // A folder opens like a file here and reads as nothing, so it would be
  // reported as an empty file.
  std::error_code ec;
  if (std::filesystem::is_directory(path, ec)) throw PopGenError("\"" + path + "\" is a folder.");
  std::ifstream in(path, std::ios::binary);
  if (!in) throw PopGenError("Cannot open the data file \"" + path + "\": " + std::strerror(errno) + ".");
  std::ostringstream buffer;
  buffer << in.rdbuf();
  if (in.bad()) throw PopGenError("Cannot read the data file \"" + path + "\".");
  return ReadGenePop(buffer.str(), path);
}

}  // namespace popgen
