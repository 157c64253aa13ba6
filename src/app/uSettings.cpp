#include "app/uSettings.h"

#include "engine/uFileStreams.h"
#include "platform/uPlatformFiles.h"

#include "app/uIniFile.h"
#include "app/uStartFiles.h"

#include <QBuffer>
#include <QFileDevice>
#include <QIODevice>

TSettings* Settings = nullptr;

namespace {

const char* const SGeneral = "General";
const char* const SSaveLog = "SaveLog";
const char* const SLogViewer = "LogViewer";
const char* const SLocation = "Location";

void ReadBool(const TIniReader& Ini, const char* Section, const char* Key, bool& Field)
{
    const auto Value = Ini.Value(Section, Key);
    if (Value && !Value->empty())
        Field = (*Value)[0] == '1';
}

void ReadText(const TIniReader& Ini, const char* Section, const char* Key, std::string& Field)
{
    if (const auto Value = Ini.Text(Section, Key))
        Field = *Value;
}

const char* BoolText(bool Value)
{
    return Value ? "1" : "0";
}

bool SameFile(const std::string& A, const std::string& B)
{
    return SystemPath(AbsolutePath(A)).lexically_normal() == SystemPath(AbsolutePath(B)).lexically_normal();
}

} // namespace

TSettings::TSettings()
    : MainFormLocation(std::make_unique<TFormLocationTracker>()),
      LogViewerLocation(std::make_unique<TFormLocationTracker>())
{
}

TSettings::~TSettings() = default;

void TSettings::Reset()
{
    UpperCaseHash = false;
    HashTypes = AllHashTypes();
    SaveLogHashType = htNone;
    SaveLogVerifyFormat = vfSFV;
    SaveLogFileName.clear();
    SaveLogUseFullPath = false;
    IncludeHeaderInExport = true;
    ToolbarCaptions = false;
    CompareToAnyHash = false;
    LanguageCode.clear();
    BiDiCode.clear();
    StayOnTop = false;
    MainFormLocation->Reset();
    LogViewerLocation->Reset();
}

void TSettings::ReadIni(QIODevice& Stream)
{
    const QByteArray Data = Stream.readAll();
    const auto* File = qobject_cast<const QFileDevice*>(&Stream);
    const bool Short = !Stream.isSequential() && !Stream.atEnd();
    if (!Stream.isReadable() || Short || (File && File->error() != QFileDevice::NoError))
        throw ESettingsError("Cannot read the settings: " + Stream.errorString().toStdString());
    const TIniReader Ini(Data.toStdString());

    ReadBool(Ini, SGeneral, "UpperCaseHash", UpperCaseHash);
    HashTypes = StringToHashTypes(Ini.Value(SGeneral, "HashTypes").value_or(HashTypesToString(HashTypes)));
    ReadBool(Ini, SGeneral, "ToolbarCaptions", ToolbarCaptions);
    ReadBool(Ini, SGeneral, "CompareToAnyHash", CompareToAnyHash);
    ReadText(Ini, SGeneral, "LanguageCode", LanguageCode);
    ReadText(Ini, SGeneral, "BiDiCode", BiDiCode);
    ReadBool(Ini, SGeneral, "StayOnTop", StayOnTop);

    SaveLogHashType = NameToHashType(Ini.Value(SSaveLog, "HashType").value_or(HashTypeToName(SaveLogHashType)));
    SaveLogVerifyFormat =
        NameToVerifyFormat(Ini.Value(SSaveLog, "VerifyFormat").value_or(VerifyFormatToName(SaveLogVerifyFormat)));
    ReadText(Ini, SSaveLog, "FileName", SaveLogFileName);
    ReadBool(Ini, SSaveLog, "UseFullPath", SaveLogUseFullPath);

    ReadBool(Ini, SLogViewer, "IncludeHeaderInExport", IncludeHeaderInExport);

    MainFormLocation->SetText(Ini.Value(SLocation, "MainForm").value_or(""));
    LogViewerLocation->SetText(Ini.Value(SLocation, "LogViewer").value_or(""));
}

void TSettings::WriteIni(QIODevice& Stream)
{
    TIniWriter Ini;
    Ini.Section(SGeneral);
    Ini.Value("UpperCaseHash", BoolText(UpperCaseHash));
    Ini.Value("HashTypes", HashTypesToString(HashTypes));
    Ini.Value("ToolbarCaptions", BoolText(ToolbarCaptions));
    Ini.Value("CompareToAnyHash", BoolText(CompareToAnyHash));
    Ini.Value("LanguageCode", LanguageCode);
    Ini.Value("BiDiCode", BiDiCode);
    Ini.Value("StayOnTop", BoolText(StayOnTop));

    Ini.Section(SSaveLog);
    Ini.Value("HashType", HashTypeToName(SaveLogHashType));
    Ini.Value("VerifyFormat", VerifyFormatToName(SaveLogVerifyFormat));
    Ini.Value("FileName", SaveLogFileName);
    Ini.Value("UseFullPath", BoolText(SaveLogUseFullPath));

    Ini.Section(SLogViewer);
    Ini.Value("IncludeHeaderInExport", BoolText(IncludeHeaderInExport));

    Ini.Section(SLocation);
    Ini.Value("MainForm", MainFormLocation->GetText());
    Ini.Value("LogViewer", LogViewerLocation->GetText());

    const std::string& Text = Ini.Text();
    if (Stream.write(Text.data(), static_cast<qint64>(Text.size())) != static_cast<qint64>(Text.size()))
        throw ESettingsError("Cannot write the settings: " + Stream.errorString().toStdString());
}

void TSettings::LoadFromFile(const std::string& FileName)
{
    // Only a regular file of bounded size: anything else counts as unreadable.
    QByteArray Data;
    if (!ReadStartFile(FileName, Data))
        throw ESettingsError("Cannot read \"" + FileName + "\": no regular file of at most 16 MiB");
    QBuffer File(&Data);
    File.open(QIODevice::ReadOnly);
    ReadIni(File);
}

void TSettings::SaveToFile(const std::string& FileName)
{
    if (const std::size_t NameStart = FileNameStart(FileName); NameStart > 0) {
        std::string Ignored;  // a folder that cannot be made fails the save below
        ForceDirectories(FileName.substr(0, NameStart), Ignored);
    }
    QBuffer Text;
    Text.open(QIODevice::WriteOnly);
    WriteIni(Text);
    // The same road as a saved log: a link stays a link, the file keeps its
    // mode and owner, and a failed write leaves the previous file whole.
    try {
        SaveFileReplacing(FileName, [&Text](std::ostream& Out) {
            Out.write(Text.data().constData(), Text.data().size());
        });
    } catch (const std::exception& E) {
        throw ESettingsError("Cannot write \"" + FileName + "\": " + E.what());
    }
}

bool TSettings::TrySaveToFile(const std::string& FileName)
{
    if (!FUnreadFile.empty() && SameFile(FileName, FUnreadFile))
        return false;
    try {
        SaveToFile(FileName);
        return true;
    } catch (...) {
        return false;
    }
}

bool TSettings::LoadIfExists(const std::string& FileName)
{
    if (!PathExists(FileName))
        return false;
    try {
        LoadFromFile(FileName);
        return true;
    } catch (...) {
        FUnreadFile = FileName;
        return false;
    }
}
