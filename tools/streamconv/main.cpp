// streamconv totext IN [OUT]     binary component stream to text (stdout without OUT)
// streamconv tobinary IN OUT     text back to binary
// streamconv read IN             reads IN into the fixture classes and prints
//                                what they hold, as text written anew
// streamconv fixture OUT         writes the stream fixture (binary)
// Errors are printed as "streamconv: <message>" with exit code 1.

#include <cstdio>
#include <memory>
#include <string>

#include "platform/classes/ObjectText.h"
#include "platform/classes/Reader.h"
#include "platform/classes/Writer.h"
#include "platform/core/Exceptions.h"
#include "testing/StreamFixture.h"

namespace {

void Print(TMemoryStream& Stream) { std::fwrite(Stream.Bytes().data(), 1, Stream.Bytes().size(), stdout); }

// The component of this name stands for any root the fixture refers to.
TComponent* ForeignRoot(const std::string& Name) {
  static TComponent* other = [] {
    auto* root = new TComponent(nullptr);
    root->SetName("Other");
    (new TComponent(root))->SetName("Target");
    return root;
  }();
  return Name == other->Name() ? other : nullptr;
}

int Run(int argc, char** argv) {
  const std::string command = argc > 1 ? argv[1] : "";
  RegisterStreamFixtures();
  RegisterFindGlobalComponentProc(&ForeignRoot);
  if (command == "totext" && (argc == 3 || argc == 4)) {
    TMemoryStream in;
    in.LoadFromFile(argv[2]);
    TMemoryStream out;
    ObjectBinaryToText(in, out);
    if (argc == 4)
      out.SaveToFile(argv[3]);
    else
      Print(out);
    return 0;
  }
  if (command == "tobinary" && argc == 4) {
    TMemoryStream in;
    in.LoadFromFile(argv[2]);
    TMemoryStream out;
    ObjectTextToBinary(in, out);
    out.SaveToFile(argv[3]);
    return 0;
  }
  if (command == "read" && argc == 3) {
    TMemoryStream in;
    in.LoadFromFile(argv[2]);
    std::unique_ptr<TComponent> root(ReadComponentFromStream(in, nullptr));
    TMemoryStream binary, text;
    WriteComponentToStream(binary, root.get());
    binary.SetPosition(0);
    ObjectBinaryToText(binary, text);
    Print(text);
    return 0;
  }
  if (command == "fixture" && argc == 3) {
    TStreamFixture root;
    FillStreamFixture(root, ForeignRoot("Other")->FindComponent("Target"));
    TMemoryStream out;
    WriteComponentToStream(out, &root);
    out.SaveToFile(argv[2]);
    return 0;
  }
  std::fprintf(stderr, "usage: streamconv totext IN [OUT] | tobinary IN OUT | read IN | fixture OUT\n");
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  try {
    return Run(argc, argv);
  } catch (const Exception& e) {
    std::fprintf(stderr, "streamconv: %s\n", e.Message().c_str());
    return 1;
  }
}
