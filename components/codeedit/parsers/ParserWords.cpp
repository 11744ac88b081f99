#include "components/codeedit/parsers/ParserWords_p.h"
#include "components/codeedit/parsers/ZRParser.h"

#include "components/base/zrsystem.h"

// clang-format off
void SetDelphiWords(TStrings& Words) {
  SetStringsFromArray(Words, {
    "absolute", "abstract", "and", "array", "as", "asm", "assembler", "automated", "begin", "break", "case",
    "cdecl", "class", "const", "constructor", "continue", "default", "deprecated", "destructor", "dispid",
    "dispinterface", "div", "do", "downto", "dynamic", "else", "end", "except", "exit", "export", "exports",
    "external", "far", "file", "finalization", "finally", "for", "forward", "function", "goto", "if",
    "implementation", "in", "index", "inherited", "initialization", "inline", "interface", "is", "label",
    "library", "message", "mod", "near", "nil", "nodefault", "not", "object", "of", "or", "out", "overload",
    "override", "packed", "pascal", "platform", "private", "procedure", "program", "property", "protected",
    "public", "published", "raise", "read", "readonly", "record", "register", "reintroduce", "repeat",
    "resident", "resourcestring", "safecall", "set", "shl", "shr", "stdcall", "stored", "string",
    "stringresource", "then", "threadvar", "to", "try", "type", "unit", "until", "uses", "var", "virtual",
    "while", "with", "write", "writeonly", "xor"});
}

void SetVBScriptWords(TStrings& Words) {
  SetStringsFromArray(Words, {
    "And", "As", "Call", "Const", "Date", "Dim", "Do", "Empty", "Exit", "False", "For", "Each", "Elseif",
    "Function", "If", "Then", "Else", "Is", "Loop", "Mod", "Next", "Not", "Nothing", "Null", "On", "Error",
    "Option", "Explicit", "Base", "Compare", "Or", "Private", "Public", "ReDim", "Select", "Case", "Set",
    "String", "Sub", "True", "While", "Wend", "Xor", "Rem", "end", "ByVal", "Attribute", "Declare", "To",
    "Type", "property", "get", "let", "friend", "With", "Class"});
}

void SetJavaScriptWords(TStrings& Words) {
  SetStringsFromArray(Words, {
    "abstract", "boolean", "break", "byte", "case", "catch", "char", "class", "const", "continue", "debugger",
    "default", "delete", "do", "double", "else", "enum", "export", "extends", "false", "final", "finally",
    "float", "for", "function", "goto", "if", "implements", "import", "in", "instanceof", "int", "interface",
    "long", "native", "new", "null", "package", "private", "protected", "public", "return", "short", "static",
    "super", "switch", "synchronized", "this", "throw", "throws", "transient", "true", "try", "typeof", "var",
    "void", "while", "with"});
}

void SetSqlWords(TStrings& Words) {
  SetStringsFromArray(Words, {
    "ACTIVE", "ALL", "AFTER", "ALTER ", "AND", "ANY", "AS", "ASC", "ASCENDING", "AT", "AUTO", "AUTOINC",
    "BASE_NAME", "BEFORE", "BEGIN", "BETWEEN", "BLOB", "BOOLEAN", "BOTH", "BY", "BYTES", "CACHE", "CAST",
    "CHARACTER", "CHECK", "COLUMN", "COMMIT", "COMMITTED", "COMPUTED", "CONDITIONAL", "CONNECT", "CONSTRAINT",
    "CONTAINING", "COUNT", "CREATE", "CURRENT", "CURSOR", "DATABASE", "DATE", "DEBUG", "DECIMAL", "DECLARE",
    "DEFAULT", "DELETE", "DESC", "DESCENDING", "DISTINCT", "DOMAIN", "DO", "DROP", "ELSE", "END",
    "ENTRY_POINT", "ESCAPE", "EXCEPTION", "EXECUTE", "EXISTS", "EXIT", "EXTERNAL", "EXTRACT", "FILTER",
    "FLOAT", "FOR", "FOREIGN", "FROM", "FULL", "FUNCTION", "GENERATOR", "GO", "GRANT", "GROUP", "HAVING", "IF",
    "IN", "INACTIVE", "INDEX", "INNER", "INSERT", "INTEGER", "INTO", "IS", "ISOLATION", "JOIN", "KEY", "NULL",
    "LEADING", "LEFT", "LEVEL", "LIKE", "MERGE", "MONEY", "NAMES", "NO", "NOT", "NUMERIC", "OF", "ON", "ONLY",
    "OR", "ORDER", "OUTER", "PARAMETER", "PASSWORD", "PIVOT", "PLAN", "POSITION", "PROCEDURE", "PROTECTED",
    "PRIMARY", "PRIVILEGES", "READ", "REFERENCES", "RETAIN", "RETURNING_VALUES", "RETURNS", "REVOKE", "RIGHT",
    "ROLLBACK", "SCHEMA", "SELECT", "SET", "SHARED", "SHADOW", "SMALLINT", "SNAPSHOT", "SOME", "SUSPEND",
    "TABLE", "THEN", "TIME", "TIMESTAMP", "TO", "TRAILING", "TRANSFORM", "TRANSACTION", "TRIGGER",
    "UNCOMMITTED", "UNION", "UNIQUE", "UPDATE", "USER", "USING", "VALUES", "VARCHAR", "VARIABLE", "VIEW",
    "WAIT", "WHEN", "WHERE", "WHILE", "WITH", "WORK"});
}

void SetPerlWords(TStrings& Words) {
  SetStringsFromArray(Words, {
    "and", "cmp", "continue", "do", "else", "elsif", "eq", "for", "foreach", "ge", "goto", "gt", "if", "last",
    "le", "local", "lt", "my", "ne", "next", "not", "or", "package", "require", "return", "strict", "sub",
    "switch", "unless", "until", "use", "while", "xor"});
}

void SetPythonWords(TStrings& Words) {
  SetStringsFromArray(Words, {
    "and", "assert", "break", "class", "continue", "def", "del", "elif", "else", "except", "exec", "finally",
    "for", "from", "global", "if", "import", "in", "is", "lambda", "not", "or", "pass", "print", "raise",
    "return", "try", "while"});
}
// clang-format on
