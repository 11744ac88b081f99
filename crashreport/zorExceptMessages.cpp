#include "crashreport/zorExceptMessages.h"

#include <QApplication>
#include <QMessageBox>
#include <QString>
#include <QThread>
#include <cstdio>
#include <mutex>
#include <string>

namespace zor {

namespace {

std::mutex& SinkMutex() {
  static std::mutex mutex;
  return mutex;
}

ReporterMessageSink& Sink() {
  static ReporterMessageSink sink;
  return sink;
}

QString ToQ(std::string_view s) { return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size())); }

}  // namespace

ReporterMessageSink SetReporterMessageSink(ReporterMessageSink sink) {
  std::lock_guard lock(SinkMutex());
  std::swap(Sink(), sink);
  return sink;
}

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

void ShowReporterMessage(std::string_view text) {
  try {
    ReporterMessageSink sink;
    {
      std::lock_guard lock(SinkMutex());
      sink = Sink();
    }
    // The sink runs without the lock, so a modal box does not hold up a
    // sink change on another thread.
    if (sink)
      sink(kReporterCaption, text);
    else
      DefaultReporterMessage(kReporterCaption, text);
  } catch (...) {
    // The reporter's own failures never reach its callers.
  }
}

}  // namespace zor
