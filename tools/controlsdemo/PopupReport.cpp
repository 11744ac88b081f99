#include "tools/controlsdemo/PopupReport.h"

#include <QTimer>
#include <QWidget>
#include <cstdio>

#include "components/base/ZREdit.h"

void PrintPlace(const std::string& What, TWinControl* Control) {
  const Point p = Control->ClientToScreen({0, 0});
  std::printf("%s: %d %d %d %d\n", What.c_str(), static_cast<int>(p.x), static_cast<int>(p.y), Control->Width(),
              Control->Height());
  std::fflush(stdout);
}

void StartPopupReport(TWinControl* Page) {
  for (int i = 0; i < Page->ControlCount(); ++i)
    if (auto* edit = dynamic_cast<TCustomZREdit*>(Page->Controls(i))) PrintPlace("edit " + edit->Name(), edit);
  auto* timer = new QTimer(Page->Handle());
  QObject::connect(timer, &QTimer::timeout, [shown = static_cast<TWinControl*>(nullptr)]() mutable {
    TWinControl* popup = ActivePopup();
    if (popup == shown) return;
    shown = popup;
    if (popup)
      PrintPlace("popup", popup);
    else
      std::printf("popup closed\n");
    std::fflush(stdout);
  });
  timer->start(100);
}
