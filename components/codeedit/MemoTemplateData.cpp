// The built-in code templates, one table per kind.
#include "components/codeedit/MemoTemplates.h"

namespace {

constexpr TTemplateRec kDelphi[] = {
    {"arrayc", "array declaration (const)", "array[0..|] of = ();"},
    {"arrayd", "array declaration (var)", "array[0..|] of ;"},
    {"casee", "case statement (with else)", "case | of\r\n  : ;\r\n  : ;\r\nelse ;\r\nend;"},
    {"cases", "case statement", "case | of\r\n  : ;\r\n  : ;\r\nend;"},
    {"classc", "class declaration (with Create/Destroy overrides)",
     "T| = class(T)\r\nprivate\r\n\r\nprotected\r\n\r\npublic\r\n  constructor Create; override;\r\n  destructor "
     "Destroy; override;\r\npublished\r\n\r\nend;"},
    {"classd", "class declaration (no parts)", "T| = class(T)\r\n\r\nend;"},
    {"classf", "class declaration (all parts)",
     "T| = class(T)\r\nprivate\r\n\r\nprotected\r\n\r\npublic\r\n\r\npublished\r\n\r\nend;"},
    {"forb", "for statement", "for | :=  to  do\r\nbegin\r\n\r\nend;"},
    {"fors", "for (no begin/end)", "for | :=  to  do"},
    {"function", "function declaration", "function |(): ;\r\nbegin\r\n\r\nend;"},
    {"ifb", "if statement", "if | then\r\nbegin\r\n\r\nend;"},
    {"ife", "if then (no begin/end) else (no begin/end)", "if | then\r\n\r\nelse"},
    {"ifeb", "if then else", "if | then\r\nbegin\r\n\r\nend\r\nelse\r\nbegin\r\n\r\nend"},
    {"ifs", "if (no begin/end)", "if | then"},
    {"procedure", "procedure declaration", "procedure |();\r\nbegin\r\n\r\nend;"},
    {"trycf", "try finally (with Create/Free)",
     "|variable := typename.Create;\r\ntry\r\n\r\nfinally\r\n  variable.Free;\r\nend;"},
    {"trye", "try except", "try\r\n  |\r\nexcept\r\n\r\nend;"},
    {"tryf", "try finally", "try\r\n  |\r\nfinally\r\n\r\nend;"},
    {"whileb", "while statement", "while | do\r\nbegin\r\n\r\nend;"},
    {"whiles", "while (no begin)", "while | do"},
    {"withb", "with statement", "with | do\r\nbegin\r\n\r\nend;"},
    {"withs", "with (no begin)", "with | do"},
};

constexpr TTemplateRec kCppBuilder[] = {
    {"classc", "class declaration (with constructor/destructor)",
     "class T| : public T\r\n{\r\nprivate:\r\n\r\nprotected:\r\n\r\npublic:\r\n  __fastcall T();\r\n  __fastcall "
     "~T();\r\n__published:\r\n\r\n};"},
    {"classd", "class declaration (no parts)", "class T| : public T\r\n{\r\n};"},
    {"classf", "class declaration (all parts)",
     "class T| : public T\r\n{\r\nprivate:\r\n\r\nprotected:\r\n\r\npublic:\r\n\r\n__published:\r\n\r\n};"},
    {"forb", "for statement", "for (|; ;)\r\n{\r\n\r\n}"},
    {"fors", "for (no opening/closing braces)", "for (|; ;)"},
    {"function", "function declaration", "|()\r\n{\r\n\r\n}"},
    {"ifb", "if statement", "if (|)\r\n{\r\n\r\n}"},
    {"ife", "if (no opening/closing braces) else (no opening/closing braces)", "if (|)\r\n\r\nelse"},
    {"ifeb", "if else", "if (|)\r\n{\r\n\r\n}\r\nelse\r\n{\r\n\r\n}"},
    {"ifs", "if (no opening/closing braces)", "if (|)"},
    {"struct", "structure declaration", "struct |\r\n{\r\n};"},
    {"switche", "switch statement (with default)",
     "switch (|)\r\n{\r\n  case : ;\r\n  break;\r\n  case : ;\r\n  break;\r\n}"},
    {"switchs", "switch statement",
     "switch (|)\r\n{\r\n  case : ;\r\n  break;\r\n  case : ;\r\n  break;\r\n  default: ;\r\n}"},
    {"templ", "template class declaration", "template <class T>\r\nclass |\r\n{\r\n};"},
    {"trye", "try catch", "try\r\n{\r\n  |\r\n}\r\ncatch()\r\n{\r\n}"},
    {"whileb", "while statement", "while (|)\r\n{\r\n\r\n}"},
    {"whiles", "while (no opening/closing braces)", "while (|)"},
};

constexpr TTemplateRec kClipper[] = {
    {"access assign", "access assign declaration", "access assign | \r\n"},
    {"begins", "begin sequence (without recover)", "begin sequence\r\n\r\nend sequence;"},
    {"beginr", "begin sequence (with recover)", "begin sequence\r\n\r\nrecover\r\n\r\nend sequence;"},
    {"caseo", "case statement (with otherwise)", "do case \r\ncase | \r\notherwise\r\nendcase;"},
    {"cases", "case statement", "do case \r\ncase | \r\nendcase;"},
    {"class", "class declaration", "class | from xbp\r\nprotected:\r\n\r\nexported:\r\n\r\nendclass"},
    {"fori", "for statement (with i)", "for i := 1 to |\r\n\r\nnext i"},
    {"forj", "for statement (with j)", "for j := 1 to |\r\n\r\nnext j"},
    {"forl", "for statement (with len())", "nLen := len(|)\r\nfor i := 1 to nLen\r\n\r\nnext i"},
    {"function", "function declaration", "function |()\r\n\r\nreturn NIL"},
    {"ifn", "if statement (normal)", "if |\r\n\r\nendif"},
    {"ife", "if statement (with else)", "if |\r\n\r\nelse\r\n\r\nendif"},
    {"method", "method implementation", "method |:()\r\n\r\nreturn self"},
    {"procedure", "procedure declaration", "procedure |()\r\n\r\nreturn"},
    {"whiles", "while statement", "while |\r\n\r\nend"},
    {"while!", "while ! eof()", "while ! eof()\r\n\r\n   dbskip()\r\nend"},
};

}  // namespace

std::span<const TTemplateRec> DelphiTemplates() { return kDelphi; }
std::span<const TTemplateRec> CppBuilderTemplates() { return kCppBuilder; }
std::span<const TTemplateRec> ClipperTemplates() { return kClipper; }
