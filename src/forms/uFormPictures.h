// The two pictures the comparison windows show for a match and a mismatch.
#pragma once

#include <QPixmap>

class QLabel;
class QVBoxLayout;
class QWidget;

QPixmap MatchPicture(bool Match, int Size = 32);

// The two pictures as labels named Image_Good and Image_Bad, sharing one
// column in which exactly one is shown (the mismatch picture at first).
QVBoxLayout* CreateMatchPictures(QWidget* Parent, QLabel*& Good, QLabel*& Bad);
