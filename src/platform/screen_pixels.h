#pragma once

// The screen's size for a length drawn in pixels on a 96-dpi screen, so
// that what the agent draws itself grows with "large fonts" as the dialogs
// do. The screen's resolution is read once per call: it changes only with
// a new log-on.
int ScreenPixels(int pixelsAt96);
