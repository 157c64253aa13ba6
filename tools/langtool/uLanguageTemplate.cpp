#include "uLanguageTemplate.h"

#include "platform/uResourceStrings.h"

#include <QApplication>
#include <QHash>
#include <QWidget>

#include <algorithm>
#include <vector>

void TLanguageTemplate::Add(const QString& Reference, const QString& Text)
{
    if (Text.isEmpty())
        return; // the empty msgid is the header
    const QString Ref = LowerCaseAscii(Reference);
    auto It = std::find_if(FEntries.begin(), FEntries.end(),
                           [&](const TTemplateEntry& E) { return E.MsgId == Text; });
    if (It == FEntries.end()) {
        TTemplateEntry E;
        E.MsgId = Text;
        E.PascalFormat = !FormatPlaceholders(Text.toStdString()).empty();
        FEntries.append(E);
        It = FEntries.end() - 1;
    }
    if (!Ref.isEmpty() && !It->References.contains(Ref))
        It->References.append(Ref);
}

void TLanguageTemplate::AddResourceStrings()
{
    std::vector<std::pair<std::string, std::string>> Texts;
    ForEachResourceString([&](TResourceString& S) { Texts.emplace_back(S.Identifier(), S.DefaultText()); });
    std::sort(Texts.begin(), Texts.end());
    for (const auto& [Id, Text] : Texts)
        Add(QString::fromStdString(Id), QString::fromStdString(Text));
}

QByteArray PoQuoted(const QString& Keyword, const QString& Text)
{
    auto Escape = [](const QString& S) {
        QByteArray R;
        for (const char C : S.toUtf8()) {
            switch (C) {
            case '\\': R += "\\\\"; break;
            case '"': R += "\\\""; break;
            case '\n': R += "\\n"; break;
            case '\r': R += "\\r"; break;
            case '\t': R += "\\t"; break;
            default:
                if (static_cast<unsigned char>(C) < 0x20) {
                    const int V = static_cast<unsigned char>(C);
                    R += '\\';
                    R += static_cast<char>('0' + (V >> 6));
                    R += static_cast<char>('0' + ((V >> 3) & 7));
                    R += static_cast<char>('0' + (V & 7));
                } else {
                    R += C;
                }
            }
        }
        return R;
    };
    // Pieces end after each line feed so that translators see the lines.
    QStringList Pieces;
    qsizetype Start = 0;
    for (qsizetype I = 0; I < Text.size(); ++I)
        if (Text[I] == QLatin1Char('\n')) {
            Pieces << Text.mid(Start, I + 1 - Start);
            Start = I + 1;
        }
    if (Start < Text.size())
        Pieces << Text.mid(Start);
    QByteArray R = Keyword.toUtf8() + ' ';
    if (Pieces.size() <= 1)
        return R + '"' + Escape(Text) + "\"\n";
    R += "\"\"\n";
    for (const QString& P : Pieces)
        R += '"' + Escape(P) + "\"\n";
    return R;
}

QByteArray TLanguageTemplate::ToPot() const
{
    QByteArray S;
    S += "# Sorvik: every text of the program and its windows.\n"
         "# Written by the build; do not edit. Translations are kept complete\n"
         "# with scripts/update-translations.\n"
         "msgid \"\"\n"
         "msgstr \"\"\n"
         "\"Project-Id-Version: Sorvik\\n\"\n"
         "\"PO-Revision-Date: \\n\"\n"
         "\"Last-Translator: \\n\"\n"
         "\"Language-Team: \\n\"\n"
         "\"Language: \\n\"\n"
         "\"MIME-Version: 1.0\\n\"\n"
         "\"Content-Type: text/plain; charset=UTF-8\\n\"\n"
         "\"Content-Transfer-Encoding: 8bit\\n\"\n"
         "\"X-Language-Name: \\n\"\n"
         "\"X-Language-Name-Native: \\n\"\n"
         "\"X-Country: \\n\"\n"
         "\"X-Country-Name: \\n\"\n"
         "\"X-Translators: \\n\"\n";
    for (const TTemplateEntry& E : FEntries) {
        S += '\n';
        // One reference a line keeps the lines short and merges readable.
        for (const QString& Ref : E.References)
            S += "#: " + Ref.toUtf8() + '\n';
        if (E.PascalFormat)
            S += "#, object-pascal-format\n";
        S += PoQuoted(QStringLiteral("msgid"), E.MsgId);
        S += "msgstr \"\"\n";
    }
    return S;
}

void TRecordingTranslator::TranslateFormString(const TDesignProperty& Prop, QString& Content)
{
    if (FTarget)
        FTarget->Add(GetTranslationKey(Prop), Content);
}

TLanguageTemplate CollectLanguageTemplate()
{
    TLanguageTemplate Template;
    SetDesignTranslator(std::make_unique<TRecordingTranslator>(&Template));
    BuildEveryWindow();
    SetDesignTranslator(nullptr);
    Template.AddResourceStrings();
    return Template;
}
