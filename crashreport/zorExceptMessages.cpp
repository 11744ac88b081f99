#include "crashreport/zorExceptMessages.h"

#include <QApplication>
#include <QMessageBox>
#include <QString>
#include <QThread>
#include <cstdio>
#include <string>

#include "crashreport/zorExcept_p.h"

namespace zor {

namespace {

ReplaceableFunction<ReporterMessageSink>& Sink() {
  static ReplaceableFunction<ReporterMessageSink> sink;
  return sink;
}

QString ToQ(std::string_view s) { return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size())); }

}  // namespace

ReporterMessageSink SetReporterMessageSink(ReporterMessageSink sink) { return Sink().Replace(std::move(sink)); }

void DefaultReporterMessage(std::string_view caption, std::string_view text) {
  auto* app = qobject_cast<QApplication*>(QCoreApplication::instance());
  if (app && QThread::currentThread() == app->thread()) {
    QMessageBox box(QMessageBox::NoIcon, ToQ(caption), ToQ(text), QMessageBox::Ok);
    box.exec();
    return;
  }
  const std::string line = std::string(caption) + ": " + std::string(text) + "\n";
  std::fwrite(line.data(), 1, line.size(), stderr);
  std::fflush(stderr);
}

void ShowReporterMessage(std::string_view text) { ShowReporterMessage(kReporterCaption, text); }

void ShowReporterMessage(std::string_view caption, std::string_view text) {
  try {
    const ReporterMessageSink sink = Sink().Get();
    if (sink)
      sink(caption, text);
    else
      DefaultReporterMessage(caption, text);
  } catch (...) {
    // The reporter's own failures never reach its callers.
  }
}

}  // namespace zor
