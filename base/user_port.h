// The user port: every message box, question, file dialog and modal dialog the
// engine shows goes through this one interface, so that the engine runs without a
// display. The window layer implements it with real dialogs, the tests with a
// scripted port that records every prompt and answers from a queue, and
// ferrowyn-cli with safe answers and messages on standard error.
#pragma once

#include <optional>
#include <string>

#include "base/color_text.h"
#include "base/font_record.h"

namespace ferrowyn {

enum class MessageKind {
  kError,        // error symbol
  kInformation,  // information symbol
  kWarning,      // warning symbol
  kQuestion,     // question symbol
};

// The buttons of a message box.
enum class MessageButtons { kOk, kOkCancel, kYesNo, kYesNoCancel, kAbortIgnore };

// The button the user pressed (or the answer given in the user's place).
enum class Answer { kOk, kCancel, kYes, kNo, kAbort, kIgnore };

// What the affirmative answer of a question does, so that a port that answers
// in the user's place (ferrowyn-cli) can refuse to overwrite or delete unless it
// was told to.
enum class Consequence { kNone, kOverwrites, kDeletes };

struct Message {
  MessageKind kind = MessageKind::kError;
  std::string text{};  // exact, 8-bit text
  MessageButtons buttons = MessageButtons::kOk;
  bool close_box = true;  // false: the box has no close button (only its buttons answer)
  // The answer that leaves everything as it is; given when nobody can be asked.
  Answer safe_answer = Answer::kOk;
  Consequence consequence = Consequence::kNone;
};

struct FileDialogRequest {
  enum Mode { kOpen, kSave };
  Mode mode = kOpen;
  std::string title{};   // "Open", "Save", "Delete"
  std::string filter{};  // "Ferrowyn! Files (*.fwb)|*.fwb" (description|patterns pairs)
  std::string initial_directory{};
  std::string file_name{};          // offered file name; empty for none
  std::string default_extension{};  // without or with its dot; empty for none
  bool overwrite_prompt = false;    // save: ask before replacing an existing file
};

// The site login dialog ("Use Username/Password"). The caller checks the fields
// and shows its own error, then asks again.
struct LoginAnswer {
  enum Choice { kOk, kNo, kAbort };
  Choice choice = kNo;
  std::string username{};
  std::string password{};
};

// The filter dialog ("Use Filter"). The caller checks the text.
struct FilterAnswer {
  enum Choice { kOk, kSkip, kAbort };
  Choice choice = kAbort;
  std::string filter{};
};

// Owned by whoever creates it; outlives every user of it. GUI thread only: workers
// reach it through synchronised calls. Implementations do not throw, apart from
// the scripted test port's failures.
class UserPort {
 public:
  virtual ~UserPort() = default;

  // A message box; returns the pressed button (kOk for a plain message).
  virtual Answer ShowMessage(const Message& message) = 0;

  // An open or save dialog; nullopt when cancelled, else the chosen path.
  virtual std::optional<std::string> ChooseFile(const FileDialogRequest& request) = 0;

  // The modal dialogs.
  virtual LoginAnswer AskLogin() = 0;
  virtual FilterAnswer AskFilter() = 0;
  // Font dialog starting at `initial`; nullopt when cancelled. The colour offered
  // is one of the sixteen standard colours.
  virtual std::optional<FontRecord> ChooseFont(const FontRecord& initial) = 0;
  // Colour dialog starting at `initial`; nullopt when cancelled.
  virtual std::optional<Rgb> ChooseColor(Rgb initial) = 0;
  // The platform's printer setup; false when cancelled.
  virtual bool PrinterSetup() = 0;

  // The please-wait window: shown with its caption, text and a progress bar from
  // 0 to `maximum`; the main window is disabled while it shows.
  virtual void ShowPleaseWait(const std::string& caption, const std::string& text, int maximum) = 0;
  virtual void SetPleaseWaitProgress(int position) = 0;
  virtual void ClosePleaseWait() = 0;

  // Hands a URL or mail address to the system's browser or mail program; false on
  // failure.
  virtual bool OpenUrl(const std::string& url) = 0;
  // Puts text on the clipboard.
  virtual void SetClipboardText(const std::string& text) = 0;

  // Shorthands for the common boxes.
  void Error(const std::string& text) { ShowMessage({MessageKind::kError, text}); }
  void Information(const std::string& text) { ShowMessage({MessageKind::kInformation, text}); }
};

}  // namespace ferrowyn
