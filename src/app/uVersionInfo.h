// The program's version as a short text ("3.1", "3.1.0.5 Beta") and its
// release date. The four numbers come from the build (project VERSION).
#pragma once

#include "digest/uException.h"

#include <QDate>

#include <cstdint>
#include <memory>
#include <string>

struct TFileVersion {
    uint16_t Major = 0;
    uint16_t Minor = 0;
    uint16_t Release = 0;
    uint16_t Build = 0;
};

SORVIK_EXCEPTION_CLASS(EVersionInfo, Exception);

// The fixed part of the program's version information.
struct TFixedFileInfo {
    TFileVersion FileVersion;
};

class TVersionInfo {
public:
    TVersionInfo() = default;
    virtual ~TVersionInfo();
    TVersionInfo(const TVersionInfo&) = delete;
    TVersionInfo& operator=(const TVersionInfo&) = delete;

    void Load();
    void Unload();
    void CheckLoaded() const;
    const TFixedFileInfo& GetFixedInfo() const;
    bool Loaded() const { return FLoaded; }

private:
    std::unique_ptr<TFixedFileInfo> FResource;
    bool FLoaded = false;
};

void ReadFileVersion(TFileVersion& Version);
// Read once per run, then cached.
const TFileVersion& GetFileVersion();

// "Beta" for any build whose fourth number is not 0.
std::string GetVersionSuffix(const TFileVersion& Version);
// Major.Minor, then .Release when Release or Build is set, then .Build when
// Build is set, then " " and the suffix.
std::string GetVersionString(const TFileVersion& Version);
std::string GetVersionString();
QDate GetReleaseDate();
