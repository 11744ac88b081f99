#pragma once
// The base of the code editor's colouring parsers.
//
// The text store colours a line by calling GetColorData, SetCurrentLine and
// ColorLine in that order, carrying the state ColorLine answers into the next
// line; it reuses a line's colours while the state the line starts in is
// unchanged. Lines hold one code point per character, and colour data holds
// one byte per code point: the token kind of that character (0 = no colour;
// what the kinds mean is the descendant's).
//
// Listeners hear when a parser's word lists change (the descendants notify
// them). A listener whose method runs on a component is dropped when that
// component is freed, and is told when the parser itself goes away.

#include <cstdint>
#include <memory>
#include <string>

#include "components/base/MessageBroadcast.h"
#include "platform/classes/Component.h"
#include "platform/graphics/Color.h"

class TFont;

class TSimpleParser : public TComponent {
  KESTOVA_CLASS(TSimpleParser)
 public:
  explicit TSimpleParser(TComponent *AOwner);
  ~TSimpleParser() override;

  // Index (0-based) of the line being coloured.
  std::int32_t ScanLineIndex = 0;

  // Sets ScanLineIndex before the line Index is coloured.
  virtual void SetCurrentLine(std::int32_t Index) { ScanLineIndex = Index; }
  // The state a text starts in and the state nothing is open in; 0 here.
  virtual std::int32_t GetFirstState() { return 0; }
  virtual std::int32_t GetLastState() { return 0; }
  // Fills Colors (already sized to Line) for Line starting in State; answers
  // the state at the end of the line.
  virtual std::int32_t ColorLine(const std::u32string &Line, std::int32_t State, std::string &Colors) = 0;
  // The store colours only with an active parser; the base is not active.
  virtual bool IsActive() { return false; }
  // Prepares Colors for ColorLine: one zero byte per character of Line.
  virtual void GetColorData(std::int32_t Index, const std::u32string &Line, std::string &Colors);
  // True when the colour bytes are stored attributes that edits carry along,
  // rather than colours computed from the text.
  virtual bool KeepsColorData() { return false; }
  // The font of a token kind, or nullptr to use the control's styles.
  virtual TFont *GetStyleFont(std::int32_t Style) { return nullptr; }
  // The background colour of a token kind; false when the parser has none.
  virtual bool GetStyleColor(std::int32_t Style, TColor &Color) { return false; }

  // Adds Method as the newest listener (an equal one moves to the end). A
  // component that receives the calls is watched, so that its listeners go
  // when it is freed.
  void AddNotifier(const TNotifierMethod &Method);
  // Removes the oldest listener equal to Method.
  void RemoveNotifier(const TNotifierMethod &Method);

  TNotifierList *Notifiers() const { return notifiers_.get(); }

  void Notification(TComponent *AComponent, TOperation Operation) override;
  // Tells each listening component, newest first, that the parser goes away.
  void BeforeDestruction() override;

 private:
  void NotifyListenersOfRemoval();

  std::unique_ptr<TNotifierList> notifiers_;
  bool listenersTold_ = false;
};
