// The monitors the desktop spans, measured in the desktop's process.
#pragma once

#include <windows.h>

#include "hook/Arrangement.h"

// The monitors now, relative to the primary's top-left corner (which is the
// screen's 0,0), each with its work area and scale; empty when none can be
// read.
Arrangement MeasureArrangement();

// The screen place of the list view's 0,0.
POINT ListViewOrigin(HWND listView);
