#include <gtest/gtest.h>

#include <utility>
#include <vector>

#include "app/CommandLine.h"

namespace {

using Argument = std::pair<std::string, std::string>;  // name, value

std::vector<Argument> arguments(const std::string& commandLine, const std::string& program = std::string()) {
    CCommandLine cl;
    cl.parse(commandLine, program);
    std::vector<Argument> all;
    std::string name = "x", value = "x";
    for (bool more = cl.firstArgument(name, value); more; more = cl.nextArgument(name, value))
        all.emplace_back(name, value);
    EXPECT_EQ(name, "");
    EXPECT_EQ(value, "");
    return all;
}

TEST(CommandLine, ASwitchTakesTheNextTokenAsItsValue) {
    EXPECT_EQ(arguments("C:\\Seedwright\\Seedwright.exe /force /uninstall"),
              (std::vector<Argument>{{"force", "/uninstall"}}));
    EXPECT_EQ(arguments("Seedwright.exe /uninstall /force"), (std::vector<Argument>{{"uninstall", "/force"}}));
    EXPECT_EQ(arguments("Seedwright.exe -force"), (std::vector<Argument>{{"force", ""}}));
    EXPECT_EQ(arguments("Seedwright.exe /Force"), (std::vector<Argument>{{"Force", ""}}));
    EXPECT_EQ(arguments("Seedwright.exe / uninstall /force"),
              (std::vector<Argument>{{"", "uninstall"}, {"force", ""}}));
}

TEST(CommandLine, OnlyTheProgramMeansNoArgument) {
    EXPECT_TRUE(arguments("Seedwright.exe").empty());
    EXPECT_TRUE(arguments("  \"C:\\Program Files\\Seedwright.exe\"   ").empty());
    EXPECT_TRUE(arguments("").empty());
    EXPECT_TRUE(arguments("   \t ").empty());
}

TEST(CommandLine, SpacesSplitAndQuotesOrTabsDoNot) {
    EXPECT_EQ(arguments("prog a\tb \"c d\""), (std::vector<Argument>{{"", "a\tb"}, {"", "\"c"}, {"", "d\""}}));
}

TEST(CommandLine, TheProgramPathIsNeverReadAsArguments) {
    const std::string program = "C:\\Apps -force x -uninstall y\\Seedwright.exe";
    // Quoted, as the shell and the shortcuts start it.
    EXPECT_TRUE(arguments("\"" + program + "\"").empty());
    EXPECT_EQ(arguments("\"" + program + "\" /uninstall"), (std::vector<Argument>{{"uninstall", ""}}));
    EXPECT_EQ(arguments("\"C:\\Program Files\\Seedwright\\Seedwright.exe\"   /uninstall"),
              (std::vector<Argument>{{"uninstall", ""}}));
    EXPECT_EQ(arguments("\"C:\\My -dir\\Seedwright.exe\"/force"), (std::vector<Argument>{{"force", ""}}));
    // Unquoted: the running program's own path, letter case aside, else up to the first blank.
    EXPECT_TRUE(arguments(program, program).empty());
    EXPECT_EQ(arguments("c:\\apps -FORCE x -uninstall y\\seedwright.exe /force", program),
              (std::vector<Argument>{{"force", ""}}));
    EXPECT_EQ(arguments("C:\\Apps -force", program), (std::vector<Argument>{{"force", ""}}));
    EXPECT_EQ(arguments("\"unclosed -force"), (std::vector<Argument>{}));

    EXPECT_EQ(programPathEnd("\"a b\" c", ""), 5u);
    EXPECT_EQ(programPathEnd("a\tb", ""), 1u);
    EXPECT_EQ(programPathEnd("C:\\A B\\S.exe x", "c:\\a b\\s.EXE"), 12u);
    EXPECT_EQ(programPathEnd("C:\\A B\\S.exex", "C:\\A B\\S.exe"), 4u);
}

TEST(CommandLine, FirstArgumentStartsAfresh) {
    CCommandLine cl;
    cl.parse("prog /force x /uninstall");
    std::string name, value;
    ASSERT_TRUE(cl.firstArgument(name, value));
    ASSERT_TRUE(cl.nextArgument(name, value));
    EXPECT_EQ(name, "uninstall");
    EXPECT_FALSE(cl.nextArgument(name, value));
    ASSERT_TRUE(cl.firstArgument(name, value));
    EXPECT_EQ(name, "force");
    EXPECT_EQ(value, "x");
}

TEST(CommandLine, ParseTrimsWhiteSpace) {
    CCommandLine cl;
    cl.parse(" \t prog /force \r\n");
    EXPECT_EQ(cl.m_commandLine, "prog /force");
}

}  // namespace
