#include "forms/uForms.h"

TFormMain* FormMain = nullptr;
TFormText* FormText = nullptr;
TFormLogViewer* FormLogViewer = nullptr;
TFormAbout* FormAbout = nullptr;
TFormCompare* FormCompare = nullptr;
TFormCompareFiles* FormCompareFiles = nullptr;
TFormSaveLog* FormSaveLog = nullptr;
TFormSettings* FormSettings = nullptr;
