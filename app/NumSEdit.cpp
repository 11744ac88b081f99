#include "app/NumSEdit.h"

#include <QApplication>
#include <QKeyEvent>
#include <QPainter>
#include <QStyleOptionFocusRect>
#include <cmath>

#include "platform/core/Exceptions.h"
#include "platform/core/NumberFormat.h"
#include "platform/core/StrUtils.h"
#include "platform/ui/DialogService.h"

namespace {

constexpr int kRepeatDelayMs = 400;
constexpr int kRepeatIntervalMs = 100;
constexpr int kButtonWidth = 15;

QColor FromColorRef(uint32_t c) { return QColor(c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF); }
uint32_t ToColorRef(const QColor& c) {
  return static_cast<uint32_t>(c.red()) | (static_cast<uint32_t>(c.green()) << 8) |
         (static_cast<uint32_t>(c.blue()) << 16);
}

void Beep() { Dialogs().Beep(); }

}  // namespace

// ---- TTimerSpeedButton ----

TTimerSpeedButton::TTimerSpeedButton(QWidget* parent) : QToolButton(parent) {
  setFocusPolicy(Qt::NoFocus);
  setAutoRaise(false);
}

void TTimerSpeedButton::Click() {
  if (OnClick) OnClick();
}

void TTimerSpeedButton::mousePressEvent(QMouseEvent* event) {
  QToolButton::mousePressEvent(event);
  if (event->button() != Qt::LeftButton) return;
  if (AllowTimer) {
    if (!timer_) {
      timer_ = new QTimer(this);
      connect(timer_, &QTimer::timeout, this, [this] { TimerExpired(); });
    }
    timer_->start(kRepeatDelayMs);
  }
  Click();
}

void TTimerSpeedButton::mouseReleaseEvent(QMouseEvent* event) {
  if (timer_) timer_->stop();
  QToolButton::mouseReleaseEvent(event);
}

void TTimerSpeedButton::TimerExpired() {
  timer_->setInterval(kRepeatIntervalMs);
  if (isDown()) {
    try {
      Click();
    } catch (...) {
      timer_->stop();
      throw;
    }
  }
}

void TTimerSpeedButton::paintEvent(QPaintEvent* event) {
  QToolButton::paintEvent(event);
  if (!DrawFocusFrame) return;
  QPainter painter(this);
  QStyleOptionFocusRect option;
  option.initFrom(this);
  option.rect = rect().adjusted(3, 3, -3, -3).translated(isDown() ? QPoint(1, 1) : QPoint());
  style()->drawPrimitive(QStyle::PE_FrameFocusRect, &option, &painter, this);
}

// ---- TSpinButton ----

TSpinButton::TSpinButton(QWidget* parent)
    : QWidget(parent), up_(new TTimerSpeedButton(this)), down_(new TTimerSpeedButton(this)), focused_(up_) {
  up_->setArrowType(Qt::UpArrow);
  down_->setArrowType(Qt::DownArrow);
  up_->OnClick = [this] {
    Pressed(up_);
    if (OnUpClick) OnUpClick();
  };
  down_->OnClick = [this] {
    Pressed(down_);
    if (OnDownClick) OnDownClick();
  };
  resize(20, 25);
}

void TSpinButton::Pressed(TTimerSpeedButton* button) {
  SetFocusedButton(button);
  QWidget* target = FocusControl ? FocusControl : this;
  if (target->focusPolicy() & Qt::TabFocus && target->isEnabled() && target->isVisible() && !target->hasFocus())
    target->setFocus(Qt::MouseFocusReason);
}

void TSpinButton::SetFocusedButton(TTimerSpeedButton* button) {
  if (focused_ == button) return;
  focused_->DrawFocusFrame = false;
  focused_ = button;
  focused_->DrawFocusFrame = hasFocus();
  up_->update();
  down_->update();
}

void TSpinButton::resizeEvent(QResizeEvent*) {
  int w = std::max(width(), kButtonWidth);
  up_->setGeometry(0, 0, w, height() / 2);
  down_->setGeometry(0, height() / 2, w, height() - height() / 2);
}

