#include "ui/readme.h"

#include "core/inifile.h"
#include "forms/app.h"
#include "forms/dialogs.h"
#include "forms/messages.h"
#include "platform/error.h"
#include "platform/files.h"
#include "windows/readme.h"

namespace ui {

using forms::res;

std::vector<std::string> readmeLines(std::string_view text) {
  std::vector<std::string> lines;
  std::string line;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '\r') {
      line += text[i];
      continue;
    }
    lines.push_back(std::move(line));
    line.clear();
    if (i + 1 < text.size() && text[i + 1] == '\n') ++i;
  }
  if (!line.empty()) lines.push_back(std::move(line));
  return lines;
}

namespace {

// A plain file: one with the hidden or the system attribute does not count.
bool normalFileExists(const std::string& path) {
  try {
    return !platform::findFiles(path, platform::kNormal).empty();
  } catch (const platform::RuntimeError&) {
    return false;
  }
}

void loadReadme() {
  windows::ReadmeWindow& readme = windows::Readme();
  readme.centre();
  const std::string path = forms::appPath() + "\\Readme.txt";
  if (!normalFileExists(path)) {
    forms::msgBox("Readme.txt " + res(1064), forms::vbOKOnly);
    return;
  }
  std::string text;
  try {
    text = platform::readFile(path);
  } catch (const platform::RuntimeError& error) {
    // Present but unreadable: logged, and the viewer opens empty.
    core::WriteErrorLog(error.number(), " Readme");
    return;
  }
  for (const std::string& line : readmeLines(text)) readme.List1.addItem(line);
}

}  // namespace

void bindReadme() {
  windows::ReadmeWindow& readme = windows::Readme();
  readme.onLoad = loadReadme;
  readme.Command1.onClick = [] { windows::Readme().unload(); };
}

}  // namespace ui
