#include <gtest/gtest.h>

#include <utility>
#include <vector>

#include "app/CommandLine.h"

namespace {

using Argument = std::pair<std::string, std::string>;  // name, value

std::vector<Argument> arguments(const std::string& commandLine) {
    CCommandLine cl;
    cl.parse(commandLine);
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
    EXPECT_TRUE(arguments("  \"C:\\Program Files\\Seedwright.exe\"   ").size() == 1);
    EXPECT_TRUE(arguments("").empty());
    EXPECT_TRUE(arguments("   \t ").empty());
}

TEST(CommandLine, SpacesSplitAndQuotesOrTabsDoNot) {
    // A quoted path with spaces falls into plain values; the switch after it is still found.
    EXPECT_EQ(arguments("\"C:\\Program Files\\Seedwright\\Seedwright.exe\"   /uninstall"),
              (std::vector<Argument>{{"", "Files\\Seedwright\\Seedwright.exe\""}, {"uninstall", ""}}));
    EXPECT_EQ(arguments("prog a\tb"), (std::vector<Argument>{{"", "a\tb"}}));
}

TEST(CommandLine, APathPieceWithAMinusSwallowsTheSwitchAfterIt) {
    EXPECT_EQ(arguments("\"C:\\My -dir\\Seedwright.exe\" /uninstall"),
              (std::vector<Argument>{{"dir\\Seedwright.exe\"", "/uninstall"}}));
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