void TSpinButton::keyPressEvent(QKeyEvent* event) {
  switch (event->key()) {
    case Qt::Key_Space: focused_->OnClick(); break;
    case Qt::Key_Up: SetFocusedButton(up_); up_->OnClick(); break;
    case Qt::Key_Down: SetFocusedButton(down_); down_->OnClick(); break;
    default: QWidget::keyPressEvent(event); return;
  }
  event->accept();
}

void TSpinButton::focusInEvent(QFocusEvent*) {
  focused_->DrawFocusFrame = true;
  focused_->update();
}

void TSpinButton::focusOutEvent(QFocusEvent*) {
  focused_->DrawFocusFrame = false;
  focused_->update();
}

// ---- TNumberSpinEdit ----

TNumberSpinEdit::TNumberSpinEdit(QWidget* parent)
    : QLineEdit(parent), colorDisabled_(ToColorRef(QApplication::palette().color(QPalette::Button))),
      button_(new TSpinButton(this)) {
  button_->resize(kButtonWidth, 17);
  button_->FocusControl = this;
  button_->OnUpClick = [this] { StepUp(); };
  button_->OnDownClick = [this] { StepDown(); };
  setText("0");
  // Edits are at least as tall as their font needs.
  QFontMetrics fm(font());
  int h = fm.height();
  setMinimumHeight(h + std::min(h, QFontMetrics(QApplication::font()).height()) / 4 + 4 + 2);
  PlaceButton();
}

long double TNumberSpinEdit::Clamp(long double x) const {
  if (maxValue_ == minValue_) return x;
  if (x < minValue_) return minValue_;
  if (x > maxValue_) return maxValue_;
  return x;
}

bool TNumberSpinEdit::ReadsAsNumber(const std::string& text, long double& value) const {
  double v = 0;
  if (!TryStrToFloat(text, v, DefaultDecimalSeparator())) return false;
  value = v;
  return true;
}

namespace {
constexpr int kInnerFrame = 2;  // the line edit's own inner margin on each side
}

int TNumberSpinEdit::VisibleDigitCount() const {
  QMargins m = textMargins();
  int width = contentsRect().width() - 2 * (kInnerFrame + m.left()) - (buttonVisible_ ? button_->width() : 0) - 1;
  int digit = std::max(1, fontMetrics().horizontalAdvance('8'));
  return std::max(0, width / digit);
}

int TNumberSpinEdit::BoundDigits() const {
  if (!integerOnly_ || minValue_ == maxValue_) return 0;
  auto digits = [](long double v) { return static_cast<int>(IntToStr(static_cast<int64_t>(std::trunc(v))).size()); };
  return std::max(digits(minValue_), digits(maxValue_));
}

int TNumberSpinEdit::TypingLimit() const { return std::max(VisibleDigitCount(), BoundDigits()); }

int TNumberSpinEdit::WidthForDigits(int digits) const {
  const int text = std::max(0, digits) * std::max(1, fontMetrics().horizontalAdvance('8'));
  const int frame = width() - contentsRect().width();
  return text + 2 * (kInnerFrame + textMargins().left()) + (buttonVisible_ ? button_->width() : 0) + 1 + frame;
}

