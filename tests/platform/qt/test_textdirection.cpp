// Left-to-right pieces inside right-to-left text, as they are drawn.
#include "platform/qt/uTextDirection.h"
#include "support/text_direction.h"

#include <gtest/gtest.h>

namespace {

QString Str(const char* S) { return QString::fromUtf8(S); }

} // namespace

// Numbers and Latin units read left to right; the Hebrew words around them
// keep their places, so a Hebrew reader meets the number first.
TEST(TextDirection, LeftToRightRunsAmongRightToLeftWords)
{
    const struct {
        const char* Text;
        const char* Visual; // from the left, as drawn right to left
    } Cases[] = {
        {"3 בתים", "םיתב 3"},
        {"1,024 ק״ב", "ב״ק 1,024"},
        {"9.91 KiB", "9.91 KiB"},
        {"12/25/26 3:04 PM", "12/25/26 3:04 PM"},
        {"בין 1 ל-2", "2-ל 1 ןיב"},
        {"(3) בתים", "םיתב (3)"},
    };
    for (const auto& C : Cases) {
        SCOPED_TRACE(C.Text);
        const QString Shown = LeftToRightRuns(Str(C.Text), Qt::RightToLeft);
        EXPECT_EQ(directiontest::WithoutMarks(Shown), Str(C.Text));
        EXPECT_TRUE(directiontest::DrawnRightToLeftAs(Shown, Str(C.Visual)));
        EXPECT_EQ(LeftToRightRuns(Str(C.Text), Qt::LeftToRight), Str(C.Text));
    }
    EXPECT_EQ(LeftToRightRuns(QString(), Qt::RightToLeft), QString());
}
