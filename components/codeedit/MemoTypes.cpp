// Type information of the store's value types and its published properties.
#include "components/codeedit/MemoSource.h"
#include "platform/classes/StdTypeInfo.h"
#include "platform/classes/TypInfoPublish.h"

KESTOVA_TYPE_INFO(TStringsOption,
                  MakeEnumType("TStringsOption",
                               {"soBackUnindents", "soGroupUndo", "soBeyondFileEnd", "soForceCutCopy", "soAutoIndent",
                                "soSmartTab", "soFindTextAtCursor", "soCreateBackups", "soPersistentBlocks",
                                "soOverwriteBlocks", "soLimitEOL", "soUseTabCharacter", "soCursorOnTabs",
                                "soOptimalFill", "soSelectFoundText", "soExcludeReadOnlyLines", "soCursorAlwaysOnTabs",
                                "soUsePrevIndent", "soRetainColumn"},
                               "zrstring"))
KESTOVA_TYPE_INFO(TStringsOptions, MakeSetType("TStringsOptions", TypeInfos::TStringsOption()))
KESTOVA_TYPE_INFO(TBlockOption,
                  MakeEnumType("TBlockOption", {"bkStreamSel", "bkBlockSel", "bkNone", "bkBoth"}, "zrstring"))
KESTOVA_TYPE_INFO(TOutFormatType, MakeEnumType("TOutFormatType", {"ofWindows", "ofUnix", "ofMac"}, "zrstring"))

namespace {

void DescribeTCustomMemoSource(TClassInfo& Info) {
  using S = TCustomMemoSource;
  TClassPublisher<S> p(Info);
  p.Property<&S::Version, &S::Version>("Version", TypeInfos::String());
}

void DescribeTMemoSource(TClassInfo& Info) {
  using S = TMemoSource;
  TClassPublisher<S> p(Info);
  p.Property<&S::Options, &S::SetOptions>("Options", TypeInfos::TStringsOptions()).Default(kDefaultStringsOptions);
  p.Property<&S::SyntaxParser, &S::SetSyntaxParser>("SyntaxParser", ClassTypeInfo(TSimpleParser::StaticClass()));
  p.Property<&S::TabStops, &S::SetTabStops>("TabStops", TypeInfos::String());
  p.Property<&S::Delimeters, &S::SetDelimeters>("Delimeters", TypeInfos::String());
  p.Property<&S::Lines, &S::SetLines>("Lines", ClassTypeInfo(TStrings::StaticClass()));
  p.Property<&S::ReadOnly, &S::SetReadOnly>("ReadOnly", TypeInfos::Boolean()).Default(false);
  p.Property<&S::BlockIndent, &S::SetBlockIndent>("BlockIndent", TypeInfos::Integer()).Default(1);
  p.Property<&S::SpacesInTab, &S::SetSpacesInTab>("SpacesInTab", TypeInfos::Integer()).Default(8);
  p.Property<&S::CodeTemplates, &S::SetCodeTemplates>("CodeTemplates",
                                                       ClassTypeInfo(TMemoCodeTemplates::StaticClass()));
  p.Property<&S::TemplatesType, &S::SetTemplatesType>("TemplatesType", TypeInfos::String());
  p.Property<&S::HighlightUrls, &S::SetHighlightUrls>("HighlightUrls", TypeInfos::Boolean()).Default(false);
  p.Property<&S::BlockOption, &S::SetBlockOption>("BlockOption", TypeInfos::TBlockOption()).Default(bkBoth);
  p.Property<&S::OutFormat, &S::OutFormat>("OutFormat", TypeInfos::TOutFormatType()).Default(ofWindows);
  p.Property<&S::AllowUndo, &S::SetAllowUndo>("AllowUndo", TypeInfos::Boolean()).Default(true);
  p.Property<&S::UndoLimit, &S::SetUndoLimit>("UndoLimit", TypeInfos::Integer()).Default(0);
  p.Property<&S::UseGlobalOptions, &S::SetUseGlobalOptions>("UseGlobalOptions", TypeInfos::Boolean()).Default(false);
}

}  // namespace

KESTOVA_CLASS_INFO_DESCRIBED(TCustomMemoSource, TComponent, "zrstring", nullptr, DescribeTCustomMemoSource)
KESTOVA_CLASS_INFO_DESCRIBED(TMemoSource, TCustomMemoSource, "zrstring", &MakeComponent<TMemoSource>,
                             DescribeTMemoSource)