void TNumberSpinEdit::SetValue(long double x) {
  const std::string shown = Current();
  const bool typed = shown != lastGood_;
  const std::string previous = lastGood_;
  const char sep = DefaultDecimalSeparator();
  value_ = Clamp(x);
  const int visible = VisibleDigitCount();

  std::string text;
  if (integerOnly_) {
    text = IntToStr(static_cast<int64_t>(std::trunc(value_)));
  } else if (std::fabs(value_) < 1e-15L) {
    text = "0";
    if (fixedDigit_) text += std::string(1, sep) + std::string(std::max(defaultDigit_ - 1, 0), '0');
  } else {
    const long double lg = std::log10(std::fabs(value_));
    const int magnitude = static_cast<int>(std::floor(lg));
    if (magnitude < visible) {
      text = FloatToStrF(static_cast<double>(value_), TFloatFormat::ffFixed, 16, lg >= 1 ? 15 - magnitude : 15, sep);
      if (fixedDigit_) {
        int keep = defaultDigit_ - static_cast<int>(std::floor(lg + 1));
        size_t p = text.find(sep);
        if (p != std::string::npos) text.resize(keep <= 0 ? p : std::min(text.size(), p + 1 + keep));
      } else {
        long double typedValue = 0;
        // The typed text is kept (and sets the step) only when it is the
        // value; a clamped value is shown as the number it became.
        if (typed && ReadsAsNumber(shown, typedValue) && typedValue == value_) {
          text = Trim(shown);
          size_t p = text.find(sep);
          size_t decimals = p == std::string::npos ? 0 : text.size() - p - 1;
          increment_ = std::pow(10.0L, -static_cast<long double>(decimals));
        }
        if (text.find(sep) != std::string::npos) {
          while (!text.empty() && text.back() == '0') text.pop_back();
          if (!text.empty() && text.back() == sep) text.pop_back();
          if (text.empty() || text == "-") text = "0";
        }
      }
      if (static_cast<int>(text.size()) > visible) text.resize(visible);
    } else {
      text = std::string(visible, '9');
    }
  }

  setText(QString::fromStdString(text));
  lastGood_ = text;
  long double readBack = 0;
  value_ = ReadsAsNumber(text, readBack) ? readBack : 0;
  if (text != previous && OnChange) OnChange();
  update();
}

int32_t TNumberSpinEdit::AsInteger() const {
  long double t = std::trunc(value_);
  if (t < INT32_MIN || t > INT32_MAX) throw ERangeError();
  return static_cast<int32_t>(t);
}

void TNumberSpinEdit::SetMaxValue(long double value) {
  if (value == maxValue_) return;
  maxValue_ = value;
  long double good = 0;
  if (ReadsAsNumber(lastGood_, good) && good > maxValue_) SetValue(maxValue_);
}

void TNumberSpinEdit::SetMinValue(long double value) {
  if (value == minValue_) return;
  minValue_ = value;
  long double good = 0;
  if (ReadsAsNumber(lastGood_, good) && good < minValue_) SetValue(minValue_);
}

void TNumberSpinEdit::SetIntegerOnly(bool value) {
  integerOnly_ = value;
  if (value) {
    increment_ = std::ceil(increment_);
    SetValue(AsInteger());
  }
}

void TNumberSpinEdit::SetDefaultDigit(int value) {
  if (integerOnly_ || value == defaultDigit_ || value > 15 || value < 1) return;
  int visible = VisibleDigitCount();
  defaultDigit_ = value < visible ? value : visible - 1;
  long double good = 0;
  SetValue(ReadsAsNumber(lastGood_, good) ? good : 0);
}

void TNumberSpinEdit::SetButtonVisible(bool value) {
  if (value == buttonVisible_) return;
  buttonVisible_ = value;
  button_->setVisible(value);
  PlaceButton();
}

void TNumberSpinEdit::SetColorDisabled(uint32_t value) {
  if (value == colorDisabled_) return;
  colorDisabled_ = value;
  ApplyColors();
}

void TNumberSpinEdit::ApplyColors() {
  QPalette p = palette();
  p.setColor(QPalette::Disabled, QPalette::Base, FromColorRef(colorDisabled_));
  p.setColor(QPalette::Disabled, QPalette::Text, QApplication::palette().color(QPalette::Disabled, QPalette::WindowText));
  setPalette(p);
  update();
}

bool TNumberSpinEdit::AcceptsChar(char ch) const {
  const char sep = DefaultDecimalSeparator();
  if (ch == sep) return !integerOnly_ && Current().find(sep) == std::string::npos;
  return ch == 8 || ch == 13 || ch == 27 || ch == '-' || ch == '.' || (ch >= '0' && ch <= '9');
}

void TNumberSpinEdit::PrepareStep() {
  const std::string shown = Current();
  if (shown == lastGood_) return;
  long double v = 0;
  if (Trim(shown).empty())
    SetValue(0);
  else if (ReadsAsNumber(shown, v))
    SetValue(v);
}

void TNumberSpinEdit::StepUp() {
  if (isReadOnly() || !buttonVisible_) {
    Beep();
    return;
  }
  PrepareStep();
  SetValue(value_ + increment_);
}

