#include "platform/qt/uDroppedPaths.h"

#include "platform/qt/uFileNames.h"

#include <QMimeData>
#include <QUrl>

QString DroppedPath(const QUrl& Url)
{
    if (!Url.isLocalFile())
        return {};
    return LocalFileFromUrl(Url);
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
