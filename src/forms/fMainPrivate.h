// What the main window's files share and no other file needs.
#pragma once

#include "platform/uResourceStrings.h"

#include <QString>

#include <string>

namespace fmain {

inline QString Q(const std::string& S) { return QString::fromStdString(S); }
inline QString Q(const TResourceString& S) { return QString::fromStdString(S.Text()); }
inline const QString CRLF = QStringLiteral("\r\n");

} // namespace fmain
