#include "platform/graphics/Printer.h"

#include <QPainter>
#include <QPrinter>
#include <optional>

#include "platform/core/Exceptions.h"
#include "platform/core/NumberFormat.h"
#include "platform/graphics/PainterContext.h"
#include "platform/graphics/PicturePlayer.h"
#include "platform/graphics/QtGraphics.h"

// ---- Printer ----

void Printer::RequireJob() const {
  if (!printing_) throw Exception(kNotPrintingErrorText);
}

void Printer::BeginDoc(const std::string& title) {
  if (printing_) throw Exception(kPrintStartErrorText);
  StartJob(title);
  printing_ = true;
  aborted_ = false;
  page_ = 1;
  title_ = title;
}

DeviceContext& Printer::Canvas() {
  RequireJob();
  return PageCanvas();
}

void Printer::DrawPicture(const Picture& picture, const Rect& target) {
  RequireJob();
  PlayOnPage(picture, target);
}

void Printer::NewPage() {
  RequireJob();
  StartNextPage();
  ++page_;
}

void Printer::EndDoc() {
  RequireJob();
  FinishJob();
  printing_ = false;
}

void Printer::Abort() {
  if (!printing_) return;
  // The job is over whatever the device says.
  printing_ = false;
  aborted_ = true;
  CancelJob();
}

// ---- QtPrinter ----

struct QtPrinter::Job {
  QPainter painter;
  // Made on first use on each page; it restores the painter when destroyed.
  std::optional<PainterContext> canvas;
};

QtPrinter::QtPrinter(QPrinter& printer) : printer_(printer) {}

QtPrinter::~QtPrinter() { Abort(); }

DeviceInfo QtPrinter::Capabilities() const { return DeviceInfoOf(printer_); }

void QtPrinter::StartJob(const std::string& title) {
  printer_.setDocName(QString::fromStdString(title));
  auto job = std::make_unique<Job>();
  if (!job->painter.begin(&printer_)) throw Exception(kPrintStartErrorText);
  job_ = std::move(job);
}

DeviceContext& QtPrinter::PageCanvas() {
  if (!job_->canvas) job_->canvas.emplace(job_->painter, Capabilities());
  return *job_->canvas;
}

void QtPrinter::PlayOnPage(const Picture& picture, const Rect& target) { PlayPicture(picture, job_->painter, target); }

void QtPrinter::StartNextPage() {
  job_->canvas.reset();
  if (!printer_.newPage()) throw Exception(kNewPageErrorText);
}

void QtPrinter::FinishJob() {
  job_->canvas.reset();
  job_->painter.end();
  job_.reset();
}

void QtPrinter::CancelJob() {
  if (!job_) return;
  job_->canvas.reset();
  printer_.abort();
  if (job_->painter.isActive()) job_->painter.end();
  job_.reset();
}

// ---- TestPrinter ----

TestPrinter::TestPrinter() : TestPrinter(DeviceInfoFromPixels(4961, 7016, 600)) {}

TestPrinter::TestPrinter(const DeviceInfo& page) : page_(page) {}

void TestPrinter::StartJob(const std::string& title) {
  if (failBegin_) {
    failBegin_ = false;
    throw Exception(kPrintStartErrorText);
  }
  log_.push_back("BeginDoc(" + title + ")");
  pages_.clear();
  canvas_.reset();
}

DeviceContext& TestPrinter::PageCanvas() {
  if (!canvas_) {
    canvas_ = std::make_unique<PictureRecorder>(PictureFrameFromPixels(page_.HorzRes, page_.VertRes, page_), page_);
  }
  return *canvas_;
}

void TestPrinter::PlayOnPage(const Picture& picture, const Rect& target) {
  if (failDraw_) {
    failDraw_ = false;
    throw Exception("Printer driver failure");
  }
  log_.push_back("DrawPicture(" + IntToStr(target.left) + "," + IntToStr(target.top) + "," + IntToStr(target.right) +
                 "," + IntToStr(target.bottom) + ")");
  pictures_.push_back(picture);
}

// A page whose canvas was never asked for is kept as an empty picture, so
// that Pages() has one entry per page.
void TestPrinter::ClosePage() {
  PageCanvas();
  pages_.push_back(canvas_->Close());
  canvas_.reset();
}

void TestPrinter::StartNextPage() {
  ClosePage();
  log_.push_back("NewPage");
}

void TestPrinter::FinishJob() {
  ClosePage();
  log_.push_back("EndDoc");
}

void TestPrinter::CancelJob() {
  canvas_.reset();
  log_.push_back("Abort");
}
