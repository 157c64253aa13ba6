// The header of a language file: any file reads without fault, and the
// language code of any file name is a part of that name.
#include "app/uLanguages.h"

#include <QFile>
#include <QStringList>
#include <QTemporaryDir>

#include <cstddef>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* Data, std::size_t Size)
{
    static QTemporaryDir Dir;
    const QString Path = Dir.filePath(QStringLiteral("sorvik.xx.po"));
    {
        QFile File(Path);
        if (!File.open(QIODevice::WriteOnly | QIODevice::Truncate))
            return 0;
        File.write(reinterpret_cast<const char*>(Data), static_cast<qint64>(Size));
    }
    QStringList Lines;
    const bool Header = ReadPoHeader(Path, Lines);
    TLanguageInfo Info;
    if (ReadLanguageInfo(Path, Info) != Header || Info.Code != QStringLiteral("xx"))
        std::abort();

    const QString Text = QString::fromUtf8(reinterpret_cast<const char*>(Data), static_cast<qsizetype>(Size));
    (void)UnescapePoString(Text);
    const QString Code = CodeFromFileName(Text);
    if (!Code.isEmpty() && !Text.contains(Code))
        std::abort();
    return 0;
}
