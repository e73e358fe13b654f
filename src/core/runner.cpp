#include "core/runner.h"

#include "forms/app.h"
#include "platform/process.h"

namespace core {

int ShellAndWait(std::string_view commandLine) {
  const int exitCode = platform::runAndWait(commandLine);
  forms::doEvents();
  return exitCode;
}

}  // namespace core
