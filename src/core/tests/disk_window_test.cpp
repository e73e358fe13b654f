// The copy-progress window and its clip.
#include <QWidget>

#include "core/animate.h"
#include "disk_fixture.h"

namespace {

using namespace disktest;

class DiskWindow : public DiskTest {};

TEST_F(DiskWindow, LoadingTheCopyWindowStartsItsClipAndUnloadingEndsIt) {
  auto& window = windows::Animate();
  window.show();
  EXPECT_EQ(window.caption(), res(1250));
  EXPECT_EQ(forms::mousePointer(), 11);
  EXPECT_TRUE(core::state().AnimateShown);
  auto& clip = core::AnimateClip();
  ASSERT_NE(clip.hWndAnimate(), nullptr);
  EXPECT_EQ(clip.hWndStatic()->objectName(), "Static");
  EXPECT_EQ(clip.hWndStatic()->size(), QSize(300, 50));
  EXPECT_EQ(clip.hWndAnimate()->currentClip(), 120);
  EXPECT_TRUE(clip.hWndAnimate()->playing());

  core::HideAnimateForPrompt();
  EXPECT_FALSE(window.visible());
  EXPECT_TRUE(core::state().AnimateShown);
  core::ShowAnimateAfterPrompt();
  EXPECT_TRUE(window.visible());

  window.unload();
  EXPECT_FALSE(core::state().AnimateShown);
  EXPECT_EQ(clip.hWndAnimate(), nullptr);
  clip.Destroy();                        // a second time does no harm
  EXPECT_EQ(forms::mousePointer(), 11);  // the window's users put the pointer back
}

TEST_F(DiskWindow, AClipNamedByTextOpensAProgramClipOrLeavesTheAreaEmpty) {
  QWidget owner;
  core::SysAnimate32 clip;
  clip.Create(&owner, "110", 5, 5, 100, 40);
  clip.pPlay();
  EXPECT_EQ(clip.hWndAnimate()->currentClip(), 110);
  EXPECT_TRUE(clip.hWndAnimate()->playing());
  clip.Create(&owner, "C:\\WINDOWS\\clock.avi", 0, 0, 100, 40);
  clip.pPlay();
  EXPECT_EQ(clip.hWndAnimate()->currentClip(), 0);
  EXPECT_FALSE(clip.hWndAnimate()->playing());
  clip.Destroy();
  EXPECT_TRUE(owner.findChildren<QWidget*>().isEmpty());
}

}  // namespace
