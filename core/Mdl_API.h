#pragma once
// The main window's own procedure. While installed it keeps the window at
// least 900 x 600 pixels (13500 x 9000 twips); everything else passes on
// unchanged. What the window allowed before is kept to be put back.
#include <QSize>

namespace vb {
class Form;
}

inline QSize PrevWndProc;  // the window's previous minimum tracking size

constexpr int MainMinTrackWidth = 13500 / 15;
constexpr int MainMinTrackHeight = 9000 / 15;

void InstallMainWndProc(vb::Form &mainWindow);
void RestoreMainWndProc(vb::Form &mainWindow);
