#pragma once
// The report's sections: one per reported thread, one per section plug-in,
// "cpu registers" and "stack dump".
//
// Preparation runs on the first call of SectionFields in the reporting
// thread: each wanted thread is read at once, while its stack still holds
// what it held at the event, and every section is entered with a
// placeholder. The calculation then walks the stacks and replaces each
// placeholder when its text is ready; on the dispatch thread it runs on a
// section thread of its own, elsewhere in the calling thread. The last
// section stored writes "callstack crc" and marks the report complete.
#include <string>

namespace zor {

class TIZEException;

// The section preparer of every exception object made by
// CreateExceptionObject (installed there unless another one is).
void PrepareReportSections(TIZEException& exception);
void InstallReportSections();

// Placeholder texts.
inline constexpr char kSoonText[] = ">> will be calculated soon";
inline constexpr char kStackSoonText[] = ">> stack will be calculated soon";
inline constexpr char kNotAccessibleText[] = ">> stack not accessible";

}  // namespace zor
