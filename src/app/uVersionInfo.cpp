#include "app/uVersionInfo.h"

#include "uVersionNumbers.h"

TVersionInfo::~TVersionInfo()
{
    Unload();
}

void TVersionInfo::Load()
{
    Unload();
    // Without a version resource on this platform the build records the
    // numbers in a generated header.
    auto Resource = std::make_unique<TFixedFileInfo>();
    Resource->FileVersion = TFileVersion{SORVIK_VERSION_MAJOR, SORVIK_VERSION_MINOR, SORVIK_VERSION_RELEASE,
                                         SORVIK_VERSION_BUILD};
    FResource = std::move(Resource);
    FLoaded = true;
}

void TVersionInfo::Unload()
{
    FResource.reset();
    FLoaded = false;
}

void TVersionInfo::CheckLoaded() const
{
    if (!FLoaded)
        throw EVersionInfo("Version information is not loaded.");
}

const TFixedFileInfo& TVersionInfo::GetFixedInfo() const
{
    CheckLoaded();
    return *FResource;
}

void ReadFileVersion(TFileVersion& Version)
{
    Version = TFileVersion{};
    TVersionInfo Info;
    Info.Load();
    Version = Info.GetFixedInfo().FileVersion;
}

const TFileVersion& GetFileVersion()
{
    static TFileVersion Cache;
    static bool Filled = false;
    if (!Filled) {
        // Set first: a failed read is not retried, later calls give 0.0.0.0.
        Filled = true;
        ReadFileVersion(Cache);
    }
    return Cache;
}

std::string GetVersionSuffix(const TFileVersion& Version)
{
    return Version.Build != 0 ? "Beta" : "";
}

std::string GetVersionString(const TFileVersion& Version)
{
    std::string Text = std::to_string(Version.Major) + "." + std::to_string(Version.Minor);
    if (Version.Release != 0 || Version.Build != 0)
        Text += "." + std::to_string(Version.Release);
    if (Version.Build != 0)
        Text += "." + std::to_string(Version.Build);
    const std::string Suffix = GetVersionSuffix(Version);
    if (!Suffix.empty())
        Text += " " + Suffix;
    return Text;
}

std::string GetVersionString()
{
    return GetVersionString(GetFileVersion());
}

QDate GetReleaseDate()
{
    return QDate::fromString(QStringLiteral(SORVIK_RELEASE_DATE), Qt::ISODate);
}
