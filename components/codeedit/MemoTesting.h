#pragma once
// Test helpers of the text store: a listener that records every notice, and
// a parser for which "{" ... "}" is a comment that may span lines.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "components/codeedit/MemoSource.h"
#include "platform/core/Codecs.h"
#include "platform/core/Streams.h"

struct TNotice {
  TStoreState State;
  TLineRange Range;
  std::int32_t Code = 0;
};

// A component listening to a store; freeing it takes it off the list.
class TRecorder : public TComponent {
 public:
  explicit TRecorder(TCustomMemoSource& Source, bool NotifyNow = false) : TComponent(nullptr) {
    Source.AddListener(NotifyNow, Method());
  }
  TNotifierMethod Method() { return TNotifierMethod::Of<&TRecorder::Heard>(*this); }
  void Heard(TComponent* Sender, void* List, std::int32_t Param) {
    auto* source = static_cast<TCustomMemoSource*>(Sender);
    EXPECT_EQ(static_cast<std::int32_t>(source->StoreState().Bits()), Param);
    notices.push_back({source->StoreState(), *static_cast<TLineRange*>(List), source->ChangeCode()});
  }
  std::vector<TNotice> notices;
};

// Colour 1 for text inside braces, 0 elsewhere; the state is the nesting
// depth at the end of the line. Counts the lines it colours.
class TBraceParser : public TSimpleParser {
 public:
  using TSimpleParser::TSimpleParser;
  bool Active = true;
  int Calls = 0;
  std::vector<std::int32_t> Lines;  // ScanLineIndex of every call
  bool IsActive() override { return Active; }
  std::int32_t ColorLine(const std::u32string& Line, std::int32_t State, std::string& Colors) override {
    ++Calls;
    Lines.push_back(ScanLineIndex);
    for (size_t i = 0; i < Line.size(); ++i) {
      if (Line[i] == U'{') ++State;
      Colors[i] = State > 0 ? 1 : 0;
      if (Line[i] == U'}' && State > 0) --State;
    }
    return State;
  }
  // Announces new words, as a language parser would.
  void WordsChanged() { Notifiers()->Notify(this, nullptr, 0); }
};

// Loads Text as a file is loaded: the store ends unmodified.
inline void LoadText(TCustomMemoSource& Source, const std::string& Text) {
  TStringStream stream(Text);
  Source.LoadFromStream(stream);
}

inline std::string Bits(TStoreState State) { return std::to_string(State.Bits()); }

// The stored lines joined by "|" (tabs as stored).
inline std::string Joined(const TCustomMemoSource& Source) {
  std::string out;
  for (std::int32_t i = 0; i < Source.LineCount(); ++i) {
    if (i > 0) out += '|';
    out += Utf32ToUtf8Lossless(Source.LineText(i));
  }
  return out;
}

// Types Text one character per update (code 5), as the editor does.
inline void Type(TCustomMemoSource& Source, const std::u32string& Text) {
  for (char32_t c : Text) {
    TCustomMemoSource::TUpdateGuard update(Source, ChangeCode::InsertText);
    Source.InsertText(std::u32string(1, c));
    Source.MoveCaret(0, Source.InsertedLength());
  }
}

inline void SetOption(TCustomMemoSource& Source, TStringsOption Option, bool On) {
  TStringsOptions options = Source.Options();
  if (On)
    options.Include(Option);
  else
    options.Exclude(Option);
  Source.SetOptions(options);
}

// A store with tab characters kept, the given stops and the text loaded.
inline void LoadWithTabs(TCustomMemoSource& Source, const std::string& Stops, const std::string& Text) {
  SetOption(Source, soUseTabCharacter, true);
  Source.SetTabStops(Stops);
  LoadText(Source, Text);
}

// Keeps whatever colour bytes the lines are given: colour bytes are stored
// attributes that edits carry along.
class TKeepingParser : public TSimpleParser {
 public:
  using TSimpleParser::TSimpleParser;
  bool IsActive() override { return true; }
  bool KeepsColorData() override { return true; }
  void GetColorData(std::int32_t, const std::u32string& Line, std::string& Colors) override {
    Colors.resize(Line.size(), 0);
  }
  std::int32_t ColorLine(const std::u32string&, std::int32_t State, std::string&) override { return State; }
};

// The text as shown (tabs expanded) with each line's trailing blanks
// removed: the store trims and pads them without undo records, so a trailing
// tab may come back as spaces. No lines and one empty line are alike.
inline std::string NormalText(const TCustomMemoSource& Source) {
  std::string out;
  for (std::int32_t i = 0; i < Source.LineCount(); ++i) {
    std::u32string line = Source.ExpandTabs(Source.LineText(i));
    while (!line.empty() && line.back() <= 32) line.pop_back();
    out += Utf32ToUtf8(line) + "\n";
  }
  return out == "\n" ? "" : out;
}
