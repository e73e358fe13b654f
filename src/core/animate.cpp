#include "core/animate.h"

#include <QWidget>

#include "core/state.h"
#include "forms/animation.h"
#include "forms/app.h"
#include "forms/messages.h"
#include "platform/vb_convert.h"
#include "windows/animate.h"

namespace core {

SysAnimate32::~SysAnimate32() = default;

void SysAnimate32::Create(QWidget* hwnd, int Id, int Left, int Top, int width, int height) {
  Destroy();
  if (!hwnd) return;
  auto* host = new QWidget(hwnd);
  host->setObjectName("Static");
  host->setAttribute(Qt::WA_TranslucentBackground);
  host->setGeometry(Left, Top, width, height);
  auto* animation = new forms::Animation(host);
  animation->setObjectName("SysAnimate32");
  animation->setGeometry(0, 0, width, height);
  animation->open(Id);
  host->show();
  animation->show();
  hWndStatic_ = host;
  hWndAnimate_ = animation;
}

void SysAnimate32::Create(QWidget* hwnd, std::string_view Id, int Left, int Top, int width, int height) {
  // No clip files in the stand-in: a name opens nothing (id 0 names no clip).
  const int clip = platform::vb::isNumeric(Id) ? static_cast<int>(platform::vb::val(Id)) : 0;
  Create(hwnd, clip, Left, Top, width, height);
}

void SysAnimate32::pPlay() {
  if (hWndAnimate_ && hWndAnimate_->currentClip() != 0) hWndAnimate_->play();
}

void SysAnimate32::pStop() {
  if (hWndAnimate_) hWndAnimate_->stop();
}

void SysAnimate32::Destroy() {
  pStop();
  delete hWndAnimate_.data();
  delete hWndStatic_.data();
}

SysAnimate32& AnimateClip() {
  static auto* clip = new SysAnimate32;
  return *clip;
}

void InstallAnimateHandlers() {
  static bool installed = false;
  if (installed) return;
  installed = true;
  auto& window = windows::Animate();
  window.onLoad = [&window] {
    window.setCaption(forms::loadResString(1250));
    forms::setMousePointer(11);
    state().AnimateShown = true;
    QWidget* host = window.hWndStatic.widget();
    AnimateClip().Create(host ? host : window.widget(), kCopyClip, 0, 0, 300, 50);
    AnimateClip().pPlay();
  };
  window.onUnload = [](bool&) {
    state().AnimateShown = false;
    AnimateClip().Destroy();
  };
}

void HideAnimateForPrompt() {
  if (state().AnimateShown) windows::Animate().hide();
}

void ShowAnimateAfterPrompt() {
  if (state().AnimateShown) windows::Animate().show();
}

}  // namespace core
