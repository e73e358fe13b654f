#include "restore/reboot.h"

#include "core/pause.h"
#include "forms/app.h"
#include "forms/messages.h"
#include "platform/restart.h"
#include "windows/reboot.h"

namespace restore {

void bindReboot() {
  windows::RebootWindow& notice = windows::Reboot();
  notice.onLoad = [] {
    windows::RebootWindow& n = windows::Reboot();
    n.Label1.setCaption(forms::loadResString(1542));
    n.centre();
    n.refresh();
    core::Pause(500);
  };
}

void RebootWindows() {
  forms::doEvents();
  windows::Reboot().refresh();
  if (!platform::exitWindowsEx(platform::kEwxShutdown | platform::kEwxReboot, 0)) {
    // Windows refused: the program goes on, and the notice no longer claims a restart.
    windows::Reboot().hide();
  }
}

}  // namespace restore
