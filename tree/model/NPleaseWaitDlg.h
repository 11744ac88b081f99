#pragma once
// TPleaseWaitDlg: the small modeless progress window of long operations. A
// caption line, a thin maroon gauge along the bottom and a hidden stop panel.
// It is created hidden; nothing shows it but a caller that does so itself.

#include <QDialog>

class QLabel;
class QProgressBar;
class QPushButton;
class QTimer;
class QWidget;

inline constexpr const char* kPleaseWaitCaption = "N5: Please Wait...";
inline constexpr const char* kPleaseWaitText = "Please Wait....";

class TPleaseWaitDlg : public QDialog {
 public:
  explicit TPleaseWaitDlg(QWidget* owner = nullptr);

  QProgressBar* PercentGauge = nullptr;  // 0..100, no text
  QLabel* StringDispPanel = nullptr;
  QWidget* StopPanel = nullptr;
  QPushButton* StopBitBtn = nullptr;
  // 50 ms, disabled at creation; while enabled the gauge runs as an endless bar.
  QTimer* InProgressTimer = nullptr;

  // The gauge shows p; the gauge is repainted and pending events processed so
  // that the window keeps up while its owner works.
  void SetPercentDone(int p);
  // The owner of the long operation polls StopBitBtn: pressing it disables it.
  void StopBtnClick();
  // One timer step: the gauge advances by 10, from 100 back to 0.
  void InProgressTimerTimer();

 protected:
  void showEvent(QShowEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
};
