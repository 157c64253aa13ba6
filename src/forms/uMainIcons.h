// The pictures of the main window's image lists, by their index: the
// desktop's icon theme by freedesktop names, Qt's standard icons where the
// theme has none, and a few drawn here (status lights, the program icon).
#pragma once

#include <QIcon>
#include <QPixmap>

enum TMainImage : int {
    miIdle = 0,
    miBusy = 1,
    miAddFiles = 2,
    miAddFolder = 3,
    miCancel = 4,
    miSkip = 5,
    miSelectAll = 6,
    miSelectNone = 7,
    miHashText = 8,
    miCopy = 9,
    miToggleMessages = 10,
    miCompare = 11,
    miNoMessages = 12,
    miWarning = 13,
    miError = 14,
    miSelect = 15,
    miRehash = 16,
    miSaveLog = 17,
    miViewLog = 18,
    miClearLog = 19,
    miSettings = 20,
};

QIcon MainImage(int Index);
// The program's own icon, drawn, in several sizes.
// The program's picture, drawn so that it needs no file beside the program.
QPixmap ProgramPixmap(int Size);
QIcon ProgramIcon();