void TNumberSpinEdit::StepDown() {
  if (isReadOnly() || !buttonVisible_) {
    Beep();
    return;
  }
  PrepareStep();
  // On the last way down to the minimum the step becomes finer, so that the
  // minimum itself can be reached.
  if (!integerOnly_ && Current().find(DefaultDecimalSeparator()) != std::string::npos && minValue_ < maxValue_ &&
      increment_ > 0 && value_ - increment_ < minValue_) {
    long double e = std::floor(std::log10(increment_) - 1);
    if (-e < defaultDigit_ && value_ - std::pow(10.0L, e) >= minValue_) increment_ = std::pow(10.0L, e);
  }
  SetValue(value_ - increment_);
}

void TNumberSpinEdit::RestoreLastGood() {
  setText(QString::fromStdString(lastGood_));
  selectAll();
}

void TNumberSpinEdit::keyPressEvent(QKeyEvent* event) {
  if (isReadOnly()) {
    event->accept();
    return;
  }
  switch (event->key()) {
    case Qt::Key_Up: StepUp(); event->accept(); return;
    case Qt::Key_Down: StepDown(); event->accept(); return;
    default: break;
  }
  if (!editorEnabled_) {
    event->accept();
    return;
  }
  switch (event->key()) {
    case Qt::Key_Escape: RestoreLastGood(); event->accept(); return;
    case Qt::Key_Return:
    case Qt::Key_Enter: {
      long double v = 0;
      if (Trim(Current()).empty())
        SetValue(0);
      else if (ReadsAsNumber(Current(), v))
        SetValue(v);
      else {
        Beep();
        RestoreLastGood();
      }
      event->accept();
      return;
    }
    default: break;
  }
  const QString text = event->text();
  if (text.size() == 1 && text[0].unicode() >= 32 && text[0].unicode() != 127) {
    const QChar qc = text[0];
    const char ch = qc.unicode() < 128 ? static_cast<char>(qc.unicode()) : '\x01';
    if (!AcceptsChar(ch)) {
      Beep();
      event->accept();
      return;
    }
    if (qc.unicode() > 32 && text.size() > 0 &&
        static_cast<int>(this->text().size() - selectedText().size()) >= TypingLimit()) {
      Beep();
      event->accept();
      return;
    }
  }
  QLineEdit::keyPressEvent(event);
}

bool TNumberSpinEdit::event(QEvent* e) {
  // Paste and cut change the text only when typing is allowed.
  if (e->type() == QEvent::ShortcutOverride || e->type() == QEvent::KeyPress) {
    auto* key = static_cast<QKeyEvent*>(e);
    if ((key->matches(QKeySequence::Paste) || key->matches(QKeySequence::Cut)) && (!editorEnabled_ || isReadOnly())) {
      e->accept();
      return true;
    }
  }
  return QLineEdit::event(e);
}

void TNumberSpinEdit::mousePressEvent(QMouseEvent* event) {
  if (!editorEnabled_ || isReadOnly()) {
    event->accept();
    return;
  }
  QLineEdit::mousePressEvent(event);
}

void TNumberSpinEdit::focusInEvent(QFocusEvent* event) {
  QLineEdit::focusInEvent(event);
  if (AutoSelect) selectAll();
  update();
}

void TNumberSpinEdit::focusOutEvent(QFocusEvent* event) {
  QLineEdit::focusOutEvent(event);
  long double v = 0;
  SetValue(ReadsAsNumber(Current(), v) ? v : value_);
}

void TNumberSpinEdit::resizeEvent(QResizeEvent* event) {
  QLineEdit::resizeEvent(event);
  PlaceButton();
}

void TNumberSpinEdit::changeEvent(QEvent* event) {
  QLineEdit::changeEvent(event);
  if (event->type() == QEvent::EnabledChange) ApplyColors();
}

void TNumberSpinEdit::PlaceButton() {
  const int w = button_->width();
  button_->setGeometry(width() - w - 2, 2, w, std::max(height() - 4, 10));
  setTextMargins(0, 0, buttonVisible_ ? w + 2 : 2, 0);
}
