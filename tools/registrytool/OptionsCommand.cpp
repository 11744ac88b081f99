// registrytool options CLASS: the global instance of an options class as a
// new process of the program loads it.
#include <string>

#include "RegistryTool.h"
#include "components/base/OptionExt.h"
#include "components/base/PropAccess.h"
#include "platform/classes/ClassRegistry.h"
#include "platform/classes/RegistryStore.h"
#include "platform/core/Exceptions.h"
#include "testing/OptionsFixture.h"

int ShowOptions(const std::string& FileName, const std::string& ClassName, std::string& Out, std::string& Err) {
  RegisterOptionsFixtures();
  const TClass options = GetClass(ClassName);
  if (!options || !options->InheritsFrom(TOptionExt::StaticClass()) || !options->Factory) {
    Err += "registrytool: \"" + ClassName + "\" is no options class\n";
    return 2;
  }
  // The options read the current user's registry; the tool's file stands
  // in for it while they load. Nothing is saved back.
  const std::string previous = RegistryFileName();
  SetRegistryFileName(FileName);
  try {
    TStringStream text;
    WriteObjectText(text, GetOptionExt(options));
    Out += text.DataString();
  } catch (const Exception& e) {
    Err += "registrytool: " + e.Message() + "\n";
    SetRegistryFileName(previous);
    return 4;
  }
  SetRegistryFileName(previous);
  return 0;
}
