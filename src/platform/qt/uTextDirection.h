// Left-to-right pieces inside right-to-left text. A path, a number with its
// unit or a file pattern is one left-to-right unit: in a right-to-left
// paragraph its neutral characters (slashes, dots, brackets, the blank
// between number and unit) would otherwise move to the wrong end.
#pragma once

#include <QGuiApplication>
#include <QString>

class QPlainTextEdit;

// Text isolated as one left-to-right run (U+2066 ... U+2069) when Direction
// is right to left; unchanged otherwise, so left-to-right texts stay as
// they are.
QString LeftToRightUnit(const QString& Text, Qt::LayoutDirection Direction = QGuiApplication::layoutDirection());

// Each stretch of Text between right-to-left letters, from its first to its
// last digit or letter, isolated as one left-to-right run when Direction is
// right to left: a number with a Latin unit reads as one unit, and the words
// of a right-to-left language around it, with the blanks and signs between,
// keep their places ("3 bytes" in Hebrew reads number first from the
// right). Unchanged otherwise.
QString LeftToRightRuns(const QString& Text, Qt::LayoutDirection Direction = QGuiApplication::layoutDirection());

// Text isolated in its own direction, taken from its first strong letter
// (U+2068 ... U+2069): a Hebrew name reads right to left, a Latin one left to
// right, whatever surrounds it. Unchanged in a left-to-right layout.
QString OwnDirectionUnit(const QString& Text, Qt::LayoutDirection Direction = QGuiApplication::layoutDirection());

// Each paragraph of Edit reads in its own direction, taken from its first
// strong letter. In a right-to-left window each is also placed at its own
// start, Hebrew at the right and Latin at the left: Qt places plain text
// only within a width, so there the view's width is used, with lines still
// unwrapped and scrolled sideways when longer.
void ParagraphsInTheirOwnDirection(QPlainTextEdit* Edit);

// The text without the isolating marks these add.
QString WithoutDirectionMarks(const QString& Text);
