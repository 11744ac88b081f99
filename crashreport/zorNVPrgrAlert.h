#pragma once
// The please-wait window of a report: a small window with a text line and a
// progress bar moving through weighted areas. Only the interface lives here;
// until the window itself exists, an exception object has none, and a
// caller waiting for a complete report waits without it.
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

class QWidget;

namespace zor {

class IProgressAlert {
 public:
  virtual ~IProgressAlert() = default;
  virtual std::string Title() = 0;
  virtual void SetTitleText(std::string_view text) = 0;
  virtual int Position() = 0;
  // 0..1000 inside the current area.
  virtual void SetProgressPosition(int position) = 0;
  virtual void AppendArea(std::string_view text, int64_t weight) = 0;
  virtual void ClearAreaList() = 0;
  virtual void FinishArea() = 0;
  virtual int ActiveArea() = 0;
  virtual void SelectArea(int index) = 0;
  // Handles the window's queued events when it belongs to the calling thread.
  virtual void PumpMessages() = 0;
  // Shows the window; false when it is shown already or cannot be.
  virtual bool Display(QWidget* parent, bool centred) = 0;
  virtual void Dismiss() = 0;
};

}  // namespace zor
