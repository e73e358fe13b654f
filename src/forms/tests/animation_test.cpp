// The animation control: its three clips, the open/play/stop/close states,
// the endless loop and the transparent, centred drawing.
#include "forms/animation.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QPixmap>
#include <functional>

namespace {

using forms::Animation;

constexpr int kClipIds[] = {100, 110, 120};

bool anyPixel(const QImage& image, const QRect& area, const std::function<bool(QColor)>& test) {
  for (int y = area.top(); y <= area.bottom(); ++y)
    for (int x = area.left(); x <= area.right(); ++x)
      if (test(image.pixelColor(x, y))) return true;
  return false;
}

// Runs the event loop until `done` or `ms` milliseconds passed.
bool waitFor(const std::function<bool()>& done, int ms = 3000) {
  QElapsedTimer clock;
  clock.start();
  while (!done() && clock.elapsed() < ms) QApplication::processEvents(QEventLoop::AllEvents, 20);
  return done();
}

TEST(AnimationClips, EachClipMovesOverATransparentBackground) {
  for (int id : kClipIds) {
    SCOPED_TRACE(id);
    ASSERT_TRUE(Animation::hasClip(id));
    const int frames = Animation::frameCount(id);
    ASSERT_GT(frames, 4);
    const QImage first = Animation::renderFrame(id, 0);
    EXPECT_EQ(first.size(), Animation::clipSize(id));
    const QRect all(QPoint(0, 0), first.size());
    EXPECT_TRUE(anyPixel(first, all, [](QColor c) { return c.alpha() == 0; }))
        << "background not transparent";
    for (int f = 1; f < frames; ++f) {
      const QImage image = Animation::renderFrame(id, f);
      EXPECT_TRUE(anyPixel(image, all, [](QColor c) { return c.alpha() == 255; }))
          << "frame " << f << " empty";
      EXPECT_NE(image, Animation::renderFrame(id, f - 1)) << "frame " << f << " repeats the one before";
    }
  }
  // The sizes the windows reserve for them: the copy window 300 x 50, the file search 100 x 40.
  EXPECT_EQ(Animation::clipSize(120), QSize(300, 50));
  EXPECT_EQ(Animation::clipSize(110), QSize(100, 40));
}

TEST(AnimationClips, UnknownIdsNameNoClip) {
  for (int id : {0, -1, 1, 101, 130, 65535}) {
    SCOPED_TRACE(id);
    EXPECT_FALSE(Animation::hasClip(id));
    EXPECT_EQ(Animation::frameCount(id), 0);
    EXPECT_TRUE(Animation::renderFrame(id, 0).isNull());
  }
}

TEST(AnimationControl, OpenPlayStopClose) {
  Animation animation;
  EXPECT_EQ(animation.currentClip(), 0);
  animation.play();  // nothing open: nothing plays
  EXPECT_FALSE(animation.playing());

  ASSERT_TRUE(animation.open(110));
  EXPECT_EQ(animation.currentClip(), 110);
  EXPECT_FALSE(animation.playing());
  EXPECT_EQ(animation.frame(), 0);

  animation.play();
  EXPECT_TRUE(animation.playing());
  animation.nextFrame();
  animation.nextFrame();
  animation.stop();
  EXPECT_FALSE(animation.playing());
  EXPECT_EQ(animation.frame(), 2) << "stop keeps the current frame";
  EXPECT_EQ(animation.currentClip(), 110);

  animation.play();
  EXPECT_EQ(animation.frame(), 0) << "play starts the clip from its first frame";

  animation.close();
  EXPECT_EQ(animation.currentClip(), 0);
  EXPECT_FALSE(animation.playing());
}

TEST(AnimationControl, OpeningAnUnknownIdEmptiesTheArea) {
  Animation animation;
  ASSERT_TRUE(animation.open(120));
  animation.play();
  EXPECT_FALSE(animation.open(999));
  EXPECT_EQ(animation.currentClip(), 0);
  EXPECT_FALSE(animation.playing());
  animation.play();
  EXPECT_FALSE(animation.playing());
}

TEST(AnimationControl, TheLoopWrapsToTheFirstFrame) {
  Animation animation;
  ASSERT_TRUE(animation.open(100));
  const int frames = Animation::frameCount(100);
  for (int i = 0; i < frames - 1; ++i) animation.nextFrame();
  EXPECT_EQ(animation.frame(), frames - 1);
  animation.nextFrame();
  EXPECT_EQ(animation.frame(), 0);
}

TEST(AnimationControl, PlaysOnItsOwnWhileTheEventLoopRuns) {
  QWidget window;
  auto* animation = new Animation(&window);
  animation->setGeometry(0, 0, 100, 40);
  window.show();
  ASSERT_TRUE(animation->open(110));
  animation->play();
  int seen = 0;
  int last = animation->frame();
  EXPECT_TRUE(waitFor([&] {
    if (animation->frame() != last) ++seen, last = animation->frame();
    return seen >= 3;
  })) << "the clip did not advance";

  animation->stop();
  const int stoppedAt = animation->frame();
  waitFor([] { return false; }, 5 * Animation::kFrameIntervalMs);  // a while with the clip stopped
  EXPECT_EQ(animation->frame(), stoppedAt);
}

TEST(AnimationControl, DrawsCentredAndLeavesTheRestToTheWindowBelow) {
  QWidget window;
  window.setAutoFillBackground(true);
  QPalette palette = window.palette();
  palette.setColor(QPalette::Window, Qt::red);
  window.setPalette(palette);
  window.resize(320, 70);
  auto* animation = new Animation(&window);
  animation->setGeometry(0, 0, 320, 70);
  const auto isRed = [](QColor c) { return c.red() == 255 && c.green() == 0 && c.blue() == 0; };
  const auto notRed = [&](QColor c) { return !isRed(c); };
  const QRect margin(0, 0, 320, 10);  // above the centred 300 x 50 clip

  QImage shot = window.grab().toImage();
  EXPECT_FALSE(anyPixel(shot, shot.rect(), notRed)) << "no clip open, yet something was drawn";

  ASSERT_TRUE(animation->open(120));
  shot = window.grab().toImage();
  EXPECT_TRUE(anyPixel(shot, QRect(10, 10, 300, 50), notRed));
  EXPECT_FALSE(anyPixel(shot, margin, notRed)) << "the clip is not centred";

  animation->close();
  shot = window.grab().toImage();
  EXPECT_FALSE(anyPixel(shot, shot.rect(), notRed)) << "close left the clip on screen";
}

}  // namespace
