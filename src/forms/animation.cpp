#include "forms/animation.h"

#include <QPainter>
#include <QPainterPath>
#include <cmath>
#include <numbers>

namespace forms {

namespace {

constexpr int kFrames = 16;

struct Clip {
  int id;
  QSize size;
};
constexpr Clip kClips[] = {{100, {80, 50}}, {110, {100, 40}}, {120, {300, 50}}};

const Clip* findClip(int id) {
  for (const Clip& clip : kClips)
    if (clip.id == id) return &clip;
  return nullptr;
}

// Position in the loop, 0 at the first frame and just below 1 at the last.
double phase(int frame) { return static_cast<double>(frame) / kFrames; }

const QColor kOutline(40, 40, 40);

void drawFolder(QPainter& p, const QRectF& r) {
  QPainterPath tab;
  tab.moveTo(r.left(), r.top() + r.height() * 0.2);
  tab.lineTo(r.left() + r.width() * 0.1, r.top());
  tab.lineTo(r.left() + r.width() * 0.45, r.top());
  tab.lineTo(r.left() + r.width() * 0.5, r.top() + r.height() * 0.2);
  tab.closeSubpath();
  p.setPen(QPen(kOutline, 1));
  p.setBrush(QColor(214, 170, 40));
  p.drawPath(tab);
  p.setBrush(QColor(250, 206, 70));
  p.drawRect(QRectF(r.left(), r.top() + r.height() * 0.2, r.width(), r.height() * 0.8));
}

void drawFloppy(QPainter& p, const QRectF& r) {
  p.setPen(QPen(kOutline, 1));
  p.setBrush(QColor(30, 60, 140));
  p.drawRect(r);
  // Metal shutter at the top, paper label below it.
  p.setBrush(QColor(190, 195, 205));
  p.drawRect(QRectF(r.left() + r.width() * 0.25, r.top(), r.width() * 0.5, r.height() * 0.35));
  p.setBrush(QColor(70, 75, 85));
  p.drawRect(
      QRectF(r.left() + r.width() * 0.5, r.top() + r.height() * 0.05, r.width() * 0.12, r.height() * 0.25));
  p.setBrush(Qt::white);
  p.drawRect(
      QRectF(r.left() + r.width() * 0.15, r.top() + r.height() * 0.5, r.width() * 0.7, r.height() * 0.45));
}

void drawPage(QPainter& p, const QPointF& centre, const QSizeF& size, double degrees) {
  p.save();
  p.translate(centre);
  p.rotate(degrees);
  const QRectF r(-size.width() / 2, -size.height() / 2, size.width(), size.height());
  p.setPen(QPen(kOutline, 1));
  p.setBrush(Qt::white);
  p.drawRect(r);
  p.setPen(QPen(QColor(120, 120, 160), 1));
  for (double y = r.top() + 3; y < r.bottom() - 2; y += 3)
    p.drawLine(QPointF(r.left() + 2, y), QPointF(r.right() - 2, y));
  p.restore();
}

void drawGlass(QPainter& p, const QPointF& centre, double radius) {
  p.setPen(QPen(QColor(90, 60, 30), radius * 0.45, Qt::SolidLine, Qt::RoundCap));
  p.drawLine(centre + QPointF(radius * 0.7, radius * 0.7), centre + QPointF(radius * 1.6, radius * 1.6));
  p.setPen(QPen(kOutline, 2));
  p.setBrush(QColor(170, 210, 255, 150));
  p.drawEllipse(centre, radius, radius);
}

// 100: a page slides down into a floppy disk and fades into it.
void paintSave(QPainter& p, double t) {
  drawFloppy(p, QRectF(22, 18, 36, 31));
  p.setOpacity(t < 0.75 ? 1.0 : (1.0 - t) * 4);
  drawPage(p, QPointF(40, 2 + t * 30), QSizeF(14, 18), 0);
  p.setOpacity(1.0);
}

// 110: a magnifying glass sweeps to and fro over a row of files beside a folder.
void paintSearch(QPainter& p, double t) {
  drawFolder(p, QRectF(2, 10, 22, 18));
  for (int i = 0; i < 4; ++i) drawPage(p, QPointF(36 + i * 17, 20), QSizeF(11, 15), 0);
  const double sweep = (1 - std::cos(2 * std::numbers::pi * t)) / 2;
  drawGlass(p, QPointF(36 + sweep * 51, 16 + std::sin(4 * std::numbers::pi * t) * 3), 8);
}

// 120: a page flies in an arc from a folder to a floppy disk.
void paintCopy(QPainter& p, double t) {
  drawFolder(p, QRectF(20, 14, 44, 32));
  drawFloppy(p, QRectF(236, 12, 36, 34));
  const double x = 56 + t * (236 - 56);
  const double y = 30 - std::sin(std::numbers::pi * t) * 22;
  drawPage(p, QPointF(x, y), QSizeF(14, 18), -20 + t * 40);
}

}  // namespace

Animation::Animation(QWidget* parent) : QWidget(parent) {
  // Transparent: only the clip's own pixels are painted over the window.
  setAttribute(Qt::WA_TranslucentBackground);
  setAutoFillBackground(false);
  timer_.setInterval(kFrameIntervalMs);
  connect(&timer_, &QTimer::timeout, this, [this] { nextFrame(); });
}

Animation::~Animation() = default;

bool Animation::open(int clipId) {
  timer_.stop();
  frame_ = 0;
  clip_ = hasClip(clipId) ? clipId : 0;
  update();
  return clip_ != 0;
}

void Animation::play() {
  if (clip_ == 0) return;
  frame_ = 0;
  timer_.start();
  update();
}

void Animation::stop() { timer_.stop(); }

void Animation::close() {
  timer_.stop();
  clip_ = 0;
  frame_ = 0;
  update();
}

void Animation::nextFrame() {
  if (clip_ == 0) return;
  frame_ = (frame_ + 1) % frameCount(clip_);
  update();
}

bool Animation::hasClip(int clipId) { return findClip(clipId) != nullptr; }

int Animation::frameCount(int clipId) { return hasClip(clipId) ? kFrames : 0; }

QSize Animation::clipSize(int clipId) {
  const Clip* clip = findClip(clipId);
  return clip ? clip->size : QSize();
}

QImage Animation::renderFrame(int clipId, int frame) {
  const QSize size = clipSize(clipId);
  if (size.isEmpty()) return {};
  QImage image(size, QImage::Format_ARGB32_Premultiplied);
  image.fill(Qt::transparent);
  QPainter painter(&image);
  paintFrame(painter, clipId, frame);
  return image;
}

void Animation::paintFrame(QPainter& painter, int clipId, int frame) {
  painter.setRenderHint(QPainter::Antialiasing);
  const double t = phase(frame % kFrames);
  switch (clipId) {
    case 100: paintSave(painter, t); break;
    case 110: paintSearch(painter, t); break;
    case 120: paintCopy(painter, t); break;
    default: break;
  }
}

void Animation::paintEvent(QPaintEvent*) {
  if (clip_ == 0) return;
  const QSize size = clipSize(clip_);
  QPainter painter(this);
  painter.translate((width() - size.width()) / 2, (height() - size.height()) / 2);
  painter.setClipRect(QRect(QPoint(0, 0), size));
  paintFrame(painter, clip_, frame_);
}

}  // namespace forms
