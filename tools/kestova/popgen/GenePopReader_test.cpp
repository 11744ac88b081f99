#include "popgen/GenePopReader.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "popgen/Error.h"
#include "popgen/Frequencies.h"

namespace popgen {
namespace {

using ::testing::HasSubstr;

TEST(GenePopReaderTest, ReadsEveryAcceptedForm) {
  // CR LF, CR and LF line ends, tabs, a byte-order mark, locus names both
  // comma-separated and one per line, "POP" in capitals, a continuation line,
  // haploid and diploid loci, 2- and 3-digit alleles and missing alleles.
  const std::string text =
      "\xEF\xBB\xBF" "Trout 2021\r\n"
      "Loc1, Loc2\r"
      "Mt1\n"
      "\n"
      "POP\n"
      "a1 ,\t100102 0101\n"
      "  03\n"
      "a2 , 000000 0000 00\r\n"
      "pop\n"
      "b1 , 102102 0102 01\n"
      "River B , 104100 0201 02\n";
  const DataSet data = ReadGenePop(text, "t.gen");
  EXPECT_EQ(data.title, "Trout 2021");
  ASSERT_EQ(data.loci.size(), 3u);
  EXPECT_EQ(data.loci[0].name, "Loc1");
  EXPECT_EQ(data.loci[2].name, "Mt1");
  EXPECT_EQ(data.loci[0].ploidy, 2);
  EXPECT_EQ(data.loci[0].alleleDigits, 3);
  EXPECT_EQ(data.loci[1].alleleDigits, 2);
  EXPECT_EQ(data.loci[2].ploidy, 1);
  ASSERT_EQ(data.samples.size(), 2u);
  EXPECT_EQ(data.samples[0].name, "a2");  // named by its last individual
  EXPECT_EQ(data.samples[1].name, "River B");
  EXPECT_EQ(data.samples[0].line, 5);
  const Individual& a1 = data.samples[0].individuals[0];
  EXPECT_EQ(a1.line, 6);
  EXPECT_EQ(a1.genotypes, (std::vector<Genotype>{{100, 102}, {1, 1}, {3, 0}}));
  EXPECT_EQ(data.samples[0].individuals[1].genotypes, (std::vector<Genotype>{{0, 0}, {0, 0}, {0, 0}}));
}

TEST(GenePopReaderTest, EmptyNameOfLastIndividualNamesSampleByNumber) {
  const DataSet data = ReadGenePop("t\nL\npop\nx , 0101\npop\n , 0202\n", "f");
  EXPECT_EQ(data.samples[1].name, "Pop 2");
}

TEST(GenePopReaderTest, RejectsMalformedFilesNamingFileAndLine) {
  struct Case {
    const char* name;
    const char* text;
    const char* message;
  } cases[] = {
      {"empty", "", "\"d.gen\" is empty"},
      {"no loci", "title\npop\na , 0101\n", "no locus names"},
      {"no pop", "title\nL1\nL2\n", "no \"Pop\" line"},
      {"bad token", "t\nL1\npop\na , 01x2\n", "\"d.gen\", line 4: \"01x2\" is not a genotype"},
      {"five digits", "t\nL1\npop\na , 01020\n", "line 4: \"01020\" is not a genotype"},
      {"too many", "t\nL1\npop\na , 0101 0202\n", "line 4: individual \"a\" has more genotypes than the 1 loci"},
      {"too few", "t\nL1,L2\npop\na , 0101\npop\nb , 0101 0101\n", "line 4: individual \"a\" has 1 genotypes, but 2"},
      {"too few at end", "t\nL1,L2\npop\na , 0101 0101\nb , 0101\n", "line 5: individual \"b\" has 1 genotypes"},
      {"mixed forms", "t\nL1\npop\na , 0101\nb , 001001\n", "line 5: genotype \"001001\" of locus \"L1\" has 6 digits"},
      {"no comma", "t\nL1\npop\na , 0101\nb 0101\n", "line 5: expected an individual"},
      {"empty sample", "t\nL1\npop\npop\na , 0101\n", "line 3: the sample that starts here has no individuals"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_THAT([&] { ReadGenePop(c.text, "d.gen"); },
                ::testing::ThrowsMessage<PopGenError>(HasSubstr(c.message)));
  }
}

TEST(GenePopReaderTest, SampleNamesAreUnique) {
  // Individuals numbered 1..n in every sample name every sample "n".
  struct Case {
    const char* name;
    std::vector<std::string> last;  // last individual of each sample
    std::vector<std::string> names;
    bool changed;
  } cases[] = {
      {"distinct", {"a", "b", "c"}, {"a", "b", "c"}, false},
      {"numbered individuals", {"30", "30", "x", "30"}, {"30_1", "30_2", "x", "30_4"}, true},
      {"empty names", {"", ""}, {"Pop 1", "Pop 2"}, false},
      {"appended name taken", {"a", "a", "a_2"}, {"a_1", "a_2_2", "a_2_3"}, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::string text = "t\nL\n";
    for (const std::string& name : c.last) text += "pop\nfirst , 0101\n" + name + " , 0102\n";
    const DataSet data = ReadGenePop(text, "f");
    std::vector<std::string> names;
    for (const Sample& sample : data.samples) names.push_back(sample.name);
    EXPECT_EQ(names, c.names);
    EXPECT_EQ(data.namesMadeUnique, c.changed);
  }
}

TEST(GenePopReaderTest, UnreadableFileIsNamed) {
  EXPECT_THAT([] { ReadGenePopFile("/nonexistent/x.gen"); },
              ::testing::ThrowsMessage<PopGenError>(HasSubstr("Cannot open the data file \"/nonexistent/x.gen\"")));
  // A folder opens like a file on Linux and reads as nothing at all.
  EXPECT_THAT([] { ReadGenePopFile("/tmp"); },
              ::testing::ThrowsMessage<PopGenError>(::testing::StrEq("\"/tmp\" is a folder.")));
}

TEST(FrequenciesTest, LeavesMissingAllelesOutAndCountsGenes) {
  const DataSet data = ReadGenePop(
      "t\nL1\nH1\npop\n"
      "a , 0102 01\n"
      "b , 0100 00\n"   // one allele missing: half an individual
      "c , 0202 02\n"
      "pop\nd , 0000 00\n",
      "f");
  const Frequencies freq = ComputeFrequencies(data);
  EXPECT_EQ(freq.loci[0].codes, (std::vector<int>{1, 2}));
  const SampleLocus& cell = freq.samples[0][0];
  EXPECT_EQ(cell.genes, 5);
  EXPECT_EQ(cell.individuals, 2.5);
  EXPECT_DOUBLE_EQ(cell.freq[0], 0.4);
  EXPECT_DOUBLE_EQ(cell.freq[1], 0.6);
  EXPECT_DOUBLE_EQ(cell.observedHeterozygosity, 0.5);  // a of a and c
  EXPECT_EQ(freq.samples[0][1].genes, 2);
  EXPECT_EQ(freq.samples[0][1].individuals, 2);
  EXPECT_FALSE(freq.samples[1][0].Typed());
  EXPECT_FALSE(freq.samples[1][1].Typed());
}

}  // namespace
}  // namespace popgen
