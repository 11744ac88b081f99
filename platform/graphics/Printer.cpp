#include "platform/graphics/Printer.h"

#include <QPainter>
#include <QPrinter>

#include "platform/core/Exceptions.h"
#include "platform/core/NumberFormat.h"
#include "platform/graphics/PicturePlayer.h"
#include "platform/graphics/QtGraphics.h"

// ---- QtPrinter ----

struct QtPrinter::Job {
  QPainter painter;
};

QtPrinter::QtPrinter(QPrinter& printer) : printer_(printer) {}

QtPrinter::~QtPrinter() { Abort(); }

DeviceInfo QtPrinter::Capabilities() const { return DeviceInfoOf(printer_); }

void QtPrinter::BeginDoc(const std::string& title) {
  if (job_) throw Exception(kPrintStartErrorText);
  printer_.setDocName(QString::fromStdString(title));
  auto job = std::make_unique<Job>();
  if (!job->painter.begin(&printer_)) throw Exception(kPrintStartErrorText);
  job_ = std::move(job);
}

void QtPrinter::DrawPicture(const Picture& picture, const Rect& target) {
  if (!job_) throw Exception(kNotPrintingErrorText);
  PlayPicture(picture, job_->painter, target);
}

void QtPrinter::EndDoc() {
  if (!job_) throw Exception(kNotPrintingErrorText);
  job_->painter.end();
  job_.reset();
}

void QtPrinter::Abort() {
  if (!job_) return;
  printer_.abort();
  if (job_->painter.isActive()) job_->painter.end();
  job_.reset();
}

bool QtPrinter::Printing() const { return job_ != nullptr; }

// ---- TestPrinter ----

TestPrinter::TestPrinter() : TestPrinter(DeviceInfoFromPixels(4961, 7016, 600)) {}

TestPrinter::TestPrinter(const DeviceInfo& page) : page_(page) {}

void TestPrinter::BeginDoc(const std::string& title) {
  if (failBegin_ || printing_) {
    failBegin_ = false;
    throw Exception(kPrintStartErrorText);
  }
  log_.push_back("BeginDoc(" + title + ")");
  printing_ = true;
}

void TestPrinter::DrawPicture(const Picture& picture, const Rect& target) {
  if (!printing_) throw Exception(kNotPrintingErrorText);
  if (failDraw_) {
    failDraw_ = false;
    throw Exception("Printer driver failure");
  }
  log_.push_back("DrawPicture(" + IntToStr(target.left) + "," + IntToStr(target.top) + "," + IntToStr(target.right) +
                 "," + IntToStr(target.bottom) + ")");
  pictures_.push_back(picture);
}

void TestPrinter::EndDoc() {
  if (!printing_) throw Exception(kNotPrintingErrorText);
  log_.push_back("EndDoc");
  printing_ = false;
}

void TestPrinter::Abort() {
  if (!printing_) return;
  log_.push_back("Abort");
  printing_ = false;
}
