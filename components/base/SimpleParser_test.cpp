#include "components/base/SimpleParser.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// Colours every character with kind 1 and keeps the state.
class TOnesParser : public TSimpleParser {
 public:
  using TSimpleParser::TSimpleParser;
  std::int32_t ColorLine(const std::u32string &Line, std::int32_t State, std::string &Colors) override {
    Colors.assign(Line.size(), '\1');
    return State;
  }
};

std::vector<std::string> journal;

// A component that listens to a parser and records what it hears.
class TListener : public TComponent {
 public:
  TListener(std::string Name, TComponent *Owner = nullptr) : TComponent(Owner), name(std::move(Name)) {}
  std::string name;
  void WordsChanged(TComponent *, void *, std::int32_t Param) {
    journal.push_back(name + " heard " + std::to_string(Param));
  }
  void Notification(TComponent *AComponent, TOperation Operation) override {
    if (Operation == opRemove && dynamic_cast<TSimpleParser *>(AComponent))
      journal.push_back(name + " told parser goes");
    TComponent::Notification(AComponent, Operation);
  }
  TNotifierMethod Method() { return TNotifierMethod::Of<&TListener::WordsChanged>(*this); }
};

TEST(TSimpleParser, BaseAnswersAndColourData) {
  TOnesParser parser(nullptr);
  EXPECT_EQ(parser.GetFirstState(), 0);
  EXPECT_EQ(parser.GetLastState(), 0);
  EXPECT_FALSE(parser.IsActive());
  EXPECT_FALSE(parser.KeepsColorData());
  EXPECT_EQ(parser.GetStyleFont(3), nullptr);
  TColor color = 7;
  EXPECT_FALSE(parser.GetStyleColor(3, color));
  EXPECT_EQ(color, 7);
  parser.SetCurrentLine(41);
  EXPECT_EQ(parser.ScanLineIndex, 41);

  struct Row {
    std::u32string line;
    std::string colors;
  };
  const Row rows[] = {
      {U"", ""},
      {U"abc", std::string(3, '\0')},
      {U"\u00e9t\u00e9", std::string(3, '\0')},  // a byte per character, not per UTF-8 byte
  };
  for (const Row &row : rows) {
    std::string colors = "stale data";
    parser.GetColorData(0, row.line, colors);
    EXPECT_EQ(colors, row.colors);
  }
}

TEST(TSimpleParser, AnEqualListenerMovesToTheEnd) {
  journal.clear();
  TOnesParser parser(nullptr);
  TListener a("A"), b("B");
  parser.AddNotifier(a.Method());
  parser.AddNotifier(b.Method());
  parser.AddNotifier(a.Method());
  ASSERT_EQ(parser.Notifiers()->Count(), 2);
  parser.Notifiers()->Notify(&parser, nullptr, 5);
  EXPECT_EQ(journal, (std::vector<std::string>{"A heard 5", "B heard 5"}));
  parser.RemoveNotifier(a.Method());
  EXPECT_EQ(parser.Notifiers()->Count(), 1);
}

TEST(TSimpleParser, AFreedListenerIsDroppedAndNotToldLater) {
  journal.clear();
  auto *parser = new TOnesParser(nullptr);
  auto *gone = new TListener("gone");
  TListener stays("stays");
  int lambdaCalls = 0;
  parser->AddNotifier(stays.Method());
  parser->AddNotifier(gone->Method());
  parser->AddNotifier([&](TComponent *, void *, std::int32_t) { ++lambdaCalls; });
  gone->Free();
  EXPECT_EQ(parser->Notifiers()->Count(), 2);
  parser->Notifiers()->Notify(parser, nullptr, 1);
  EXPECT_EQ(lambdaCalls, 1);
  journal.clear();
  parser->Free();
  // Only the living component hears that the parser goes, and only once.
  EXPECT_EQ(journal, std::vector<std::string>{"stays told parser goes"});
}

TEST(TSimpleParser, ListenersAreToldNewestFirstWhenTheParserGoes) {
  journal.clear();
  TListener a("A"), b("B");
  {
    TOnesParser parser(nullptr);  // plain destruction tells them too
    parser.AddNotifier(a.Method());
    parser.AddNotifier(b.Method());
  }
  EXPECT_EQ(journal, (std::vector<std::string>{"B told parser goes", "A told parser goes"}));
}

}  // namespace
