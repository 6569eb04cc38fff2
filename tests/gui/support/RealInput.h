// Real input under Xvfb: the X server's test extension driven by xdotool, so the program
// receives the mouse and the keyboard exactly as from an operator (hardware messages,
// capture, focus), not posted messages. Wine starts the Linux tool directly.
// Coordinates are screen pixels, which are the X root window's under Wine.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace quorin::gui {

// Runs xdotool with the arguments; false when it could not run or failed.
bool XDoTool(const std::string& args);
void MouseMove(int x, int y);
void MouseClick(int x, int y, int button = 1, int repeat = 1);
void MouseDown(int x, int y, int button = 1);
void MouseUp(int x, int y, int button = 1);
// Key names as X knows them: "F10", "alt", "Right", "Escape", "Return", "alt+e".
void Keys(const std::string& keys);

// The visible pop-up menu windows (class "#32768") of a process, topmost first.
std::vector<HWND> PopupMenus(DWORD processId);

// A pixel of the screen as red in the lowest byte, or -1.
long ScreenPixel(int x, int y);
// The pixels of a screen rectangle, row by row, as red in the lowest byte, all from one copy
// of the screen taken at one instant.
std::vector<long> ScreenPixels(const RECT& r);

}  // namespace quorin::gui
