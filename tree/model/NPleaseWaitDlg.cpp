#include "tree/model/NPleaseWaitDlg.h"

#include <QApplication>
#include <QCloseEvent>
#include <QFont>
#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QTimer>
#include <QVBoxLayout>

namespace {
constexpr const char* kMaroon = "#800000";
}

TPleaseWaitDlg::TPleaseWaitDlg(QWidget* owner)
    : QDialog(owner, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::MSWindowsFixedSizeDialogHint) {
  setWindowTitle(kPleaseWaitCaption);
  setFixedSize(447, 60);
  setCursor(Qt::WaitCursor);
  setModal(false);

  StringDispPanel = new QLabel(kPleaseWaitText, this);
  StringDispPanel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
  StringDispPanel->setAlignment(Qt::AlignCenter);
  QFont font("Times New Roman");
  font.setPixelSize(15);
  font.setItalic(true);
  StringDispPanel->setFont(font);
  StringDispPanel->setStyleSheet(QString("color: %1;").arg(kMaroon));

  StopPanel = new QWidget(this);
  StopPanel->setFixedWidth(59);
  StopBitBtn = new QPushButton("&Stop", StopPanel);
  auto* stopLayout = new QVBoxLayout(StopPanel);
  stopLayout->setContentsMargins(2, 2, 2, 2);
  stopLayout->addWidget(StopBitBtn);
  StopPanel->hide();
  connect(StopBitBtn, &QPushButton::clicked, this, [this] { StopBtnClick(); });

  PercentGauge = new QProgressBar(this);
  PercentGauge->setRange(0, 100);
  PercentGauge->setValue(0);
  PercentGauge->setTextVisible(false);
  PercentGauge->setFixedHeight(8);
  PercentGauge->setStyleSheet(QString("QProgressBar { border: none; background: palette(button); }"
                                      "QProgressBar::chunk { background: %1; }")
                                  .arg(kMaroon));

  auto* top = new QHBoxLayout;
  top->setContentsMargins(0, 0, 0, 0);
  top->setSpacing(0);
  top->addWidget(StringDispPanel, 1);
  top->addWidget(StopPanel);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);
  layout->addLayout(top, 1);
  layout->addWidget(PercentGauge);

  InProgressTimer = new QTimer(this);
  InProgressTimer->setInterval(50);
  connect(InProgressTimer, &QTimer::timeout, this, [this] { InProgressTimerTimer(); });
}

void TPleaseWaitDlg::SetPercentDone(int p) {
  PercentGauge->setValue(p);
  PercentGauge->repaint();
  QCoreApplication::processEvents();
}

void TPleaseWaitDlg::StopBtnClick() { StopBitBtn->setEnabled(false); }

void TPleaseWaitDlg::InProgressTimerTimer() {
  PercentGauge->setValue(PercentGauge->value() == 100 ? 0 : PercentGauge->value() + 10);
  PercentGauge->repaint();
}

void TPleaseWaitDlg::showEvent(QShowEvent* event) {
  // Centred on the screen, and drawn at once: the caller is about to be busy.
  if (QScreen* screen = this->screen()) move(screen->availableGeometry().center() - rect().center());
  QDialog::showEvent(event);
  repaint();
}

void TPleaseWaitDlg::closeEvent(QCloseEvent* event) {
  StopPanel->hide();
  QDialog::closeEvent(event);
}
