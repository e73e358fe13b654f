#pragma once
// The animation control: the stand-in for the common-controls animation
// window. It plays one of the program's own clips in an endless loop, centred
// in its area on a transparent background:
//   100  a page sliding down into a floppy disk   (80 x 50)
//   110  a magnifying glass sweeping over files   (100 x 40)
//   120  a page flying from a folder to a floppy  (300 x 50)
// An id that names no clip leaves the area empty; nothing is reported.
#include <QImage>
#include <QSize>
#include <QTimer>
#include <QWidget>

class QPainter;

namespace forms {

class Animation : public QWidget {
 public:
  explicit Animation(QWidget* parent = nullptr);
  ~Animation() override;

  // Opens a clip and shows its first frame, stopped. False (and an empty
  // area) when the id names no clip.
  bool open(int clipId);
  // Plays the open clip from its first frame, looping without end.
  void play();
  // Stops at the current frame.
  void stop();
  // Stops and forgets the clip: the area is empty again.
  void close();

  int currentClip() const { return clip_; }  // 0 when none is open
  bool playing() const { return timer_.isActive(); }
  int frame() const { return frame_; }
  // What the timer does on each tick: the next frame, after the last the first.
  void nextFrame();

  static constexpr int kFrameIntervalMs = 100;
  static bool hasClip(int clipId);
  static int frameCount(int clipId);  // 0 for an unknown id
  static QSize clipSize(int clipId);  // empty for an unknown id
  // One frame at the clip's own size, on a transparent background.
  static QImage renderFrame(int clipId, int frame);

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  static void paintFrame(QPainter& painter, int clipId, int frame);
  QTimer timer_;
  int clip_ = 0;
  int frame_ = 0;
};

}  // namespace forms
