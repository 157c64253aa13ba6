#include "platform/qt/uDroppedPaths.h"

#include "platform/qt/uFileNames.h"

#include <QByteArray>
#include <QDir>
#include <QMimeData>
#include <QUrl>

QString DroppedPath(const QUrl& Url)
{
    if (!Url.isLocalFile())
        return {};
#ifndef Q_OS_WIN
    // The path's bytes as the sender encoded them: toLocalFile would replace
    // bytes of a name that is not UTF-8.
    if (Url.host().isEmpty()) {
        const QByteArray Bytes = QByteArray::fromPercentEncoding(Url.path(QUrl::FullyEncoded).toLatin1());
        return FileNameToQString(Bytes.toStdString());
    }
#endif
    return QDir::toNativeSeparators(Url.toLocalFile());
}

QStringList DroppedPaths(const QMimeData* Data)
{
    QStringList Paths;
    if (!Data || !Data->hasUrls())
        return Paths;
    for (const QUrl& U : Data->urls())
        if (U.isLocalFile())
            Paths.append(DroppedPath(U));
    return Paths;
}
