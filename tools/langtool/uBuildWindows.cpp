#include "uLanguageTemplate.h"

#include "program/uMainSequence.h"

#include <QApplication>
#include <QTemporaryDir>
#include <QWidget>

int BuildEveryWindow(const std::function<void()>& WhileBuilt)
{
    // The program's own start, from a folder of its own: no "Languages" there,
    // so the design translator in place stays, and no settings of a user are
    // read or written.
    QTemporaryDir Folder;
    if (!Folder.isValid())
        return 0;
    TSorvikProgram Program({}, Folder.filePath(QStringLiteral("sorvik")).toStdString());
    Program.Start();
    QCoreApplication::processEvents();
    int Count = 0;
    for (QWidget* W : QApplication::topLevelWidgets())
        if (!W->parentWidget() && (W->inherits("QDialog") || W->inherits("QMainWindow")))
            ++Count;
    if (WhileBuilt)
        WhileBuilt();
    Program.Finish();
    return Count;
}
