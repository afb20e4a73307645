// The tool's progress line, written to a scratch stream.
#include "tools/vorelline/progress_reporter.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <limits>
#include <string>

namespace {

std::string Contents(std::FILE* f) {
    std::fflush(f);
    std::rewind(f);
    std::string text;
    for (int c; (c = std::fgetc(f)) != EOF;)
        text += static_cast<char>(c);
    return text;
}

TEST(ProgressReporter, RedrawsOnlyWhenTheWholePercentChangesAndClearsItsLine) {
    std::FILE* f = std::tmpfile();
    ASSERT_NE(f, nullptr);
    {
        ProgressReporter p(f, true);
        p.Phase("reading a.wav");
        for (double x : {0.0, 0.001, 0.009, 0.5, 0.5049, 2.0, 1.0})
            p.Update(x);
        p.Phase("play");
        p.Update(std::numeric_limits<double>::quiet_NaN());
        p.Update(-3.0);
    }
    const std::string a = "vorelline: reading a.wav";
    EXPECT_EQ(Contents(f), "\r" + a + "\r" + a + "  0%" + "\r" + a + "  50%" + "\r" + a + "  100%" +
                               "\rvorelline: play" + std::string(a.size() + 6 - 15, ' ') +
                               "\rvorelline: play  0%" + std::string(a.size() + 6 - 19, ' ') + "\r" +
                               std::string(a.size() + 6, ' ') + "\r");
    std::fclose(f);
}

TEST(ProgressReporter, DrawsNothingWhenNotWanted) {
    std::FILE* f = std::tmpfile();
    ASSERT_NE(f, nullptr);
    {
        ProgressReporter p(f, false);
        p.Phase("reading");
        p.Update(0.5);
        p.Done();
    }
    EXPECT_EQ(Contents(f), "");
    std::fclose(f);
}

} // namespace
