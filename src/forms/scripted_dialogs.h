#pragma once
// A dialogs service for tests: every prompt the code shows must have been
// expected, in order; each expectation gives the answer (and may first run an
// action, such as putting another disk into drive A:). A prompt that was not
// expected, or one that differs from the next expectation, is reported as a
// test failure with its text and answered with the choice that risks nothing.
// Code that keeps asking after the script has lost it (a prompt in a loop that
// only OK leaves) is stopped: past kMostUnexpected such prompts every prompt
// throws ScriptedDialogs::Runaway, so the test fails at once instead of
// running until its time is up.
//
//   auto& dialogs = forms::ScriptedDialogs::install();
//   dialogs.expect("Save settings").style(forms::vbYesNo + forms::vbQuestion).answer(forms::vbYes);
//   dialogs.expectInput("Description").answerText("Before");
//   ... run the code ...
//   dialogs.verify();   // every expectation was used
#include <functional>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "forms/dialogs.h"

namespace forms {

class ScriptedDialogs : public DialogService {
 public:
  enum class Kind { MsgBox, InputBox, FileOpen, BrowseForFolder, FormatDrive };

  static constexpr int kMostUnexpected = 20;
  struct Runaway : std::runtime_error {
    using std::runtime_error::runtime_error;
  };

  // One shown prompt, as the code asked for it.
  struct Prompt {
    Kind kind = Kind::MsgBox;
    std::string text;  // prompt, or the dialog's title; "A" for a format of drive A:
    int style = 0;
    std::string title;  // as given ("" = the application title)
    int helpContext = 0;
  };

  class Expectation {
   public:
    // Matching (all optional but the kind; text is exact unless containing()).
    Expectation& containing();  // the text need only contain the expected text
    Expectation& anyText();
    Expectation& style(int style);
    Expectation& title(std::string title);
    // Answers.
    Expectation& answer(int msgResult);         // message boxes
    Expectation& answerText(std::string text);  // input, file and folder dialogs
    Expectation& cancel();                      // input box nullopt, "" for the others
    Expectation& formatted(bool done);          // format dialog
    // Runs before the answer is given, e.g. to insert a medium.
    Expectation& then(std::function<void()> action);
    Expectation& times(int count);  // the same prompt this many times

   private:
    friend class ScriptedDialogs;
    Kind kind_ = Kind::MsgBox;
    std::string text_;
    bool containing_ = false;
    bool anyText_ = false;
    std::optional<int> style_;
    std::optional<std::string> title_;
    int answer_ = vbOK;
    std::optional<std::string> answerText_;
    bool formatted_ = true;
    std::function<void()> action_;
    int times_ = 1;
  };

  ScriptedDialogs() = default;
  ~ScriptedDialogs() override;

  // Makes a new instance the dialogs service and returns it.
  static ScriptedDialogs& install();
  // Where failures go (tests set ADD_FAILURE; see scripted_dialogs_gtest.h).
  // Default: stderr and abort.
  static void setFailureReporter(std::function<void(const std::string&)> reporter);

  Expectation& expect(std::string text);  // a message box
  Expectation& expectInput(std::string prompt);
  Expectation& expectFileOpen(std::string title);
  Expectation& expectFolder(std::string title);
  Expectation& expectFormat(char drive);

  // Reports every expectation that was not used, then forgets them.
  void verify();
  std::size_t pending() const { return queue_.size(); }
  // Everything shown so far, in order.
  const std::vector<Prompt>& shown() const { return shown_; }

  int msgBox(const std::string& prompt, int style, const std::string& title) override;
  int msgBoxWithHelp(const std::string& prompt, int style, const std::string& title,
                     int helpContext) override;
  std::optional<std::string> inputBox(const std::string& prompt, const std::string& title,
                                      const std::string& defaultText) override;
  std::string fileOpen(const std::string& title, const std::string& filter, bool multiSelect,
                       const std::string& initialFolder) override;
  std::string browseForFolder(const std::string& title) override;
  bool formatDrive(char drive) override;

 private:
  Expectation& add(Kind kind, std::string text);
  // The matching expectation taken off the queue, or nullopt after a failure report.
  std::optional<Expectation> take(const Prompt& prompt);

  std::vector<Expectation> queue_;
  std::vector<Prompt> shown_;
  int unexpected_ = 0;
};

// A readable form of a prompt for failure texts.
std::string describe(const ScriptedDialogs::Prompt& prompt);

}  // namespace forms
