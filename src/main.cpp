#include "forms/uFormBase.h"
#include "program/uMainSequence.h"

#include <QApplication>

#include <exception>

int main(int argc, char** argv)
{
    // The arguments are the program's: the toolkit gets only its name.
    const QStringList Arguments = TSorvikProgram::ArgumentsFromArgv(argc, argv);
    int QtArgc = 1;
    QApplication App(QtArgc, argv);
    try {
        TSorvikProgram Program(Arguments);
        Program.Start();
        const int Result = Program.Run();
        Program.Finish();
        return Result;
    } catch (const std::exception& E) {
        // Start-up itself failed (no thread, no memory): say so, do not vanish.
        ShowErrorBox(QString::fromUtf8(E.what()));
    }
    return 1;
}
