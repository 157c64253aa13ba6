// The two pictures the comparison windows show for a match and a mismatch.
#pragma once

#include <QPixmap>

QPixmap MatchPicture(bool Match, int Size = 32);
