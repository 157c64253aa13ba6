#include "uLanguageTemplate.h"

#include "platform/uResourceStrings.h"

#include <QApplication>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QRegularExpression>
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

TLanguageTemplate CollectLanguageTemplate(const QString& SourceFolder)
{
    TLanguageTemplate Template;
    SetDesignTranslator(std::make_unique<TRecordingTranslator>(&Template));
    BuildEveryWindow();
    SetDesignTranslator(nullptr);
    if (!SourceFolder.isEmpty())
        Template.AddSourceLiterals(SourceFolder);
    Template.AddResourceStrings();
    return Template;
}

namespace {

// One C++ string literal starting at Src[I] == '"'; I ends after it.
QByteArray ReadLiteral(const QByteArray& Src, qsizetype& I)
{
    QByteArray R;
    for (++I; I < Src.size() && Src[I] != '"'; ++I) {
        if (Src[I] != '\\' || I + 1 >= Src.size()) {
            R += Src[I];
            continue;
        }
        const char E = Src[++I];
        switch (E) {
        case 'n': R += '\n'; break;
        case 't': R += '\t'; break;
        case 'r': R += '\r'; break;
        default: R += E; // \" \\ and the rest as themselves
        }
    }
    ++I;
    return R;
}

bool IsIdentChar(char C)
{
    return (C >= 'a' && C <= 'z') || (C >= 'A' && C <= 'Z') || (C >= '0' && C <= '9') || C == '_'
           || C == ':';
}

// An argument is a literal when it is one or more adjacent literals, bare
// or inside one wrapper call such as QStringLiteral("...").
bool LiteralArgument(QByteArray Arg, QString& Text)
{
    Arg = Arg.trimmed();
    qsizetype Open = 0;
    while (Open < Arg.size() && IsIdentChar(Arg[Open]))
        ++Open;
    if (Open > 0) {
        if (Open >= Arg.size() || Arg[Open] != '(' || !Arg.endsWith(')'))
            return false;
        Arg = Arg.mid(Open + 1, Arg.size() - Open - 2).trimmed();
    }
    if (!Arg.startsWith('"'))
        return false;
    QByteArray Value;
    qsizetype I = 0;
    while (I < Arg.size()) {
        if (Arg[I] == '"')
            Value += ReadLiteral(Arg, I);
        else if (QChar::isSpace(static_cast<uchar>(Arg[I])))
            ++I;
        else
            return false;
    }
    Text = QString::fromUtf8(Value);
    return true;
}

} // namespace

QVector<TSourceDesignText> ScanDesignTextCalls(const QString& FileName, const QByteArray& Source)
{
    QVector<TSourceDesignText> Result;
    // fMain.cpp holds TFormMain: the units of windows are named f + window. A window split
    // into several units (fMainAdding.cpp) belongs to the longest window class of the unit's
    // own methods that begins its name.
    const QString Base = QFileInfo(FileName).completeBaseName();
    QString WindowClass;
    if (Base.startsWith(QLatin1Char('f'))) {
        const QString Named = QStringLiteral("TForm") + Base.mid(1);
        static const QRegularExpression Method(QStringLiteral("\\b(TForm\\w*)::"));
        for (auto M = Method.globalMatch(QString::fromUtf8(Source)); M.hasNext();) {
            const QString Class = M.next().captured(1);
            if (Named.startsWith(Class) && Class.size() > WindowClass.size())
                WindowClass = Class;
        }
        if (WindowClass.isEmpty())
            WindowClass = Named;
    }
    static const QByteArray Name = "DesignText";
    for (qsizetype At = Source.indexOf(Name); At >= 0; At = Source.indexOf(Name, At + Name.size())) {
        const qsizetype CallStart = Source.left(At).endsWith("Set") ? At - 3 : At;
        if (CallStart > 0 && IsIdentChar(Source[CallStart - 1]))
            continue; // another function whose name ends the same way
        qsizetype I = At + Name.size();
        while (I < Source.size() && QChar::isSpace(static_cast<uchar>(Source[I])))
            ++I;
        if (I >= Source.size() || Source[I] != '(')
            continue;
        // The arguments, split at the commas outside brackets and literals.
        QList<QByteArray> Args{QByteArray()};
        int Depth = 0;
        for (++I; I < Source.size(); ++I) {
            const char C = Source[I];
            if (C == '"') {
                const qsizetype Start = I;
                ReadLiteral(Source, I);
                Args.last() += Source.mid(Start, I - Start);
                --I;
                continue;
            }
            if (C == '(' || C == '{' || C == '[')
                ++Depth;
            if (C == ')' || C == '}' || C == ']') {
                if (Depth-- == 0)
                    break;
            }
            if (C == ',' && Depth == 0)
                Args.append(QByteArray());
            else
                Args.last() += C;
        }
        if (Args.size() != 4)
            continue; // a declaration, or the overload without a window
        TSourceDesignText T;
        if (!LiteralArgument(Args[3], T.Text) || T.Text.isEmpty())
            continue;
        QString Property;
        if (!WindowClass.isEmpty() && Args[0].trimmed() == "this" && Args[1].trimmed() == "this"
            && LiteralArgument(Args[2], Property))
            T.Reference = WindowClass + QLatin1Char('.') + Property;
        Result.append(T);
    }
    return Result;
}

void TLanguageTemplate::AddSourceLiterals(const QString& Folder)
{
    QStringList Files;
    QDirIterator It(Folder, {QStringLiteral("*.cpp"), QStringLiteral("*.h")}, QDir::Files,
                    QDirIterator::Subdirectories);
    while (It.hasNext())
        Files << It.next();
    Files.sort(); // the template must not depend on the order of the folder
    for (const QString& File : Files) {
        QFile F(File);
        if (!F.open(QIODevice::ReadOnly))
            continue;
        for (const TSourceDesignText& T : ScanDesignTextCalls(File, F.readAll()))
            Add(T.Reference, T.Text);
    }
}
