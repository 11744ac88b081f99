#pragma once
// The reserved words of each language, in the order the language lists them.

class TStrings;

void SetDelphiWords(TStrings& Words);
void SetVBScriptWords(TStrings& Words);
void SetJavaScriptWords(TStrings& Words);
void SetSqlWords(TStrings& Words);
void SetPerlWords(TStrings& Words);
void SetPythonWords(TStrings& Words);
