#pragma once
// Exception objects for the report tests: made from no module's settings,
// with sections prepared by a function the test installs.
#include <memory>

#include "crashreport/zorExceptObject.h"

namespace zortest {

// Installs a section preparer while it lives.
class Sections {
 public:
  explicit Sections(zor::SectionPreparer preparer) : previous_(zor::SetSectionPreparer(std::move(preparer))) {}
  ~Sections() { zor::SetSectionPreparer(previous_); }
  Sections(const Sections&) = delete;
  Sections& operator=(const Sections&) = delete;

 private:
  zor::SectionPreparer previous_;
};

// A thread section and a register section, each with its placeholder.
inline void EnterPlaceholders(zor::TIZEException& e) {
  e.SectionFields()->SetValue("main thread ($d4c):",
                              "00401a2b +b sample.exe Unit1 34 +2 TForm1.Button1Click\r\n"
                              ">> stack will be calculated soon");
  e.SectionFields()->SetValue("cpu registers", ">> will be calculated soon");
}

inline std::shared_ptr<zor::TIZEException> MakeException(zor::ExceptionFacts facts = {}) {
  return std::make_shared<zor::TIZEException>(nullptr, facts);
}

}  // namespace zortest
