// "Settings.ini" as anyone may have edited it: reading never fails, and what
// the settings write reads back to the same settings.
#include "app/uIniFile.h"
#include "app/uSettings.h"

#include <QBuffer>
#include <QByteArray>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

namespace {

std::string Written(TSettings& S)
{
    QBuffer Buffer;
    Buffer.open(QIODevice::WriteOnly);
    S.WriteIni(Buffer);
    return Buffer.data().toStdString();
}

void Read(TSettings& S, const QByteArray& Text)
{
    QByteArray Data = Text;
    QBuffer Buffer(&Data);
    Buffer.open(QIODevice::ReadOnly);
    S.ReadIni(Buffer);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* Data, std::size_t Size)
{
    const QByteArray Text(reinterpret_cast<const char*>(Data), static_cast<qsizetype>(Size));
    const TIniReader Ini(Text.toStdString());
    (void)Ini.Value("General", "HashTypes");
    (void)Ini.Text("SaveLog", "FileName");

    TSettings First;
    First.Reset();
    Read(First, Text);
    const std::string Once = Written(First);

    TSettings Second;
    Second.Reset();
    Read(Second, QByteArray::fromStdString(Once));
    if (Written(Second) != Once)
        std::abort();   // a save that does not read back as saved
    return 0;
}
