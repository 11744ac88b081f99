#pragma once
// The current printer as drawing code needs it: its page and resolution, and
// a job of pages that pictures are played onto. QtPrinter drives a QPrinter
// that the print dialog has set up; TestPrinter records what a job did.

#include <memory>
#include <string>
#include <vector>

#include "platform/graphics/Picture.h"

class QPrinter;

inline constexpr const char* kPrintStartErrorText = "The print job could not be started";
inline constexpr const char* kNotPrintingErrorText = "The printer has no job running";

class Printer {
 public:
  virtual ~Printer() = default;
  // The printable page: HORZRES x VERTRES printer pixels, HORZSIZE x VERTSIZE
  // millimetres, LOGPIXELSX/Y its resolution.
  virtual DeviceInfo Capabilities() const = 0;
  std::int32_t PageWidth() const { return Capabilities().HorzRes; }
  std::int32_t PageHeight() const { return Capabilities().VertRes; }
  // Starts a job; raises Exception(kPrintStartErrorText) when it cannot.
  virtual void BeginDoc(const std::string& title) = 0;
  // Plays the picture into `target` (printer pixels) on the current page;
  // raises Exception(kNotPrintingErrorText) outside a job.
  virtual void DrawPicture(const Picture& picture, const Rect& target) = 0;
  // Ends the job and sends it to the printer.
  virtual void EndDoc() = 0;
  // Ends a running job without printing it; nothing happens outside a job.
  virtual void Abort() = 0;
  virtual bool Printing() const = 0;
};

class QtPrinter final : public Printer {
 public:
  // `printer` stays owned by the caller and must outlive this object.
  explicit QtPrinter(QPrinter& printer);
  ~QtPrinter() override;
  DeviceInfo Capabilities() const override;
  void BeginDoc(const std::string& title) override;
  void DrawPicture(const Picture& picture, const Rect& target) override;
  void EndDoc() override;
  void Abort() override;
  bool Printing() const override;

 private:
  struct Job;
  QPrinter& printer_;
  std::unique_ptr<Job> job_;
};

// A printer without a device: a page of the given capabilities (an A4 page at
// 600 pixels per inch unless told otherwise) and a log of the job:
// "BeginDoc(title)", "DrawPicture(left,top,right,bottom)", "EndDoc", "Abort".
class TestPrinter final : public Printer {
 public:
  TestPrinter();
  explicit TestPrinter(const DeviceInfo& page);
  DeviceInfo Capabilities() const override { return page_; }
  void BeginDoc(const std::string& title) override;
  void DrawPicture(const Picture& picture, const Rect& target) override;
  void EndDoc() override;
  void Abort() override;
  bool Printing() const override { return printing_; }

  // Makes the next BeginDoc or DrawPicture fail, as a broken driver would.
  void FailBegin() { failBegin_ = true; }
  void FailDraw() { failDraw_ = true; }
  const std::vector<std::string>& Log() const { return log_; }
  // The pictures drawn, in order.
  const std::vector<Picture>& Pictures() const { return pictures_; }

 private:
  DeviceInfo page_;
  bool printing_ = false;
  bool failBegin_ = false;
  bool failDraw_ = false;
  std::vector<std::string> log_;
  std::vector<Picture> pictures_;
};
