#include "support/message_recorder.h"

#include <gtest/gtest.h>

TEST(MessageService, RecorderSeesCaptionTextAndIconAndRestoresPrevious) {
    IMessageService* platform = &Messages();
    {
        MessageRecorder recorder;
        ShowInfo("Error_2");
        ShowError("Error_6");
        ASSERT_EQ(recorder.entries.size(), 2u);
        EXPECT_EQ(recorder.entries[0].caption, "Info");
        EXPECT_EQ(recorder.entries[0].text, "Error_2");
        EXPECT_EQ(recorder.entries[0].icon, MessageIcon::Information);
        EXPECT_EQ(recorder.entries[1].caption, "Error");
        EXPECT_EQ(recorder.entries[1].icon, MessageIcon::Error);
    }
    EXPECT_EQ(&Messages(), platform);
}
