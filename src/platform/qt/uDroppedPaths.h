// The paths of files and folders dropped on a window, as the system names
// them: a name that is not UTF-8 keeps its bytes (see uFileNames.h).
#pragma once

#include <QStringList>

class QMimeData;
class QUrl;

// One local file URL as a path; empty when the URL names no local file.
QString DroppedPath(const QUrl& Url);
// Every local file of the drop, in the order given; empty when there is none.
QStringList DroppedPaths(const QMimeData* Data);
