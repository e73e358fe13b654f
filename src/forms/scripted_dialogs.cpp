#include "forms/scripted_dialogs.h"

#include <cstdio>
#include <cstdlib>

namespace forms {
namespace {

std::function<void(const std::string&)>& reporter() {
  static std::function<void(const std::string&)> report;
  return report;
}

void fail(const std::string& message) {
  if (reporter()) {
    reporter()(message);
    return;
  }
  std::fprintf(stderr, "ScriptedDialogs: %s\n", message.c_str());
  std::abort();
}

const char* kindName(ScriptedDialogs::Kind kind) {
  switch (kind) {
    case ScriptedDialogs::Kind::MsgBox: return "message box";
    case ScriptedDialogs::Kind::InputBox: return "input box";
    case ScriptedDialogs::Kind::FileOpen: return "file dialog";
    case ScriptedDialogs::Kind::BrowseForFolder: return "folder browser";
    case ScriptedDialogs::Kind::FormatDrive: return "format dialog";
  }
  return "dialog";
}

// Line breaks made visible in failure texts.
std::string visible(const std::string& text) {
  std::string out;
  for (char c : text) {
    if (c == '\r') {
      out += "\\r";
    } else if (c == '\n') {
      out += "\\n";
    } else if (c == '\0') {
      out += "\\0";
    } else {
      out.push_back(c);
    }
  }
  return out;
}

// The answer that risks nothing, for a prompt nobody expected.
int safeAnswer(int style) {
  switch (style & 7) {
    case vbOKOnly: return vbOK;
    case vbAbortRetryIgnore: return vbAbort;
    case vbYesNo: return vbNo;
    default: return vbCancel;
  }
}

}  // namespace

std::string describe(const ScriptedDialogs::Prompt& prompt) {
  return std::string(kindName(prompt.kind)) + " \"" + visible(prompt.text) + "\" (style " +
         std::to_string(prompt.style) + ", title \"" + visible(prompt.title) + "\")";
}

using Expectation = ScriptedDialogs::Expectation;

Expectation& Expectation::containing() {
  containing_ = true;
  return *this;
}
Expectation& Expectation::anyText() {
  anyText_ = true;
  return *this;
}
Expectation& Expectation::style(int style) {
  style_ = style;
  return *this;
}
Expectation& Expectation::title(std::string title) {
  title_ = std::move(title);
  return *this;
}
Expectation& Expectation::answer(int msgResult) {
  answer_ = msgResult;
  return *this;
}
Expectation& Expectation::answerText(std::string text) {
  answerText_ = std::move(text);
  return *this;
}
Expectation& Expectation::cancel() {
  answerText_.reset();
  answer_ = vbCancel;
  formatted_ = false;
  return *this;
}
Expectation& Expectation::formatted(bool done) {
  formatted_ = done;
  return *this;
}
Expectation& Expectation::then(std::function<void()> action) {
  action_ = std::move(action);
  return *this;
}
Expectation& Expectation::times(int count) {
  times_ = count < 1 ? 1 : count;
  return *this;
}

ScriptedDialogs::~ScriptedDialogs() = default;

ScriptedDialogs& ScriptedDialogs::install() {
  auto dialogs = std::make_unique<ScriptedDialogs>();
  ScriptedDialogs& ref = *dialogs;
  setDialogService(std::move(dialogs));
  return ref;
}

void ScriptedDialogs::setFailureReporter(std::function<void(const std::string&)> report) {
  reporter() = std::move(report);
}

Expectation& ScriptedDialogs::add(Kind kind, std::string text) {
  Expectation& e = queue_.emplace_back();
  e.kind_ = kind;
  e.text_ = std::move(text);
  return e;
}

Expectation& ScriptedDialogs::expect(std::string text) { return add(Kind::MsgBox, std::move(text)); }
Expectation& ScriptedDialogs::expectInput(std::string prompt) {
  return add(Kind::InputBox, std::move(prompt));
}
Expectation& ScriptedDialogs::expectFileOpen(std::string title) {
  return add(Kind::FileOpen, std::move(title));
}
Expectation& ScriptedDialogs::expectFolder(std::string title) {
  return add(Kind::BrowseForFolder, std::move(title));
}
Expectation& ScriptedDialogs::expectFormat(char drive) {
  return add(Kind::FormatDrive, std::string(1, drive));
}

void ScriptedDialogs::verify() {
  for (const Expectation& e : queue_) {
    fail("expected " + std::string(kindName(e.kind_)) + " \"" + visible(e.text_) + "\" was never shown");
  }
  queue_.clear();
}

std::optional<Expectation> ScriptedDialogs::take(const Prompt& prompt) {
  shown_.push_back(prompt);
  if (unexpected_ >= kMostUnexpected) {
    if (unexpected_++ == kMostUnexpected)
      fail("stopped after " + std::to_string(kMostUnexpected) +
           " unexpected prompts: the code keeps asking " + describe(prompt));
    throw Runaway("the code keeps asking after the script ended");
  }
  if (queue_.empty()) {
    ++unexpected_;
    fail("unexpected " + describe(prompt));
    return std::nullopt;
  }
  Expectation& next = queue_.front();
  bool textOk = next.anyText_ || (next.containing_ ? prompt.text.find(next.text_) != std::string::npos
                                                   : prompt.text == next.text_);
  std::string mismatch;
  if (next.kind_ != prompt.kind || !textOk) {
    mismatch = "expected " + std::string(kindName(next.kind_)) + " \"" + visible(next.text_) + "\"";
  } else if (next.style_ && *next.style_ != prompt.style) {
    mismatch = "expected style " + std::to_string(*next.style_);
  } else if (next.title_ && *next.title_ != prompt.title) {
    mismatch = "expected title \"" + visible(*next.title_) + "\"";
  }
  if (!mismatch.empty()) {
    ++unexpected_;
    fail("unexpected " + describe(prompt) + ": " + mismatch);
    return std::nullopt;
  }
  Expectation taken = next;
  if (--next.times_ == 0) queue_.erase(queue_.begin());
  if (taken.action_) taken.action_();
  return taken;
}

int ScriptedDialogs::msgBox(const std::string& prompt, int style, const std::string& title) {
  return msgBoxWithHelp(prompt, style, title, 0);
}

int ScriptedDialogs::msgBoxWithHelp(const std::string& prompt, int style, const std::string& title,
                                    int helpContext) {
  auto e = take({Kind::MsgBox, prompt, style, title, helpContext});
  return e ? e->answer_ : safeAnswer(style);
}

std::optional<std::string> ScriptedDialogs::inputBox(const std::string& prompt, const std::string& title,
                                                     const std::string& defaultText) {
  auto e = take({Kind::InputBox, prompt, 0, title, 0});
  if (!e || e->answer_ == vbCancel) return std::nullopt;
  return e->answerText_ ? *e->answerText_ : defaultText;
}

std::string ScriptedDialogs::fileOpen(const std::string& title, const std::string& /*filter*/,
                                      bool /*multiSelect*/, const std::string& /*initialFolder*/) {
  auto e = take({Kind::FileOpen, title, 0, title, 0});
  return e && e->answerText_ ? *e->answerText_ : std::string();
}

std::string ScriptedDialogs::browseForFolder(const std::string& title) {
  auto e = take({Kind::BrowseForFolder, title, 0, title, 0});
  return e && e->answerText_ ? *e->answerText_ : std::string();
}

bool ScriptedDialogs::formatDrive(char drive) {
  auto e = take({Kind::FormatDrive, std::string(1, drive), 0, {}, 0});
  return e && e->formatted_;
}

}  // namespace forms
