#pragma once
// Reader of GENEPOP data files.
//
// Accepted form: a title line; locus names, one per line or several on a line
// separated by commas; then samples, each introduced by a line "Pop" in any
// capitalisation and holding one individual per line as
// "name , genotype genotype ...", one genotype per locus. A line without a
// comma continues the genotypes of the individual above it. Genotypes are
// 4 or 6 digits (diploid, two 2- or 3-digit allele codes) or 2 or 3 digits
// (haploid); a code of 00 or 000 is a missing allele. All genotypes of one
// locus have the same form. Lines end in CR, LF or CR LF; tabs count as
// blanks; blank lines after the title are skipped; a UTF-8 byte-order mark is
// ignored.
//
// Failure: a PopGenError naming the file and the line, e.g.
//   "data.txt", line 12: "01x2" is not a genotype (2, 3, 4 or 6 digits expected).

#include <string>
#include <string_view>

#include "popgen/DataSet.h"

namespace popgen {

// Parses `text`; `fileName` is used in messages only.
DataSet ReadGenePop(std::string_view text, const std::string& fileName);

// Reads and parses the file at `path`; an unreadable file or a folder is a
// PopGenError naming it ("\"<path>\" is a folder.").
DataSet ReadGenePopFile(const std::string& path);

}  // namespace popgen
