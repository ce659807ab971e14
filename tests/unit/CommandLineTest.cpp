#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "commandline.h"

// Each row a command line (after the program's name) and what it asks for. GLUT's options keep
// their values, so a value is never read as one of ours; the first deciding argument decides;
// `--` ends the options. -geometry goes to GLUT with a size, which it places the window by.
// No arguments, a stray word and a missing value: the end-to-end test's command-line rows.
TEST(CommandLine, OursGlutsAndTheRestInOrder) {
    using A = CommandLine::Action;
    const struct { std::vector<const char*> args; A action; bool windowed; const char* geometry; const char* named; } rows[] = {
        {{"-display", "-h", "-sync", "-iconic", "-direct", "-gldebug", "--windowed", "--"}, A::Play, true, "", ""},
        {{"-geometry", "640x480+10-20"}, A::Play, true, "640x480+10-20", ""},
        {{"-geometry", "9x9", "-geometry", "-0-0"}, A::Play, true, "1024x768-0-0", ""},  // the place only: 1024x768
        {{"-geometry", "=32767x32767-50+0"}, A::Play, true, "32767x32767-50+0", ""},  // X's largest window
        {{"-geometry", "10x0"}, A::Bad, false, "", "'10x0'"},
        {{"-geometry", "1x32768"}, A::Bad, false, "", "'1x32768'"},
        {{"-geometry", "640x480junk"}, A::Bad, false, "", "'640x480junk'"},
        {{"--windowed", "-h", "--bogus"}, A::Help, true, "", ""},
        {{"--version", "-h"}, A::Version, false, "", ""},
        {{"--bogus", "--help"}, A::Bad, false, "", "'--bogus'"},
        {{"--", "--help"}, A::Bad, false, "", "'--help'"},
        {{"--window"}, A::Bad, false, "", "'--window'"},
    };
    for (const auto& row : rows) {
        std::vector<const char*> argv{"boneyard"};
        argv.insert(argv.end(), row.args.begin(), row.args.end());
        SCOPED_TRACE(testing::PrintToString(row.args));
        const CommandLine got = parseCommandLine(static_cast<int>(argv.size()), argv.data());
        EXPECT_EQ(got.action, row.action);
        EXPECT_EQ(got.windowed, row.windowed);
        EXPECT_EQ(got.geometry, row.geometry);
        EXPECT_NE(got.complaint.find(row.named), std::string::npos) << got.complaint;
    }
}
