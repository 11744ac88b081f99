#include "tree/model/NPleaseWait.h"

#include <QApplication>

#include "tree/model/NPleaseWaitDlg.h"

TPleaseWait::TPleaseWait(QWidget* owner) {
  if (qobject_cast<QApplication*>(QCoreApplication::instance())) dialog_ = new TPleaseWaitDlg(owner);
}

TPleaseWait::~TPleaseWait() { delete dialog_.data(); }

TPleaseWaitDlg* TPleaseWait::Dialog() const { return dialog_.data(); }

void TPleaseWait::SetPercentDone(int p) {
  percentDone_ = p;
  if (dialog_) dialog_->SetPercentDone(p);
}
