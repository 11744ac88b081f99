#pragma once
// The process-wide options of text stores: the stores whose UseGlobalOptions
// is on take Options, TabStops, Delimeters and BlockIndent from here, and
// KeepTrailingBlanks, which a store has no property for.
//
// The global instance (GetOptionExt<TMemoSourceOptions>()) is kept in the
// settings below "CodeEdit\MemoSource\", one value per published property:
// KeepTrailingBlanks, Options, TabStops, Delimeters, BlockIndent. Every
// change of the global instance outside an update bracket reaches every
// store that follows the global options, and no other.

#include <cstdint>
#include <string>

#include "components/base/OptionExt.h"
#include "components/codeedit/MemoTypes.h"

class TCustomMemoSource;

inline constexpr const char* kMemoSourceOptionsKey = "CodeEdit\\MemoSource\\";
inline constexpr const char* kDefaultMemoDelimiters = "/{}+-*():=,;><$.#[]^@&~|%'";

class TMemoSourceOptions : public TOptionExt {
  KESTOVA_CLASS(TMemoSourceOptions)
 public:
  TMemoSourceOptions() = default;

  // Each setter stores a different value, then runs Changed.
  bool KeepTrailingBlanks() const { return keepTrailingBlanks_; }
  void SetKeepTrailingBlanks(bool Value);
  TStringsOptions Options() const { return options_; }
  void SetOptions(TStringsOptions Value);
  const std::string& TabStops() const { return tabStops_; }
  void SetTabStops(const std::string& Value);
  const std::string& Delimeters() const { return delimeters_; }
  void SetDelimeters(const std::string& Value);
  std::int32_t BlockIndent() const { return blockIndent_; }
  void SetBlockIndent(std::int32_t Value);  // max(0, Value)

  // Options 635, TabStops "9,17", BlockIndent 1, kDefaultMemoDelimiters.
  void InitDefaults() override;
  // Unless changes are suspended: applies the options to every store in
  // SourceList() that has UseGlobalOptions on.
  void Changed() override;
  std::string GetStorageKey() const override { return kMemoSourceOptionsKey; }

 private:
  bool keepTrailingBlanks_ = false;
  TStringsOptions options_ = kDefaultStringsOptions;
  std::string tabStops_ = "9,17";
  std::string delimeters_ = kDefaultMemoDelimiters;
  std::int32_t blockIndent_ = 1;
};

// Copies Options, TabStops, Delimeters and BlockIndent of the global options
// into Source by name, each through the store's own setter (so a store class
// that does not publish them takes none), then its keep-trailing-blanks value.
void ApplyGlobalMemoOptions(TCustomMemoSource& Source);
