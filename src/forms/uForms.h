// The program's eight windows, one instance each for the whole run.
#pragma once

class TFormMain;
class TFormText;
class TFormLogViewer;
class TFormAbout;
class TFormCompare;
class TFormCompareFiles;
class TFormSaveLog;
class TFormSettings;

// Set as each window is created (program/uProgramWindows), cleared as it
// goes; the windows themselves are handed what they need instead.
extern TFormMain* FormMain;
extern TFormText* FormText;
extern TFormLogViewer* FormLogViewer;
extern TFormAbout* FormAbout;
extern TFormCompare* FormCompare;
extern TFormCompareFiles* FormCompareFiles;
extern TFormSaveLog* FormSaveLog;
extern TFormSettings* FormSettings;
