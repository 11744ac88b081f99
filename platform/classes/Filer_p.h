#pragma once
// What the reader, the writer and the text conversion share privately.

#include <string>
#include <string_view>

#include "platform/classes/Filer.h"
#include "platform/classes/Reader.h"

struct TPropInfo;
class TVariant;

namespace filer {

// The component at Path ("A" or "A.B"), going down through owned
// components from Root; nullptr when one step is missing.
TComponent* FindNestedComponent(TComponent* Root, std::string_view Path);

// Resolves a reference read into a property: in Root first (its own name or
// an owned component), then among other roots. nullptr when not found.
TComponent* ResolveReference(TComponent* Root, const std::string& Path);

// Keeps a reference to a component of another root until that root is
// known; Holder is the component the property belongs to (its freeing drops
// the entry).
void AddGlobalFixup(TComponent* Holder, TPersistent* Instance, const TPropInfo* Prop, const std::string& Path);

// True inside a global-loading bracket; then Add collects the component.
bool GlobalLoading();
void AddGlobalLoaded(TComponent* Component);

// True when Text has no byte above 127 (written as a narrow string).
bool IsAsciiText(std::string_view Text);

// Asks Instance for its defined properties; a TStrings first defines its
// lines as "Strings" (Filer.h).
void DefineProperties(TPersistent* Instance, TFiler* Filer);

// Raises EWriteError with kVariantNotStreamableText for a variant kind the
// stream cannot carry (the pointer kinds).
void CheckStreamableVariant(const TVariant& Value);

}  // namespace filer

// Counts one level of nesting for the time of a scope; raises EReadError
// beyond kMaxFilerDepth.
class TReaderDepth {
 public:
  explicit TReaderDepth(TReader& Reader) : depth_(Reader.depth_) {
    if (++depth_ > kMaxFilerDepth) {
      --depth_;
      throw EReadError(kTooDeepText);
    }
  }
  ~TReaderDepth() { --depth_; }
  TReaderDepth(const TReaderDepth&) = delete;
  TReaderDepth& operator=(const TReaderDepth&) = delete;

 private:
  int& depth_;
};
