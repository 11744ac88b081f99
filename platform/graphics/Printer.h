#pragma once
// The current printer as drawing code needs it: its page and resolution, and
// a job of pages. Each page is drawn through its canvas, a device context in
// printer pixels, or by playing pictures onto it. QtPrinter drives a QPrinter
// that the print dialog has set up; TestPrinter records what a job did.
//
// A job: BeginDoc starts it on page 1; NewPage ends a page and starts the
// next; EndDoc ends the last page and sends the job; Abort drops it. The
// printer checks the order once for every implementation: drawing, NewPage
// or EndDoc outside a job raise Exception(kNotPrintingErrorText), and
// BeginDoc during a job raises Exception(kPrintStartErrorText).

#include <memory>
#include <string>
#include <vector>

#include "platform/graphics/DeviceContext.h"
#include "platform/graphics/Picture.h"

class QPrinter;

inline constexpr const char* kPrintStartErrorText = "The print job could not be started";
inline constexpr const char* kNotPrintingErrorText = "The printer has no job running";
inline constexpr const char* kNewPageErrorText = "The printer could not start a new page";

class Printer {
 public:
  Printer() = default;
  virtual ~Printer() = default;
  Printer(const Printer&) = delete;
  Printer& operator=(const Printer&) = delete;

  // The printable page: HORZRES x VERTRES printer pixels, HORZSIZE x VERTSIZE
  // millimetres, LOGPIXELSX/Y its resolution.
  virtual DeviceInfo Capabilities() const = 0;
  std::int32_t PageWidth() const { return Capabilities().HorzRes; }
  std::int32_t PageHeight() const { return Capabilities().VertRes; }

  // Starts a job named `title`; raises Exception(kPrintStartErrorText) when
  // it cannot.
  void BeginDoc(const std::string& title);
  // The current page's canvas, in printer pixels with (0, 0) at the top left
  // of the printable page, in its initial state on each page. It stays valid
  // until NewPage, EndDoc or Abort.
  DeviceContext& Canvas();
  // Plays the picture into `target` (printer pixels) on the current page.
  void DrawPicture(const Picture& picture, const Rect& target);
  // Ends the current page and starts the next one.
  void NewPage();
  // Ends the job and sends it to the printer.
  void EndDoc();
  // Ends a running job without printing the rest; nothing happens outside a
  // job.
  void Abort();

  bool Printing() const { return printing_; }
  // The page being drawn, from 1; 0 before the first job.
  int PageNumber() const { return page_; }
  // The title of the running or last job.
  const std::string& Title() const { return title_; }
  // True when the last job was ended by Abort, until the next BeginDoc.
  bool Aborted() const { return aborted_; }

 protected:
  // The device side of a job. Each is called only in the right state; one
  // that raises leaves the job as it was (StartJob: no job).
  virtual void StartJob(const std::string& title) = 0;
  virtual DeviceContext& PageCanvas() = 0;
  virtual void PlayOnPage(const Picture& picture, const Rect& target) = 0;
  virtual void StartNextPage() = 0;
  virtual void FinishJob() = 0;
  virtual void CancelJob() = 0;

 private:
  void RequireJob() const;

  bool printing_ = false;
  bool aborted_ = false;
  int page_ = 0;
  std::string title_;
};

class QtPrinter final : public Printer {
 public:
  // `printer` stays owned by the caller and must outlive this object.
  explicit QtPrinter(QPrinter& printer);
  ~QtPrinter() override;
  DeviceInfo Capabilities() const override;

 protected:
  void StartJob(const std::string& title) override;
  DeviceContext& PageCanvas() override;
  void PlayOnPage(const Picture& picture, const Rect& target) override;
  void StartNextPage() override;
  void FinishJob() override;
  void CancelJob() override;

 private:
  struct Job;
  QPrinter& printer_;
  std::unique_ptr<Job> job_;
};

// A printer without a device: a page of the given capabilities (an A4 page at
// 600 pixels per inch unless told otherwise) and a log of the job:
// "BeginDoc(title)", "DrawPicture(left,top,right,bottom)", "NewPage",
// "EndDoc", "Abort". What each page's canvas drew is kept as a picture of
// the page.
class TestPrinter final : public Printer {
 public:
  TestPrinter();
  explicit TestPrinter(const DeviceInfo& page);
  DeviceInfo Capabilities() const override { return page_; }

  // Makes the next BeginDoc or DrawPicture fail, as a broken driver would.
  void FailBegin() { failBegin_ = true; }
  void FailDraw() { failDraw_ = true; }
  const std::vector<std::string>& Log() const { return log_; }
  // The pictures played with DrawPicture, in order, over every job.
  const std::vector<Picture>& Pictures() const { return pictures_; }
  // The canvas drawing of each page of the running or last job that NewPage
  // or EndDoc ended, in order (an aborted page is not kept); the frame is the
  // whole page.
  const std::vector<Picture>& Pages() const { return pages_; }

 protected:
  void StartJob(const std::string& title) override;
  DeviceContext& PageCanvas() override;
  void PlayOnPage(const Picture& picture, const Rect& target) override;
  void StartNextPage() override;
  void FinishJob() override;
  void CancelJob() override;

 private:
  void ClosePage();

  DeviceInfo page_;
  bool failBegin_ = false;
  bool failDraw_ = false;
  std::unique_ptr<PictureRecorder> canvas_;
  std::vector<std::string> log_;
  std::vector<Picture> pictures_;
  std::vector<Picture> pages_;
};
