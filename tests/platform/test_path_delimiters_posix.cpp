#include "platform/path_delimiter_cases.h"

// Only "/" parts a path: a backslash or a colon is part of a name.
TEST(PathDelimiters, OnlyTheSlash)
{
    const TPathDelimiterCase Cases[] = {
        {"", false, "/", 0},
        {"/", true, "/", 1},
        {"/home/user", false, "/home/user/", 6},
        {"folder/", true, "folder/", 7},
        {"a\\b", false, "a\\b/", 0},
        {"C:", false, "C:/", 0},
        {"x/a:b.txt", false, "x/a:b.txt/", 2},
    };
    ExpectPathDelimiterCases(Cases);
}
