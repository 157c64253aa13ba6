// A .po catalogue as translators and tools write it: any bytes load, and
// look-ups give the English text or a translation whose placeholders agree.
#include "app/uTranslationKit.h"
#include "platform/uResourceStrings.h"

#include <QByteArray>
#include <QString>

#include <cstddef>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* Data, std::size_t Size)
{
    const QByteArray Bytes(reinterpret_cast<const char*>(Data), static_cast<qsizetype>(Size));
    TPoCatalog Catalog;
    Catalog.LoadFromData(Bytes);
    int Checked = 0;
    for (const TPoEntry& E : Catalog.Entries()) {
        if (++Checked > 64)
            break;
        const QString Id = E.Identifiers.isEmpty() ? QString() : E.Identifiers.first();
        const QString T = Catalog.Translate(Id, E.MsgId);
        if (!T.isEmpty() && T != E.MsgId && !SamePlaceholders(E.MsgId.toStdString(), T.toStdString()))
            std::abort();
        (void)Catalog.TranslateInContext(E.Context, E.MsgId);
        (void)Catalog.Translate(QString(), QStringLiteral("%s of %d"));
    }
    return 0;
}
