// The common controls (list views, progress bars, tabs, image lists) are
// registered when the first window that holds one is made, not at start: the
// library is loaded only then (the program links it for loading on first
// use), which a program that runs without ever showing a dialog never pays.
#pragma once

// Registers the common control classes once; true when they are there.
bool EnsureCommonControls();
