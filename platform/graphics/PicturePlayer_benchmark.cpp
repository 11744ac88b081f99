// Times recording a picture of 100,000 primitives and playing it into a
// window-sized image, as a repaint of the exposed part of a scrolled tree
// does, and (for comparison) with every primitive inside the window.
// Goal: under 100 ms each for the recording and the exposed-part repaint.

#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "platform/graphics/PicturePlayer.h"

namespace {

constexpr int kPrimitives = 100000;
constexpr std::int32_t kWidth = 1000, kHeight = 30000;  // pixels: a tall tree
constexpr int kWindowWidth = 1000, kWindowHeight = 700;

double Milliseconds(std::chrono::steady_clock::time_point since) {
  return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - since).count();
}

// Rows of a rectangular tree: per row an elbow branch, a name and, every
// fourth row, a marker, until kPrimitives calls are made. `rowHeight` in
// logical units.
Picture RecordTree(const DeviceInfo& screen, std::int32_t width, std::int32_t height, Coord rowHeight) {
  PictureRecorder dc(PictureFrameFromPixels(width, height, screen), screen);
  dc.SetGraphicsMode(GM_ADVANCED);
  dc.SetMapMode(MM_ANISOTROPIC);
  dc.SetWindowExt(4 * width, 4 * height);
  dc.SetViewportExt(width, height);
  dc.SetBkMode(TRANSPARENT);
  dc.SetTextAlign(TA_LEFT | TA_BOTTOM);
  const FontHandle font = dc.CreateFontIndirect({-44, 0, 0, FW_NORMAL, false, false, false, DEFAULT_PITCH, "Arial"});
  const PenHandle pen = dc.ExtCreatePen({PS_GEOMETRIC, PS_SOLID, PS_ENDCAP_SQUARE, PS_JOIN_MITER, 4, clBlack});
  dc.SelectObject(font);
  dc.SelectObject(pen);
  dc.SelectObject(kNullBrush);
  std::string name;
  int calls = 0;
  for (Coord row = 0; calls < kPrimitives; ++row) {
    const Coord y = 40 + (row * rowHeight) % (4 * height - 80);
    const Coord x = 40 + (row * 37) % 2000;
    const Point elbow[3] = {{x, y - rowHeight / 2}, {x, y}, {x + 400, y}};
    dc.Polyline(elbow);
    name = "Taxon ";
    name += std::to_string(row);
    dc.TextOut(x + 410, y + 20, name);
    calls += 2;
    if (row % 4 == 0) {
      dc.Ellipse(x + 380, y - 12, x + 404, y + 12);
      ++calls;
    }
  }
  return dc.Close();
}

double Play(const Picture& picture, int scrollY) {
  QImage window(kWindowWidth, kWindowHeight, QImage::Format_RGB32);
  window.fill(Qt::white);
  const auto start = std::chrono::steady_clock::now();
  QPainter painter(&window);
  painter.translate(0, -scrollY);
  const Rect frame = picture.FramePixels();
  PlayPicture(picture, painter, frame, QRectF(0, scrollY, kWindowWidth, kWindowHeight));
  painter.end();
  return Milliseconds(start);
}

}  // namespace

int main(int argc, char** argv) {
  if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
  QGuiApplication app(argc, argv);
  const DeviceInfo screen = DeviceInfoFromPixels(1920, 1080, 96);

  // Three rounds: the first one also pays for fresh memory and font loading.
  Picture tall;
  double record = 0, exposed = 0;
  for (int round = 1; round <= 3; ++round) {
    const auto start = std::chrono::steady_clock::now();
    tall = RecordTree(screen, kWidth, kHeight, 48);
    record = Milliseconds(start);
    exposed = Play(tall, kHeight / 2 + round * 97);
    std::printf("round %d: record %d primitives (%zu records) %.1f ms; play %dx%d window of a %dx%d picture %.1f ms\n",
                round, kPrimitives, tall.RecordCount(), record, kWindowWidth, kWindowHeight, kWidth, kHeight, exposed);
  }
  const Picture dense = RecordTree(screen, kWindowWidth, kWindowHeight, 12);
  std::printf("for comparison, all %d primitives inside the window: play %.1f ms\n", kPrimitives, Play(dense, 0));
  return record < 100 && exposed < 100 ? 0 : 1;
}
