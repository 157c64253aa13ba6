#include "forms/uMainSequence.h"

#include <QApplication>

int main(int argc, char** argv)
{
    // The arguments are the program's: the toolkit gets only its name.
    const QStringList Arguments = TSorvikProgram::ArgumentsFromArgv(argc, argv);
    int QtArgc = 1;
    QApplication App(QtArgc, argv);
    TSorvikProgram Program(Arguments);
    Program.Start();
    const int Result = Program.Run();
    Program.Finish();
    return Result;
}
