#include "app/uIniFile.h"

#include "platform/uPlatformFiles.h"

#include <QByteArrayView>
#include <QString>
#include <QStringDecoder>
#include <QtGlobal>


namespace {

std::string Trim(const std::string& Text)
{
    const std::size_t First = Text.find_first_not_of(" \t");
    if (First == std::string::npos)
        return {};
    const std::size_t Last = Text.find_last_not_of(" \t");
    return Text.substr(First, Last - First + 1);
}

std::string Lower(std::string Text)
{
    for (char& C : Text)
        if (C >= 'A' && C <= 'Z')
            C = static_cast<char>(C - 'A' + 'a');
    return Text;
}

std::string Slot(const std::string& Section, const std::string& Key)
{
    return Lower(Section) + '\n' + Lower(Key);
}

// A file an editor saved as UTF-16 says so with its byte-order mark; its
// text is taken as UTF-8 from then on. Anything else is UTF-8 already.
std::string FromUtf16(const std::string& Bytes)
{
    const bool Little = Bytes.rfind("\xFF\xFE", 0) == 0;
    const bool Big = Bytes.rfind("\xFE\xFF", 0) == 0;
    if (!Little && !Big)
        return Bytes;
    QStringDecoder Decode(Little ? QStringConverter::Utf16LE : QStringConverter::Utf16BE);
    const QString Text = Decode(QByteArrayView(Bytes.data() + 2, static_cast<qsizetype>(Bytes.size() - 2)));
    return Text.toStdString();
}

} // namespace

TIniReader::TIniReader(const std::string& Bytes)
{
    const std::string Text = FromUtf16(Bytes);
    std::size_t Pos = Text.rfind("\xEF\xBB\xBF", 0) == 0 ? 3 : 0;
    bool InSection = false;
    std::string Section;
    while (Pos < Text.size()) {
        std::size_t End = Text.find_first_of("\r\n", Pos);
        if (End == std::string::npos)
            End = Text.size();
        const std::string Raw = Text.substr(Pos, End - Pos);
        const std::string Line = Trim(Raw);
        Pos = Text.compare(End, 2, "\r\n") == 0 ? End + 2 : End + 1;

        if (Line.empty() || Line[0] == ';' || Line[0] == '#')
            continue;
        if (Line[0] == '[') {
            const std::size_t Close = Line.find(']');
            if (Close != std::string::npos) {
                Section = Trim(Line.substr(1, Close - 1));
                InSection = true;
            }
            continue;
        }
        const std::size_t Equals = Line.find('=');
        if (!InSection || Equals == std::string::npos)
            continue;
        const std::string Key = Trim(Line.substr(0, Equals));
        if (!Key.empty()) {
            const std::string Exact = Raw.substr(Raw.find('=') + 1);
            FValues.emplace(Slot(Section, Key), TEntry{Trim(Exact), Exact});
        }
    }
}

std::optional<std::string> TIniReader::Value(const std::string& Section, const std::string& Key) const
{
    const auto Found = FValues.find(Slot(Section, Key));
    if (Found == FValues.end())
        return std::nullopt;
    return Found->second.Value;
}

std::optional<std::string> TIniReader::Text(const std::string& Section, const std::string& Key) const
{
    const auto Found = FValues.find(Slot(Section, Key));
    if (Found == FValues.end())
        return std::nullopt;
    return Found->second.Text;
}

void TIniWriter::Section(const std::string& Name)
{
    if (!FText.empty())
        FText += TextLineBreak;
    FText += "[" + Name + "]" + TextLineBreak;
}

void TIniWriter::Value(const std::string& Key, const std::string& Value)
{
    FText += Key + "=" + Value.substr(0, Value.find_first_of("\r\n")) + TextLineBreak;
}
