#pragma once
// Shared by the store's command files.

#include "components/codeedit/MemoEdit_p.h"

// Switches soLimitEOL off for the life of the scope, so that the caret can
// stand past a line's end while lines are inserted there.
class TNoLimitEOL {
 public:
  explicit TNoLimitEOL(TCustomMemoSource& Source) : source_(Source), old_(Source.Options()) {
    TStringsOptions options = old_;
    options.Exclude(soLimitEOL);
    if (options != old_) source_.SetOptions(options);
  }
  ~TNoLimitEOL() {
    if (source_.Options() != old_) source_.SetOptions(old_);
  }
  TNoLimitEOL(const TNoLimitEOL&) = delete;
  TNoLimitEOL& operator=(const TNoLimitEOL&) = delete;

 private:
  TCustomMemoSource& source_;
  TStringsOptions old_;
};

// The first column that is not a space (the length when there is none).
inline std::int32_t FirstNonSpace(const std::u32string& Shown) {
  const size_t i = Shown.find_first_not_of(U' ');
  return static_cast<std::int32_t>(i == std::u32string::npos ? Shown.size() : i);
}
