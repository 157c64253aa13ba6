#include "engine/uSorvik.h"

#include <gtest/gtest.h>

TEST(HashFileList, PreviousByIdentity)
{
    THashFileList Log;
    for (const char* Name : {"a", "b", "c"})
        Log.Add(std::make_shared<THashFile>(Name));
    ASSERT_EQ(Log.Count(), 3);
    EXPECT_EQ(Log.GetItem(1)->FileName, "b");
    EXPECT_EQ(Log.Previous(Log.GetItem(2).get()), Log.GetItem(1));
    EXPECT_EQ(Log.Previous(Log.GetItem(0).get()), nullptr);
    THashFile Stranger("b");
    EXPECT_EQ(Log.Previous(&Stranger), nullptr);
    EXPECT_EQ(Log.Previous(nullptr), nullptr);
}

TEST(HashFileList, ClearReleasesRecordsOthersDoNotHold)
{
    THashFileList Log;
    auto Held = std::make_shared<THashFile>("held");
    std::weak_ptr<THashFile> Loose;
    {
        auto Record = std::make_shared<THashFile>("loose");
        Loose = Record;
        Log.Add(std::move(Record));
    }
    Log.Add(Held);
    Log.Clear();
    EXPECT_EQ(Log.Count(), 0);
    EXPECT_TRUE(Loose.expired());
    // A record still in a worker's hands stays alive after the log lets go.
    EXPECT_EQ(Held.use_count(), 1);
    Held->ErrorText = "still writable";
}
