#pragma once
// What the settings need of an assistant: its forms, their edits and check
// boxes, the continue button and the first focused control. The assistant
// module implements these interfaces and installs its builder.
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "crashreport/zorExceptInterfaces.h"

namespace zor {

class IZEException;

enum class AssistantItemKind { Edit, CheckBox, Other };

class INVItem : public virtual IZEInterface {
 public:
  virtual AssistantItemKind Kind() const = 0;
  virtual std::string Name() const = 0;
  // An edit's text; empty for other items.
  virtual std::string Text() const = 0;
  virtual void SetText(std::string_view text) = 0;
  // A check box's state; false for other items.
  virtual bool Checked() const = 0;
  virtual void SetChecked(bool checked) = 0;
};

inline constexpr char kContinueButtonName[] = "ContinueBtn";

class INVForm : public virtual IZEInterface {
 public:
  // 1 when the form was left with "Next >".
  virtual int ModalResult() const = 0;
  virtual int ItemCount() const = 0;
  virtual std::shared_ptr<INVItem> ItemAt(int index) = 0;
  virtual bool ContinueButtonEnabled() const = 0;
  // The name of the item focused when the form opens.
  virtual std::string ActiveControl() const = 0;
  virtual void SetActiveControl(std::string_view name) = 0;
};

class INVWizard : public virtual IZEInterface {
 public:
  virtual int FormCount() const = 0;
  virtual std::shared_ptr<INVForm> FormAt(int index) = 0;
};

// Builds an assistant from the module's form resources; nullptr when none
// can be built.
using AssistantBuilder = std::function<std::shared_ptr<INVWizard>(const ZorModule& module, const std::string& title,
                                                                  const std::vector<std::string>& formNames,
                                                                  const std::shared_ptr<IZEException>& exception)>;
// Installs the builder (an empty one builds nothing) and returns the one it
// replaces.
AssistantBuilder SetAssistantBuilder(AssistantBuilder builder);
std::shared_ptr<INVWizard> BuildAssistantFromResources(const ZorModule& module, const std::string& title,
                                                       const std::vector<std::string>& formNames,
                                                       const std::shared_ptr<IZEException>& exception);

}  // namespace zor
