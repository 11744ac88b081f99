#pragma once
// A shown, active window for focus tests (offscreen): two line edits, "a"
// (focused once the window is up) and "b", that log each FocusIn they get as
// "in:<name>" to the log the window was given.

#include <gtest/gtest.h>

#include <QApplication>
#include <QLineEdit>
#include <QTest>
#include <QVBoxLayout>
#include <QWidget>
#include <string>
#include <vector>

class FocusLoggingEdit : public QLineEdit {
 public:
  FocusLoggingEdit(const char* Name, std::vector<std::string>& Log, QWidget* Parent) : QLineEdit(Parent), log_(Log) {
    setObjectName(Name);
  }

 protected:
  void focusInEvent(QFocusEvent* event) override {
    log_.push_back("in:" + objectName().toStdString());
    QLineEdit::focusInEvent(event);
  }

 private:
  std::vector<std::string>& log_;
};

class FocusWindow : public QWidget {
 public:
  // Log is cleared once the window is up, with "a" focused.
  explicit FocusWindow(std::vector<std::string>& Log)
      : a(new FocusLoggingEdit("a", Log, this)), b(new FocusLoggingEdit("b", Log, this)) {
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(a);
    layout->addWidget(b);
    show();
    QApplication::setActiveWindow(this);
    EXPECT_TRUE(QTest::qWaitForWindowActive(this));
    a->setFocus();
    Log.clear();
  }

  FocusLoggingEdit* const a;
  FocusLoggingEdit* const b;
};
