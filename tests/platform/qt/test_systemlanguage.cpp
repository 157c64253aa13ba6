#include "platform/qt/uSystemLanguage.h"

#include <gtest/gtest.h>

TEST(SystemLanguage, IdIsLanguageWithOptionalCountry)
{
    QString Id, Code;
    QuerySystemLanguage(Id, Code);
    ASSERT_FALSE(Code.isEmpty());
    EXPECT_TRUE(Id == Code || Id.startsWith(Code + QLatin1Char('_'))) << Id.toStdString();
    EXPECT_NE(Code, QStringLiteral("C"));
}
