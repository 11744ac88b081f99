// Type information of the parsers: published properties and class factories.
#include <functional>
#include <utility>

#include "components/codeedit/parsers/LanguageParsers.h"
#include "platform/classes/StdTypeInfo.h"
#include "platform/classes/TypInfoPublish.h"
#include "platform/core/AnsiStrings.h"

KESTOVA_TYPE_INFO(TGetColorDataEvent, MakeMethodType("TGetColorDataEvent", mkProcedure,
                                                     {{{}, "Sender", "TObject"},
                                                      {{}, "Token", "Integer"},
                                                      {{}, "TokenStr", "string"},
                                                      {{pfVar}, "ColorData", "string"}}))

namespace {

void DescribeTCustomZRParser(TClassInfo& Info) {
  using P = TCustomZRParser;
  TClassPublisher<P> p(Info);
  p.Property<&P::OnGetColorData, &P::OnGetColorData>("OnGetColorData", TypeInfos::TGetColorDataEvent());
  p.Property<&P::Version, &P::Version>("Version", TypeInfos::String());
}

template <class P>
void DescribeCaseSensitive(TClassInfo& Info) {
  TClassPublisher<P> p(Info);
  p.template Property<&P::CaseSensitive, &P::SetCaseSensitive>("CaseSensitive", TypeInfos::Boolean()).Default(false);
}

}  // namespace

KESTOVA_CLASS_INFO_DESCRIBED(TCustomZRParser, TSimpleParser, "zrparser", nullptr, DescribeTCustomZRParser)
KESTOVA_CLASS_INFO_DESCRIBED(TDelphiParser, TStringsParser, "zrparser", &MakeComponent<TDelphiParser>,
                             DescribeCaseSensitive<TDelphiParser>)
KESTOVA_CLASS_INFO_DESCRIBED(TVBScriptParser, TStringsParser, "zrparser", &MakeComponent<TVBScriptParser>,
                             DescribeCaseSensitive<TVBScriptParser>)
KESTOVA_CLASS_INFO(TPythonParser, TStringsParser, "zrparser", &MakeComponent<TPythonParser>)
KESTOVA_CLASS_INFO_DESCRIBED(TJavaScriptParser, TStringsParser, "zrparser", &MakeComponent<TJavaScriptParser>,
                             DescribeCaseSensitive<TJavaScriptParser>)
KESTOVA_CLASS_INFO_DESCRIBED(TPerlParser, TStringsParser, "zrparser", &MakeComponent<TPerlParser>,
                             DescribeCaseSensitive<TPerlParser>)
KESTOVA_CLASS_INFO_DESCRIBED(TSqlParser, TStringsParser, "zrparser", &MakeComponent<TSqlParser>,
                             DescribeCaseSensitive<TSqlParser>)
KESTOVA_CLASS_INFO_DESCRIBED(THTMLParser, TStringsParser, "zrparser", &MakeComponent<THTMLParser>,
                             DescribeCaseSensitive<THTMLParser>)

TStringsParser* CreateLanguageParser(const std::string& Name, TComponent* AOwner) {
  static const std::pair<const char*, std::function<TStringsParser*(TComponent*)>> kLanguages[] = {
      {"Delphi", [](TComponent* O) { return new TDelphiParser(O); }},
      {"VBScript", [](TComponent* O) { return new TVBScriptParser(O); }},
      {"Python", [](TComponent* O) { return new TPythonParser(O); }},
      {"JavaScript", [](TComponent* O) { return new TJavaScriptParser(O); }},
      {"Perl", [](TComponent* O) { return new TPerlParser(O); }},
      {"SQL", [](TComponent* O) { return new TSqlParser(O); }},
      {"HTML", [](TComponent* O) { return new THTMLParser(O); }},
  };
  for (const auto& [name, make] : kLanguages)
    if (AnsiSameText(name, Name)) return make(AOwner);
  return nullptr;
}
