#include "platform/classes/Variant.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <limits>

#include "platform/core/FormatSettings.h"

namespace {

using ::testing::StrEq;
using ::testing::ThrowsMessage;

// Settings pinned by hand, never from the machine's locale.
TFormatSettings PointSettings() { return TFormatSettings{}; }

struct EqualityCase {
  const char* Name;
  TVariant A, B;
  bool Equal;
};

// Equality both ways round.
template <size_t N>
void ExpectEquality(const EqualityCase (&Cases)[N]) {
  for (const EqualityCase& c : Cases) {
    SCOPED_TRACE(c.Name);
    EXPECT_EQ(c.A == c.B, c.Equal);
    EXPECT_EQ(c.B == c.A, c.Equal);
  }
}

TEST(VariantTest, TypeCodesOfConstructedValues) {
  const struct {
    TVariant Value;
    TVarType Code;
  } cases[] = {
      {TVariant(), varEmpty},
      {Null(), varNull},
      {int16_t{2}, varSmallint},
      {12, varInteger},
      {1.5f, varSingle},
      {1.5, varDouble},
      {Currency(), varCurrency},
      {TVarDate{0}, varDate},
      {TVarOleStr{"w"}, varOleStr},
      {true, varBoolean},
      {uint8_t{123}, varByte},
      {int64_t{1}, varInt64},
      {"s", varString},
      {std::string("s"), varString},
      {TObject::StaticClass(), varClass},
      {static_cast<TObject*>(nullptr), varObject},
  };
  for (const auto& c : cases) EXPECT_EQ(VarType(c.Value), c.Code) << "expected code " << c.Code;
}

// Null and Empty equal themselves and nothing else; only Empty reads as 0 or "".
TEST(VariantTest, NullAndEmptyKeptApart) {
  const EqualityCase cases[] = {
      {"Null, Null", Null(), Null(), true},
      {"Empty, Empty", TVariant(), Unassigned(), true},
      {"Null, Empty", Null(), TVariant(), false},
      {"Empty, 0", TVariant(), 0, false},
      {"Empty, empty text", TVariant(), "", false},
      {"Empty, false", TVariant(), false, false},
      {"Empty, 0.0", TVariant(), 0.0, false},
      {"Null, 0", Null(), 0, false},
      {"Null, empty text", Null(), "", false},
      {"Empty, null procedure", TVariant(), TVariant(static_cast<TVarProc>(nullptr)), false},
  };
  ExpectEquality(cases);
  EXPECT_TRUE(VarIsNull(Null()) && !VarIsEmpty(Null()));
  EXPECT_TRUE(VarIsEmpty(TVariant()) && !VarIsNull(TVariant()));
  // VarToStr shows both as no text; a cast of Null still fails.
  EXPECT_EQ(VarToStr(Null()), "");
  EXPECT_EQ(VarToStr(TVariant()), "");
  EXPECT_THROW(Null().AsString(), EVariantError);
  EXPECT_EQ(TVariant().AsInteger(), 0);
}

TEST(VariantTest, EqualityAcrossKinds) {
  ScopedFormatSettings pinned(PointSettings());
  const EqualityCase cases[] = {
      {"integer, double", 1, 1.0, true},
      {"smallint, byte", int16_t{2}, uint8_t{2}, true},
      {"currency, double", Currency::FromRaw(15000), 1.5, true},
      {"currency, integer, exact", Currency::FromRaw(70001), 7, false},
      {"int64 beyond a double's precision", int64_t{(int64_t{1} << 53) + 1}, int64_t{1} << 53, false},
      {"true is -1", true, -1, true},
      {"text and integer", "12", 12, true},
      {"text and double", "1.5", 1.5, true},
      {"text True and true", "True", true, true},
      {"string and OLE string", "x", TVarOleStr{"x"}, true},
      {"texts by bytes", "a", "A", false},
      {"single and double of 0.1", 0.1f, 0.1, false},
      {"date and its number", TVarDate{2.0}, 2.0, true},
  };
  ExpectEquality(cases);
  // A text that does not read as the other kind is an error, not "different".
  EXPECT_THAT([] { (void)(TVariant("abc") == TVariant(12)); },
              ThrowsMessage<EVariantError>(StrEq(kInvalidVariantCastText)));
}

TEST(VariantTest, CompareOrdersForSorting) {
  ScopedFormatSettings pinned(PointSettings());
  const struct {
    const char* Name;
    TVariant A, B;
    int Order;
  } cases[] = {
      {"Null before Empty", Null(), TVariant(), -1},
      {"Empty before a value", TVariant(), -5, -1},
      {"Null before text", Null(), "", -1},
      {"Null with Null", Null(), Null(), 0},
      {"numbers", 1, 2.5, -1},
      {"currency and integer", Currency::FromRaw(70001), 7, 1},
      {"texts by bytes", "abc", "abd", -1},
      {"text and number as numbers", "10", 9, 1},
      {"equal numbers", uint8_t{3}, 3.0, 0},
      {"same class", TObject::StaticClass(), TObject::StaticClass(), 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Name);
    EXPECT_EQ(VarCompare(c.A, c.B), c.Order);
    EXPECT_EQ(VarCompare(c.B, c.A), -c.Order);
  }
  const struct {
    const char* Name;
    TVariant A, B;
  } unordered[] = {
      {"text that is not a number", "abc", 1},
      {"class and object", TObject::StaticClass(), static_cast<TObject*>(nullptr)},
      {"class and integer", TObject::StaticClass(), 0},
      {"NaN", std::numeric_limits<double>::quiet_NaN(), 1.0},
  };
  for (const auto& c : unordered) {
    SCOPED_TRACE(c.Name);
    EXPECT_THAT([&] { VarCompare(c.A, c.B); }, ThrowsMessage<EVariantError>(StrEq(kInvalidVariantCastText)));
  }
}

bool called = false;
void MarkCalled(int Value) { called = Value == 7; }

// Procedure, class and object values keep all 64 bits and never pass for
// numbers or for each other.
TEST(VariantTest, PointerKindsKeepTheirAddresses) {
  constexpr uintptr_t high = 0x7F12'3456'7890;  // above 4 GiB; never dereferenced
  const struct {
    const char* Name;
    TVariant Value;
    TVariant SameLowBits;  // the address minus 4 GiB
    TVarType Code;
  } cases[] = {
      {"procedure", reinterpret_cast<TVarProc>(high), reinterpret_cast<TVarProc>(high - (uintptr_t{1} << 32)),
       varProcedure},
      {"class", reinterpret_cast<TClass>(high), reinterpret_cast<TClass>(high - (uintptr_t{1} << 32)), varClass},
      {"object", reinterpret_cast<TObject*>(high), reinterpret_cast<TObject*>(high - (uintptr_t{1} << 32)), varObject},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Name);
    const TVariant copy = VarAsType(TVariant(c.Value), c.Code);
    EXPECT_EQ(VarType(copy), c.Code);
    EXPECT_TRUE(copy == c.Value);
    EXPECT_FALSE(copy == c.SameLowBits);
    EXPECT_EQ(VarCompare(c.SameLowBits, copy), -1);
    for (TVarType other : {varInteger, varInt64, varDouble, varString, varBoolean})
      EXPECT_THROW(VarAsType(c.Value, other), EVariantError) << "to code " << other;
    for (const auto& d : cases)
      if (d.Code != c.Code) EXPECT_FALSE(c.Value == d.Value) << "against " << d.Name;
  }
  EXPECT_EQ(reinterpret_cast<uintptr_t>(TVariant(reinterpret_cast<TObject*>(high)).AsObject()), high);
  EXPECT_EQ(reinterpret_cast<uintptr_t>(TVariant(reinterpret_cast<TClass>(high)).AsClass()), high);

