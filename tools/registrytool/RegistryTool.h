#pragma once
// registrytool: sets, gets, lists and deletes values of the per-user
// registry file from the command line.
//
//   registrytool [--file FILE] list [KEY]
//   registrytool [--file FILE] get KEY NAME
//   registrytool [--file FILE] set KEY NAME TYPE:DATA
//   registrytool [--file FILE] delete KEY [NAME]
//   registrytool [--file FILE] options CLASS
//
// KEY is a key path from the root ("Software\Kestova (Components)"; "" is
// the root), NAME a value name ("" is the key's default value). TYPE:DATA is
// written as in the file (RegistryFormat.h): sz:"text", expand_sz:"text",
// dword:42, binary:0a0b0c, multi_sz:"one","two"; the text of sz and
// expand_sz may also be given without quotes and escapes (sz:plain text).
// The file is the current user's registry unless --file names another.
//
// options prints the global instance of the options class CLASS (one the
// tool knows: TSampleOptions, kept under key SampleOptions below the
// settings root) as a new process loads it from the file, in the text form
// of the component stream; values set with "set" show there.
//
// Exit codes: 0 done; 1 the key or value is missing; 2 bad arguments or
// value; 3 the file could not be written; 4 the options could not be
// loaded.

#include <string>
#include <vector>

// Runs one command; what it prints goes to Out, errors to Err.
int RunRegistryTool(const std::vector<std::string>& Args, std::string& Out, std::string& Err);
// The options command on FileName.
int ShowOptions(const std::string& FileName, const std::string& ClassName, std::string& Out, std::string& Err);
