#include "components/base/FormPlacement.h"

#include <QMargins>
#include <QRect>
#include <QWidget>
#include <QWindow>
#include <cstring>

#include "components/base/RegistrySettings.h"

namespace {

constexpr std::int32_t kShowNormal = 1;
constexpr std::int32_t kShowMinimized = 2;
constexpr std::int32_t kShowMaximized = 3;

enum TFormState : std::int32_t { fsNormal = 0, fsMinimized = 1, fsMaximized = 2 };

std::string PlacementPath(const std::string& Name, const char* Value) { return "Forms\\" + Name + "\\" + Value; }

TFormState StateOf(const QWidget& Form) {
  if (Form.isMinimized()) return fsMinimized;
  if (Form.isMaximized()) return fsMaximized;
  return fsNormal;
}

// What the frame adds around the client area, on each side.
QMargins FrameMargins(const QWidget& Form) {
  const QRect frame = Form.frameGeometry(), client = Form.geometry();
  return {client.left() - frame.left(), client.top() - frame.top(), frame.right() - client.right(),
          frame.bottom() - client.bottom()};
}

}  // namespace

std::array<std::uint8_t, kWindowPlacementSize> TWindowPlacement::ToBytes() const {
  const std::int32_t fields[] = {Length, Flags, ShowCmd, MinX, MinY, MaxX, MaxY, Left, Top, Right, Bottom};
  std::array<std::uint8_t, kWindowPlacementSize> bytes{};
  for (size_t i = 0; i < std::size(fields); ++i)
    for (size_t b = 0; b < 4; ++b)
      bytes[i * 4 + b] = static_cast<std::uint8_t>(static_cast<std::uint32_t>(fields[i]) >> (8 * b));
  return bytes;
}

TWindowPlacement TWindowPlacement::FromBytes(const std::array<std::uint8_t, kWindowPlacementSize>& Bytes) {
  std::int32_t fields[11] = {};
  for (size_t i = 0; i < std::size(fields); ++i) {
    std::uint32_t value = 0;
    for (size_t b = 0; b < 4; ++b) value |= std::uint32_t{Bytes[i * 4 + b]} << (8 * b);
    fields[i] = static_cast<std::int32_t>(value);
  }
  return {fields[0], fields[1], fields[2], fields[3], fields[4], fields[5],
          fields[6], fields[7], fields[8], fields[9], fields[10]};
}

TWindowPlacement GetWindowPlacement(const QWidget& Form) {
  TWindowPlacement placement;
  const TFormState state = StateOf(Form);
  placement.ShowCmd = state == fsMinimized ? kShowMinimized : state == fsMaximized ? kShowMaximized : kShowNormal;
  // Minimised or maximised, the normal rectangle is where the window goes
  // back to: its normal client rectangle with today's frame around it.
  const QRect normal =
      state == fsNormal ? Form.frameGeometry() : Form.normalGeometry().marginsAdded(FrameMargins(Form));
  placement.Left = normal.x();
  placement.Top = normal.y();
  placement.Right = normal.x() + normal.width();
  placement.Bottom = normal.y() + normal.height();
  return placement;
}

void SaveFormPlacement(QWidget* Form, const std::string& Name) {
  if (!Form || !Form->windowHandle()) return;
  const auto bytes = GetWindowPlacement(*Form).ToBytes();
  WriteRegBinary(PlacementPath(Name, "WinPos"), bytes.data(), kWindowPlacementSize);
  WriteRegVariant(PlacementPath(Name, "WindowState"), static_cast<std::int32_t>(StateOf(*Form)));
}

void LoadFormPlacement(QWidget* Form, const std::string& Name) {
  if (!Form) return;
  // A shorter record would leave fields unset; a longer one raises.
  if (GetRegDataSize(PlacementPath(Name, "WinPos")) != kWindowPlacementSize) return;
  std::array<std::uint8_t, kWindowPlacementSize> bytes{};
  if (ReadRegBinary(PlacementPath(Name, "WinPos"), bytes.data(), kWindowPlacementSize) != kWindowPlacementSize) return;
  const TWindowPlacement placement = TWindowPlacement::FromBytes(bytes);
  const std::int64_t width = std::int64_t{placement.Right} - placement.Left;
  const std::int64_t height = std::int64_t{placement.Bottom} - placement.Top;
  // The bounds are the normal ones: a window that is maximised now takes them
  // once it is normal again.
  if (StateOf(*Form) != fsNormal) Form->setWindowState(Qt::WindowNoState);
  if (width >= 0 && height >= 0 && width <= QWIDGETSIZE_MAX && height <= QWIDGETSIZE_MAX) {
    const QMargins frame = FrameMargins(*Form);
    Form->move(placement.Left, placement.Top);
    Form->resize(static_cast<int>(width) - frame.left() - frame.right(),
                 static_cast<int>(height) - frame.top() - frame.bottom());
  }
  const int state = ReadRegVariant(PlacementPath(Name, "WindowState"), std::int32_t{0}).AsInteger();
  if (state == fsMinimized) Form->setWindowState(Qt::WindowMinimized);
  if (state == fsMaximized) Form->setWindowState(Qt::WindowMaximized);
}
