// Fuzz target for the readers and pattern writers of locale text: the first
// byte picks one of three hand-set locales, the rest is read as a date, time,
// number and currency amount, and used as a FormatFloat and FormatDateTime
// pattern. A currency amount that reads must read back from its own text.

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "platform/core/Currency.h"
#include "platform/core/DateTime.h"
#include "platform/core/FormatFloat.h"
#include "platform/core/FormatSettings.h"
#include "platform/core/NumberFormat.h"

namespace {

TFormatSettings Pick(uint8_t which) {
  TFormatSettings s;
  switch (which % 3) {
    case 1:
      s.DecimalSeparator = ",";
      s.ThousandSeparator = ".";
      s.DateSeparator = ".";
      s.ShortDateFormat = "dd.MM.yy";
      s.LongTimeFormat = "hh:nn:ss,zzz";
      s.NegCurrFormat = 15;
      break;
    case 2:  // several-byte separators and marks, year first
      s.DecimalSeparator = "\u066B";
      s.ThousandSeparator = "\u066C";
      s.CurrencyString = "\u062C.\u0645.";
      s.CurrencyFormat = 3;
      s.ShortDateFormat = "yyyy/M/d";
      s.TimeAMString = "\u0635";
      s.TimePMString = "\u0645";
      break;
    default:
      break;
  }
  return s;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const bool clockSet = (SetClock([] { return 46366.75; }), true);
  (void)clockSet;
  if (size == 0) return 0;
  const TFormatSettings s = Pick(data[0]);
  const std::string_view text(reinterpret_cast<const char*>(data + 1), size - 1);

  TDateTime when = 0;
  int year = 0, month = 0, day = 0;
  if (TryStrToDateTime(text, when, s)) {
    DecodeDate(when, year, month, day);
    if (year < 1) __builtin_trap();  // whatever reads is a real date
    (void)DateTimeToStr(when, s);
  }
  (void)TryStrToDate(text, when, s);
  (void)TryStrToTime(text, when, s);

  double number = 0;
  if (TryStrToFloat(text, number, s)) (void)FormatFloat("#,##0.00;(#,##0.00)", number, s);

  Currency amount;
  if (TryStrToCurr(text, amount, s)) {
    Currency back;
    if (!TryStrToCurr(CurrToStr(amount, s), back, s) || back != amount) __builtin_trap();
    (void)CurrToStrF(amount, TFloatFormat::ffCurrency, 2, s);
  }

  for (double value : {0.0, -0.004, 1234567.891, -2.5e-7, 1e300})
    (void)FormatFloat(text, value, s);
  for (TDateTime value : {-1.25, 46366.5, -700000.0})
    (void)FormatDateTime(text, value, s);
  return 0;
}
