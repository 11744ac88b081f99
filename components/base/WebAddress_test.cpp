#include "components/base/WebAddress.h"

#include <gtest/gtest.h>

namespace {

TEST(WebAddress, RecognisesAddressesAsTheEditorMarksThem) {
  struct Row {
    const char* text;
    bool mail, web;
  } rows[] = {
      {"someone@example.org", true, false},
      {"@host.org", true, false},      // the at sign may come first
      {"mailto:anyone", true, false},  // the prefix alone decides
      {"MailTo:x", true, false},
      {"a@b", false, false},      // no dot after the at sign
      {"a.b@c", false, false},    // the only dot before it
      {"a@b@c.d", false, false},  // two at signs
      {"a@ b.c", false, false},   // a blank right after it
      {"a@.bc", false, false},    // a dot right after it
      {"a@_x.y", true, false},
      {"x@", false, false},  // at sign last
      {"www.example.org", false, true},
      {"WWW.x", false, true},
      {"http://host", false, true},
      {"FTP://host", false, true},
      {"gopher://host", false, true},
      {"https://host", false, false},  // only the four prefixes count
      {"ww.host", false, false},
      {"", false, false},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.text);
    EXPECT_EQ(IsMailAddress(row.text), row.mail);
    EXPECT_EQ(IsWebAddress(row.text), row.web);
    EXPECT_EQ(IsURL(row.text), row.mail || row.web);
  }
}

}  // namespace
