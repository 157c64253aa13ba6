// Build helper for the "Languages" folder beside the program:
//   sorvik_langtool template FILE [SOURCES]
//                                    writes the template of every text;
//                                    SOURCES adds the design texts written
//                                    as literals in that source folder
//   sorvik_langtool flags FOLDER    draws the flag pictures of the shipped
//                                    languages
// A file is only rewritten when its content changes, so that a build with
// nothing new touches nothing.
#include "uLanguageTemplate.h"

#include <QApplication>
#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QSaveFile>

#include <cmath>
#include <cstdio>

namespace {

bool WriteIfChanged(const QString& FileName, const QByteArray& Data)
{
    QFile Old(FileName);
    if (Old.open(QIODevice::ReadOnly) && Old.readAll() == Data)
        return true;
    Old.close();
    QDir().mkpath(QFileInfo(FileName).absolutePath());
    QSaveFile F(FileName);
    if (!F.open(QIODevice::WriteOnly) || F.write(Data) != Data.size() || !F.commit()) {
        std::fprintf(stderr, "sorvik_langtool: cannot write %s: %s\n", qPrintable(FileName),
                     qPrintable(F.errorString()));
        return false;
    }
    return true;
}

QByteArray Png(const QImage& Image)
{
    QByteArray Data;
    QBuffer Buffer(&Data);
    Buffer.open(QIODevice::WriteOnly);
    Image.save(&Buffer, "PNG");
    return Data;
}

// The menu shows flags 11 pixels high; 16 x 11 keeps both flags' shapes.
constexpr int FlagWidth = 16;
constexpr int FlagHeight = 11;

// Black, red and gold in three equal bands (the last band takes the rest).
QImage GermanFlag()
{
    QImage I(FlagWidth, FlagHeight, QImage::Format_RGB32);
    QPainter P(&I);
    P.fillRect(0, 0, FlagWidth, 4, QColor(0, 0, 0));
    P.fillRect(0, 4, FlagWidth, 3, QColor(0xDD, 0, 0));
    P.fillRect(0, 7, FlagWidth, 4, QColor(0xFF, 0xCE, 0));
    return I;
}

// White with two blue bands and the blue six-pointed star between them.
QImage IsraeliFlag()
{
    const QColor Blue(0, 0x38, 0xB8);
    QImage I(FlagWidth, FlagHeight, QImage::Format_RGB32);
    I.fill(Qt::white);
    QPainter P(&I);
    P.fillRect(0, 1, FlagWidth, 2, Blue);
    P.fillRect(0, 8, FlagWidth, 2, Blue);
    P.setRenderHint(QPainter::Antialiasing);
    P.setPen(QPen(Blue, 0.7));
    P.setBrush(Qt::NoBrush);
    const QPointF C(FlagWidth / 2.0, FlagHeight / 2.0);
    const double R = 2.4;
    QPolygonF Up, Down;
    for (int K = 0; K < 3; ++K) {
        const double A = (90.0 + 120.0 * K) * 3.14159265358979 / 180.0;
        Up << C + QPointF(R * std::cos(A), -R * std::sin(A));
        Down << C + QPointF(R * std::cos(A), R * std::sin(A));
    }
    P.drawPolygon(Up);
    P.drawPolygon(Down);
    return I;
}

int Usage()
{
    std::fprintf(stderr, "usage: sorvik_langtool template FILE [SOURCES] | flags FOLDER\n");
    return 2;
}

} // namespace

int main(int argc, char** argv)
{
    // Copied before Qt sees them; Qt gets the program path only.
    QStringList Args;
    for (int I = 1; I < argc; ++I)
        Args << QString::fromLocal8Bit(argv[I]);
    if (Args.size() < 2 || Args.size() > 3)
        return Usage();
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    int QtArgc = 1;
    QApplication App(QtArgc, argv);

    try {
        if (Args[0] == QLatin1String("template"))
            return WriteIfChanged(Args[1], CollectLanguageTemplate(Args.value(2)).ToPot()) ? 0 : 1;
        if (Args[0] == QLatin1String("flags") && Args.size() == 2) {
            const QDir Dir(Args[1]);
            const bool Ok = WriteIfChanged(Dir.filePath(QStringLiteral("de.png")), Png(GermanFlag()))
                            && WriteIfChanged(Dir.filePath(QStringLiteral("il.png")), Png(IsraeliFlag()));
            return Ok ? 0 : 1;
        }
    } catch (const std::exception& E) {
        std::fprintf(stderr, "sorvik_langtool: %s\n", E.what());
        return 1;
    }
    return Usage();
}
