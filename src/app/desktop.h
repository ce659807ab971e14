#ifndef BONEYARD_DESKTOP_H
#define BONEYARD_DESKTOP_H

// The game as a desktop program: its window says whose it is, full screen gives the desktop
// its video mode back, and the signals that end a desktop program end the game the way ESC does.

// Switches the map hook on for one map: the next window this process maps (the game's own,
// when called just before glutCreateWindow or glutEnterGameMode) carries, before it first
// shows, WM_CLASS ("boneyard", "Boneyard"), _NET_WM_PID and _NET_WM_ICON (the icon at 16, 32,
// 48 and 64 pixels). Then the hook is off again: a window mapped later, by the game or by a
// library, goes out as it is.
void nameWindowAtNextMap();

void leaveFullScreen();  // gives the desktop its video mode back, if game mode is on

constexpr unsigned QUIT_POLL_MS = 250;  // how often the recorded signal is looked at

// From now on SIGINT, SIGTERM, SIGHUP and SIGQUIT (those not ignored from the start, as nohup does)
// are only recorded; a GLUT timer looks every
// QUIT_POLL_MS, whether the window shows or not, and then leaves game mode and ends the game
// by that same signal, so its parent sees 128 + the signal's number. Needs glutInit.
void catchQuitSignals();

// Takes the whole screen in GLUT's game mode, its window titled as the game's window is; true
// when it did. False, with one warning line on stderr (GLUT's own warnings held back), when the
// screen would not switch after all, as when its mode went between asking and entering: no
// window then exists.
bool enterFullScreen();

#endif
