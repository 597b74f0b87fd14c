#include <gtest/gtest.h>

#include "upload/InputChecks.h"

namespace {

inputs::Fields complete() {
    inputs::Fields fields;
    fields.path = "C:\\Data\\a.mkv";
    fields.category = 12;
    fields.pictureCount = 1;
    fields.name = "My Film";
    fields.description = "0123456789";
    return fields;
}

TEST(InputChecks, TheFirstFailingCheckSpeaks) {
    inputs::Fields fields;  // nothing filled in
    EXPECT_EQ(inputs::check(fields).message, inputs::kNoPath);

    fields = complete();
    fields.path = " ";
    EXPECT_EQ(inputs::check(fields).message, "");

    fields = complete();
    fields.category = -1;
    fields.pictureCount = 0;
    EXPECT_EQ(inputs::check(fields).message, "Please select a Category!");

    fields = complete();
    fields.pictureCount = 0;
    fields.name = "a!";
    const inputs::Outcome noPicture = inputs::check(fields);
    EXPECT_EQ(noPicture.message, "You have to add at Least one Picture/Cover/Screenshot!");
    EXPECT_FALSE(noPicture.nameCleaned);

    fields = complete();
    fields.name = "Best!?";
    fields.description = "";
    const inputs::Outcome shortName = inputs::check(fields);
    EXPECT_EQ(shortName.message,
              "Please enter a Descriptive Name for your Torrent ( at least 5 chars ) !\n"
              "It will be Displayed when Browsing for Torrents....");
    EXPECT_TRUE(shortName.nameCleaned);
    EXPECT_EQ(shortName.cleanedName, "Best");

    fields = complete();
    fields.description = "012345678";
    const inputs::Outcome shortDescription = inputs::check(fields);
    EXPECT_EQ(shortDescription.message,
              "Please enter a good Description. ( at least 10 chars ) !\n"
              "It will be Displayed when showing the Torrent Details....");
    EXPECT_TRUE(shortDescription.nameCleaned);
}

TEST(InputChecks, NameCleaning) {
    EXPECT_EQ(inputs::cleanName("Best!?"), "Best");
    EXPECT_EQ(inputs::cleanName("A/B\\C:D"), "ABC:D");
    EXPECT_EQ(inputs::cleanName("\"My Film\""), "My Film");

    inputs::Fields fields = complete();
    fields.name = "A/B\\C:D";
    const inputs::Outcome outcome = inputs::check(fields);
    EXPECT_EQ(outcome.message, "");
    EXPECT_EQ(outcome.cleanedName, "ABC:D");
}

TEST(InputChecks, LengthsCountBytes) {
    inputs::Fields fields = complete();
    fields.name = "\xE9t\xE9 1";  // five single-byte characters
    fields.description = "0123456789";
    EXPECT_EQ(inputs::check(fields).message, "");
    fields.name = "   ! ";
    EXPECT_EQ(inputs::check(fields).message, inputs::kShortName);
}

// Blanks around a text do not count, blanks inside it do; the name goes back into the box as typed.
TEST(InputChecks, LengthsLeaveOutTheBlanksAround) {
    const struct {
        const char* name;
        const char* description;
        const char* message;
    } rows[] = {
        {"     ", "0123456789", inputs::kShortName},
        {" \t\r\nAbcd \r\n", "0123456789", inputs::kShortName},
        {"  Ab cd  ", "0123456789", ""},
        {" !Abcd! ", "0123456789", inputs::kShortName},
        {"My Film", "          ", inputs::kShortDescription},
        {"My Film", "\r\n 012345678 \t\r\n", inputs::kShortDescription},
        {"My Film", "\r\n0123 45678\r\n", ""},
    };
    for (const auto& row : rows) {
        inputs::Fields fields = complete();
        fields.name = row.name;
        fields.description = row.description;
        const inputs::Outcome outcome = inputs::check(fields);
        EXPECT_EQ(outcome.message, row.message) << '"' << row.name << "\" \"" << row.description << '"';
        EXPECT_EQ(outcome.cleanedName, inputs::cleanName(row.name));
    }
    EXPECT_EQ(inputs::trimBlanks(" \t a b \r\n"), "a b");
    EXPECT_EQ(inputs::trimBlanks("\r\n"), "");
}

}  // namespace
