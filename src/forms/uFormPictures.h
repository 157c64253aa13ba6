// The two pictures the comparison windows show for a match and a mismatch.
#pragma once

#include <QPixmap>

class QLabel;
class QWidget;

QPixmap MatchPicture(bool Match, int Size = 32);

// The picture as a label of its own, named Name, in a square a little larger
// than the picture.
QLabel* CreateMatchImage(QWidget* Parent, const QString& Name, bool Match);
