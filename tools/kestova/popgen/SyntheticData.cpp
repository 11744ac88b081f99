#include "popgen/SyntheticData.h"

#include <vector>

#include "popgen/Bootstrap.h"

namespace popgen {

DataSet MakeSyntheticData(int samples, int loci, std::uint64_t seed) {
  Random random(seed, 0);
  auto uniform = [&] { return static_cast<double>(random.Next() >> 11) * 0x1.0p-53; };
  DataSet data;
  data.title = "synthetic";
  for (int l = 0; l < loci; ++l) data.loci.push_back(Locus{std::string("L").append(std::to_string(l + 1)), 2, 3});
  std::vector<std::vector<double>> pool(loci);
  for (auto& p : pool) {
    p.resize(10);
    for (double& x : p) x = uniform() + 0.05;
  }
  for (int s = 0; s < samples; ++s) {
    Sample sample;
    sample.name = std::string("S").append(std::to_string(s + 1));
    std::vector<std::vector<double>> freq(loci);
    for (int l = 0; l < loci; ++l) {
      double total = 0;
      for (double x : pool[l]) freq[l].push_back(x * (0.5 + uniform())), total += freq[l].back();
      for (double& x : freq[l]) x /= total;
    }
    for (int i = 0; i < 30; ++i) {
      Individual individual;
      individual.name = sample.name;
      for (int l = 0; l < loci; ++l) {
        int alleles[2];
        for (int& a : alleles) {
          double u = uniform();
          int k = 0;
          while (k < 9 && (u -= freq[l][k]) > 0) ++k;
          a = 100 + 2 * k;
        }
        individual.genotypes.push_back(Genotype{alleles[0], alleles[1]});
      }
      sample.individuals.push_back(individual);
    }
    data.samples.push_back(sample);
  }
  return data;
}

std::string GenePopText(const DataSet& data) {
  std::string text = data.title + "\n";
  for (const Locus& locus : data.loci) text += locus.name + "\n";
  for (const Sample& sample : data.samples) {
    text += "Pop\n";
    for (const Individual& individual : sample.individuals) {
      text += individual.name + " ,";
      for (const Genotype& g : individual.genotypes)
        text += " " + std::to_string(g.first) + std::to_string(g.second);
      text += "\n";
    }
  }
  return text;
}

}  // namespace popgen
