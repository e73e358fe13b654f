#pragma once
// The animation class (a host window with the animation control inside, one
// per window that plays a clip) and the behaviour of the copy-progress window
// Animate, which plays clip 120 while archives are moved to or from disks.
#include <QPointer>
#include <QWidget>
#include <string_view>

#include "forms/animation.h"

namespace core {

class SysAnimate32 {
 public:
  SysAnimate32() = default;
  ~SysAnimate32();
  SysAnimate32(const SysAnimate32&) = delete;
  SysAnimate32& operator=(const SysAnimate32&) = delete;

  // Builds the host ("Static") and the animation control inside `hwnd` at
  // Left, Top with the size width x height and opens clip `Id` of the
  // program. A clip that cannot be opened leaves an empty, transparent area.
  void Create(QWidget* hwnd, int Id, int Left, int Top, int width, int height);
  // The same with a text: a number names a clip of the program, anything else
  // a clip file (the stand-in plays none, so the area stays empty).
  void Create(QWidget* hwnd, std::string_view Id, int Left, int Top, int width, int height);
  void pPlay();  // the whole clip, looping without end
  void pStop();
  // Stops and destroys both windows; harmless when done already.
  void Destroy();

  QWidget* hWndStatic() const { return hWndStatic_; }
  forms::Animation* hWndAnimate() const { return hWndAnimate_; }

 private:
  QPointer<QWidget> hWndStatic_;
  QPointer<forms::Animation> hWndAnimate_;
};

// The copy window's clip: clip 120 at the top left, 300 x 50.
inline constexpr int kCopyClip = 120;

// Installs the Animate window's load and unload: the load sets the caption
// (message 1250), the hourglass, AnimateShown and starts the clip; the unload
// clears AnimateShown and destroys the clip. Calling it again does nothing.
void InstallAnimateHandlers();
// The clip object of the Animate window.
SysAnimate32& AnimateClip();

// Around a disk prompt: hide the copy window while it is loaded (AnimateShown
// stays True), and show it again (not modal) afterwards.
void HideAnimateForPrompt();
void ShowAnimateAfterPrompt();

}  // namespace core
