#include "core/Mdl_API.h"

#include "ui/Form.h"

void InstallMainWndProc(vb::Form &mainWindow)
{
    PrevWndProc = mainWindow.minimumSize();
    mainWindow.setMinTrackSize(QSize(MainMinTrackWidth, MainMinTrackHeight));
}

void RestoreMainWndProc(vb::Form &mainWindow) { mainWindow.setMinTrackSize(PrevWndProc); }
