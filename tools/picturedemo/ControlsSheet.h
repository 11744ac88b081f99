#pragma once
// The second sheet of picturedemo: edges, frame controls, formatted text,
// clipping, blits, pattern brushes and styled one-line text, recorded in
// device pixels.

#include "platform/graphics/Picture.h"

Picture RecordControlsSheet(const DeviceInfo& screen);
