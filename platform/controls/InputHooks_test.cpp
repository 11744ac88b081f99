#include "platform/controls/InputHooks.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QShortcut>
#include <QTest>
#include <QWidget>
#include <algorithm>
#include <string>
#include <vector>

#include "platform/core/Exceptions.h"
#include "platform/ui/DialogService.h"

namespace {

std::vector<std::string> heard;

// Logs what it receives and ignores it, so that Qt passes it on to its parent.
class LoggingWidget : public QWidget {
 public:
  LoggingWidget(const char* Name, QWidget* Parent = nullptr) : QWidget(Parent) {
    setObjectName(Name);
    setFocusPolicy(Qt::StrongFocus);
  }

 protected:
  bool event(QEvent* e) override {
    if (e->type() == QEvent::ShortcutOverride) Log("override");
    return QWidget::event(e);
  }
  void mousePressEvent(QMouseEvent* e) override { Ignored("press", e); }
  void mouseReleaseEvent(QMouseEvent* e) override { Ignored("release", e); }
  void keyPressEvent(QKeyEvent* e) override { Ignored("keydown", e); }
  void keyReleaseEvent(QKeyEvent* e) override { Ignored("keyup", e); }

 private:
  void Log(const char* What) { heard.push_back(objectName().toStdString() + ":" + What); }
  void Ignored(const char* What, QEvent* e) {
    Log(What);
    e->ignore();
  }
};

struct Window {
  LoggingWidget parent{"parent"};
  LoggingWidget* child = new LoggingWidget("child", &parent);
  Window() {
    parent.resize(200, 200);
    child->setGeometry(20, 20, 100, 100);
    parent.show();
    EXPECT_TRUE(QTest::qWaitForWindowExposed(&parent));
    QApplication::setActiveWindow(&parent);
    child->setFocus();
    heard.clear();
  }
};

struct HookListener {
  std::string name;
  bool swallows = false;
  bool raises = false;
  void Mouse(const TMouseHookEvent& E, bool& Swallow) {
    if (E.Kind == TMouseHookKind::Move) return;
    static const char* kinds[] = {"press", "dblclick", "release", "move"};
    heard.push_back(name + ":" + kinds[static_cast<int>(E.Kind)] + "@" + E.Target->objectName().toStdString() +
                    (E.Global == E.Target->mapToGlobal(QPoint(5, 6)) ? "" : " wrong position"));
    Tail(Swallow);
  }
  void Key(const TKeyHookEvent& E, bool& Swallow) {
    const char* msg = E.Msg == WM_KEYDOWN ? "down" : E.Msg == WM_KEYUP ? "up" : "sys";
    heard.push_back(name + ":" + msg + " " + std::to_string(E.VK) + "@" + E.Target->objectName().toStdString());
    Tail(Swallow);
  }
  void Tail(bool& Swallow) {
    if (raises) throw Exception("hook failed");
    if (swallows) Swallow = true;
  }
  TMouseHook MouseHook() { return TMouseHook::Of<&HookListener::Mouse>(*this); }
  TKeyHook KeyHook() { return TKeyHook::Of<&HookListener::Key>(*this); }
};

using Log = std::vector<std::string>;

TEST(MouseHooks, SeeEachEventOnceNewestFirstBeforeTheWidgetAndMaySwallowIt) {
  ScriptedDialogService dialogs;
  ScopedDialogService scope(dialogs);
  Window window;
  HookListener older{"older"}, newer{"newer"};
  AddMouseHook(older.MouseHook());
  AddMouseHook(newer.MouseHook());
  AddMouseHook(older.MouseHook());  // already there: once
  EXPECT_TRUE(InputHooksListening());

  QTest::mouseClick(window.child, Qt::LeftButton, {}, QPoint(5, 6));
  // The child ignores the press and Qt passes it on to the parent: the hooks
  // are not told again.
  EXPECT_EQ(heard, (Log{"newer:press@child", "older:press@child", "child:press", "parent:press", "newer:release@child",
                        "older:release@child", "child:release", "parent:release"}));

  heard.clear();
  newer.swallows = true;
  QTest::mouseClick(window.child, Qt::LeftButton, {}, QPoint(5, 6));
  EXPECT_EQ(heard, (Log{"newer:press@child", "newer:release@child"}));

  heard.clear();
  newer.swallows = false;
  newer.raises = true;
  QTest::mousePress(window.child, Qt::LeftButton, {}, QPoint(5, 6));
  EXPECT_EQ(heard, (Log{"newer:press@child", "older:press@child", "child:press", "parent:press"}));
  ASSERT_EQ(dialogs.Count("message"), 1);
  EXPECT_EQ(dialogs.Calls()[0].text, "hook failed.");
  newer.raises = false;
  QTest::mouseRelease(window.child, Qt::LeftButton, {}, QPoint(5, 6));

  RemoveMouseHook(newer.MouseHook());
  RemoveMouseHook(older.MouseHook());
  EXPECT_FALSE(InputHooksListening());
  heard.clear();
  QTest::mouseClick(window.child, Qt::LeftButton, {}, QPoint(5, 6));
  EXPECT_EQ(heard, (Log{"child:press", "parent:press", "child:release", "parent:release"}));
}

TEST(KeyHooks, SeeAPressBeforeTheWidgetsShortcutOverrideAndSwallowItWithItsShortcut) {
  Window window;
  int shortcuts = 0;
  QShortcut shortcut(QKeySequence(Qt::Key_F5), &window.parent);
  QObject::connect(&shortcut, &QShortcut::activated, [&] { ++shortcuts; });
  HookListener older{"older"}, newer{"newer"};
  AddKeyHook(older.KeyHook());
  AddKeyHook(newer.KeyHook());

  QTest::keyClick(window.child, Qt::Key_A);
  // Ignored by the child, the press and release go on to the parent untold.
  EXPECT_EQ(heard,
            (Log{"newer:down 65@child", "older:down 65@child", "child:override", "parent:override", "child:keydown",
                 "parent:keydown", "newer:up 65@child", "older:up 65@child", "child:keyup", "parent:keyup"}));

  heard.clear();
  QTest::keyClick(window.child, Qt::Key_F5);
  EXPECT_EQ(shortcuts, 1);
  EXPECT_EQ(heard.front(), "newer:down 116@child");

  heard.clear();
  newer.swallows = true;
  QTest::keyClick(window.child, Qt::Key_F5);
  QTest::keyClick(window.child, Qt::Key_A);
  EXPECT_EQ(shortcuts, 1);
  EXPECT_EQ(heard, (Log{"newer:down 116@child", "newer:up 116@child", "newer:down 65@child", "newer:up 65@child"}));

  heard.clear();
  newer.swallows = false;
  QTest::keyClick(window.child, Qt::Key_F, Qt::AltModifier);
  // QTest presses Alt first, as a key of its own.
  EXPECT_NE(std::find(heard.begin(), heard.end(), "newer:sys 70@child"), heard.end());

  RemoveKeyHook(older.KeyHook());
  RemoveKeyHook(newer.KeyHook());
  EXPECT_FALSE(InputHooksListening());
}

}  // namespace
