#pragma once
// A numeric edit with a spin button: TNumberSpinEdit keeps a floating-point
// Value within MinValue..MaxValue (no bound when the two are equal), steps it
// by Increment with the buttons and the arrow keys, optionally takes integers
// only, and shows the value fitted to the width of the box (a row of "9"s when
// it does not fit). The text shown after a value is set is the "last good
// text": Escape and bad input go back to it.

#include <QLineEdit>
#include <QTimer>
#include <QToolButton>
#include <functional>
#include <string>

// A button that clicks on press and, while held, again after 400 ms and then
// every 100 ms.
class TTimerSpeedButton : public QToolButton {
  Q_OBJECT
 public:
  explicit TTimerSpeedButton(QWidget* parent = nullptr);
  std::function<void()> OnClick;
  bool AllowTimer = true;
  bool DrawFocusFrame = false;
  // The repeat timer (created on first use); exposed for tests.
  QTimer* RepeatTimer() const { return timer_; }

 protected:
  void mousePressEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void paintEvent(QPaintEvent* event) override;

 private:
  void TimerExpired();
  void Click();
  QTimer* timer_ = nullptr;
};

// Two stacked buttons; the upper raises OnUpClick, the lower OnDownClick.
class TSpinButton : public QWidget {
  Q_OBJECT
 public:
  explicit TSpinButton(QWidget* parent = nullptr);
  std::function<void()> OnUpClick;
  std::function<void()> OnDownClick;
  // Focused when a button is pressed (when it is a tab stop and can take the focus).
  QWidget* FocusControl = nullptr;
  TTimerSpeedButton* UpButton() const { return up_; }
  TTimerSpeedButton* DownButton() const { return down_; }
  TTimerSpeedButton* FocusedButton() const { return focused_; }

 protected:
  void resizeEvent(QResizeEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void focusInEvent(QFocusEvent* event) override;
  void focusOutEvent(QFocusEvent* event) override;

 private:
  void Pressed(TTimerSpeedButton* button);
  void SetFocusedButton(TTimerSpeedButton* button);
  TTimerSpeedButton* up_;
  TTimerSpeedButton* down_;
  TTimerSpeedButton* focused_;
};

class TNumberSpinEdit : public QLineEdit {
  Q_OBJECT
 public:
  explicit TNumberSpinEdit(QWidget* parent = nullptr);

  long double Value() const { return value_; }
  void SetValue(long double value);
  // Value truncated toward zero; raises ERangeError outside 32 bits.
  int32_t AsInteger() const;

  long double MinValue() const { return minValue_; }
  long double MaxValue() const { return maxValue_; }
  void SetMinValue(long double value);
  void SetMaxValue(long double value);
  long double Increment() const { return increment_; }
  void SetIncrement(long double value) { increment_ = value; }
  bool IntegerOnly() const { return integerOnly_; }
  void SetIntegerOnly(bool value);
  int DefaultDigit() const { return defaultDigit_; }
  void SetDefaultDigit(int value);
  bool FixedDigit() const { return fixedDigit_; }
  void SetFixedDigit(bool value) { fixedDigit_ = value; }
  bool ButtonVisible() const { return buttonVisible_; }
  void SetButtonVisible(bool value);
  bool EditorEnabled() const { return editorEnabled_; }
  void SetEditorEnabled(bool value) { editorEnabled_ = value; }
  // Background while disabled, as 0x00BBGGRR.
  uint32_t ColorDisabled() const { return colorDisabled_; }
  void SetColorDisabled(uint32_t value);
  bool AutoSelect = true;

  const std::string& LastGoodText() const { return lastGood_; }
  TSpinButton* SpinButton() const { return button_; }
  // How many characters fit beside the spin button.
  int VisibleDigitCount() const;
  // The smallest width (pixels) at which `digits` characters fit.
  int WidthForDigits(int digits) const;
  // Characters of the longer bound of an integer box (0 otherwise or without
  // bounds): an integer box takes every digit of its bounds, however narrow.
  int BoundDigits() const;

  virtual bool AcceptsChar(char ch) const;
  virtual void StepUp();
  virtual void StepDown();

  // Raised when a value change changes the shown text (not by typing).
  std::function<void()> OnChange;

 protected:
  void keyPressEvent(QKeyEvent* event) override;
  void focusInEvent(QFocusEvent* event) override;
  void focusOutEvent(QFocusEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void changeEvent(QEvent* event) override;
  bool event(QEvent* event) override;

 private:
  long double Clamp(long double x) const;
  bool ReadsAsNumber(const std::string& text, long double& value) const;
  void PrepareStep();
  void RestoreLastGood();
  void PlaceButton();
  void ApplyColors();
  std::string Current() const { return text().toStdString(); }
  // How many characters typing may bring the text to.
  int TypingLimit() const;

  long double value_ = 0, minValue_ = 0, maxValue_ = 0, increment_ = 1;
  bool integerOnly_ = false, fixedDigit_ = false, buttonVisible_ = true, editorEnabled_ = true;
  int defaultDigit_ = 8;
  uint32_t colorDisabled_;
  std::string lastGood_ = "0";
  TSpinButton* button_;
};
