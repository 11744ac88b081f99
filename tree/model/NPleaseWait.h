#pragma once
// TPleaseWait: the progress object of long operations. It owns a hidden
// TPleaseWaitDlg for as long as it lives and forwards percentages to it. The
// dialog exists only in a widget application; without one (tools, benchmarks)
// the object just keeps the last percentage.

#include <QPointer>

class QWidget;
class TPleaseWaitDlg;

class TPleaseWait {
 public:
  explicit TPleaseWait(QWidget* owner);
  ~TPleaseWait();
  TPleaseWait(const TPleaseWait&) = delete;
  TPleaseWait& operator=(const TPleaseWait&) = delete;

  // Stores p and shows it on the dialog's gauge.
  void SetPercentDone(int p);
  int PercentDone() const { return percentDone_; }
  // The dialog, or nullptr when there is none.
  TPleaseWaitDlg* Dialog() const;

 private:
  int percentDone_ = 0;
  // Owned: deleted with this object, unless its owner window went first.
  QPointer<TPleaseWaitDlg> dialog_;
};
