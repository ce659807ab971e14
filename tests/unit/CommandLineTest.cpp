#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "commandline.h"

// Each row a command line (after the program's name) and what it asks for. GLUT's options keep
// their values, so a value is never read as one of ours; the first deciding argument decides.
// No arguments, a stray word and a missing value: the end-to-end test's command-line rows.
TEST(CommandLine, OursGlutsAndTheRestInOrder) {
    using A = CommandLine::Action;
    const struct { std::vector<const char*> args; A action; bool windowed, sizeGiven; const char* named; } rows[] = {
        {{"-display", "-h", "-sync", "-iconic", "-direct", "-gldebug", "--windowed"}, A::Play, true, false, ""},
        {{"-geometry", "640x480+10-20"}, A::Play, true, true, ""},
        {{"-geometry", "+10+20"}, A::Play, true, false, ""},  // the place only: the size stays 1024x768
        {{"-geometry", "640x480junk"}, A::Bad, false, false, "'640x480junk'"},
        {{"--windowed", "--help", "--bogus"}, A::Help, true, false, ""},
        {{"--version", "-h"}, A::Version, false, false, ""},
        {{"--bogus", "--help"}, A::Bad, false, false, "'--bogus'"},
        {{"--window"}, A::Bad, false, false, "'--window'"},
    };
    for (const auto& row : rows) {
        std::vector<const char*> argv{"boneyard"};
        argv.insert(argv.end(), row.args.begin(), row.args.end());
        SCOPED_TRACE(testing::PrintToString(row.args));
        const CommandLine got = parseCommandLine(static_cast<int>(argv.size()), argv.data());
        EXPECT_EQ(got.action, row.action);
        EXPECT_EQ((std::vector<bool>{got.windowed, got.sizeGiven}), (std::vector<bool>{row.windowed, row.sizeGiven}));
        EXPECT_NE(got.complaint.find(row.named), std::string::npos) << got.complaint;
    }
}