  // A real procedure of this program, stored and called back.
  const TVariant proc = &MarkCalled;
  VarToProc<void(int)>(proc)(7);
  EXPECT_TRUE(called);
  EXPECT_EQ(VarToProc<void(int)>(proc), &MarkCalled);
  TObject object;
  EXPECT_EQ(TVariant(&object).AsObject(), &object);
}

// Empty and an integer 0 mean "no procedure"; other values are not procedures.
TEST(VariantTest, NoProcedure) {
  using Proc = void(int);
  EXPECT_EQ(VarToProc<Proc>(TVariant()), nullptr);
  EXPECT_EQ(VarToProc<Proc>(0), nullptr);
  EXPECT_EQ(VarToProc<Proc>(int64_t{0}), nullptr);
  EXPECT_EQ(VarToProc<Proc>(static_cast<Proc*>(nullptr)), nullptr);
  EXPECT_EQ(TVariant(0).AsClass(), nullptr);
  EXPECT_EQ(TVariant().AsObject(), nullptr);
  for (const TVariant& v : {TVariant(5), TVariant(0.0), TVariant("0"), TVariant(false), Null()}) {
    SCOPED_TRACE(VarType(v));
    EXPECT_THAT([&] { VarToProc<Proc>(v); }, ThrowsMessage<EVariantError>(StrEq(kInvalidVariantCastText)));
  }
  // A stored "none" is a procedure value, not Empty.
  EXPECT_EQ(VarType(TVariant(static_cast<Proc*>(nullptr))), varProcedure);
}

}  // namespace
