// Small helpers for the language tests: .po files written on the spot and
// a guard that leaves no translation behind for the next test.
#pragma once

#include "app/uTranslationKit.h"
#include "platform/uResourceStrings.h"
#include "support/translation_guard.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QString>
#include <QStringList>

#include <gtest/gtest.h>

#include <ostream>

namespace langtest {

inline void WriteFile(const QString& Path, const QByteArray& Data)
{
    QDir().mkpath(QFileInfo(Path).path());
    QFile F(Path);
    ASSERT_TRUE(F.open(QIODevice::WriteOnly)) << Path.toStdString();
    F.write(Data);
}

// A .po file whose header holds the given pieces (already escaped, one
// quoted line each), followed by Body.
inline QByteArray PoText(const QStringList& HeaderPieces, const QByteArray& Body = {})
{
    QByteArray S = "msgid \"\"\nmsgstr \"\"\n";
    for (const QString& P : HeaderPieces)
        S += "\"" + P.toUtf8() + "\"\n";
    S += "\n" + Body;
    return S;
}

// The German catalogue the catalogue and translation tests read. Through
// the source folder the build names: a compiler cache may give __FILE__
// relative to the build folder.
inline QString CatalogueFixture()
{
    return QFileInfo(QString::fromUtf8(SORVIK_TEST_DATA)).path() + QStringLiteral("/app/data/catalog.de.po");
}

} // namespace langtest

using namespace langtest;
