#include <gtest/gtest.h>

#include "upload/InputChecks.h"

namespace {

upload::inputs::Fields complete() {
    upload::inputs::Fields fields;
    fields.path = "C:\\Data\\a.mkv";
    fields.category = 12;
    fields.pictureCount = 1;
    fields.name = "My Film";
    fields.description = "0123456789";
    return fields;
}

TEST(InputChecks, TheFirstFailingCheckSpeaks) {
    upload::inputs::Fields fields;  // nothing filled in
    EXPECT_EQ(upload::inputs::check(fields).message, upload::inputs::kNoPath);

    fields = complete();
    fields.path = " ";
    EXPECT_EQ(upload::inputs::check(fields).message, "");

    fields = complete();
    fields.category = -1;
    fields.pictureCount = 0;
    EXPECT_EQ(upload::inputs::check(fields).message, "Please select a Category!");

    fields = complete();
    fields.pictureCount = 0;
    fields.name = "a!";
    const upload::inputs::Outcome noPicture = upload::inputs::check(fields);
    EXPECT_EQ(noPicture.message, "You have to add at Least one Picture/Cover/Screenshot!");
    EXPECT_FALSE(noPicture.nameCleaned);

    fields = complete();
    fields.name = "Best!?";
    fields.description = "";
    const upload::inputs::Outcome shortName = upload::inputs::check(fields);
    EXPECT_EQ(shortName.message,
              "Please enter a Descriptive Name for your Torrent ( at least 5 chars ) !\n"
              "It will be Displayed when Browsing for Torrents....");
    EXPECT_TRUE(shortName.nameCleaned);
    EXPECT_EQ(shortName.cleanedName, "Best");

    fields = complete();
    fields.description = "012345678";
    const upload::inputs::Outcome shortDescription = upload::inputs::check(fields);
    EXPECT_EQ(shortDescription.message,
              "Please enter a good Description. ( at least 10 chars ) !\n"
              "It will be Displayed when showing the Torrent Details....");
    EXPECT_TRUE(shortDescription.nameCleaned);
}

TEST(InputChecks, NameCleaning) {
    EXPECT_EQ(upload::inputs::cleanName("Best!?"), "Best");
    EXPECT_EQ(upload::inputs::cleanName("A/B\\C:D"), "ABC:D");
    EXPECT_EQ(upload::inputs::cleanName("\"My Film\""), "My Film");

    upload::inputs::Fields fields = complete();
    fields.name = "A/B\\C:D";
    const upload::inputs::Outcome outcome = upload::inputs::check(fields);
    EXPECT_EQ(outcome.message, "");
    EXPECT_EQ(outcome.cleanedName, "ABC:D");
}

TEST(InputChecks, LengthsCountBytes) {
    upload::inputs::Fields fields = complete();
    fields.name = "\xE9t\xE9 1";  // five single-byte characters
    fields.description = "0123456789";
    EXPECT_EQ(upload::inputs::check(fields).message, "");
    fields.name = "   ! ";
    EXPECT_EQ(upload::inputs::check(fields).message, upload::inputs::kShortName);
}

// Blanks around a text do not count, blanks inside it do; the name goes back into the box as typed.
TEST(InputChecks, LengthsLeaveOutTheBlanksAround) {
    const struct {
        const char* name;
        const char* description;
        const char* message;
    } rows[] = {
        {"     ", "0123456789", upload::inputs::kShortName},
        {" \t\r\nAbcd \r\n", "0123456789", upload::inputs::kShortName},
        {"  Ab cd  ", "0123456789", ""},
        {" !Abcd! ", "0123456789", upload::inputs::kShortName},
        {"My Film", "          ", upload::inputs::kShortDescription},
        {"My Film", "\r\n 012345678 \t\r\n", upload::inputs::kShortDescription},
        {"My Film", "\r\n0123 45678\r\n", ""},
    };
    for (const auto& row : rows) {
        upload::inputs::Fields fields = complete();
        fields.name = row.name;
        fields.description = row.description;
        const upload::inputs::Outcome outcome = upload::inputs::check(fields);
        EXPECT_EQ(outcome.message, row.message) << '"' << row.name << "\" \"" << row.description << '"';
        EXPECT_EQ(outcome.cleanedName, upload::inputs::cleanName(row.name));
    }
    EXPECT_EQ(upload::inputs::trimBlanks(" \t a b \r\n"), "a b");
    EXPECT_EQ(upload::inputs::trimBlanks("\r\n"), "");
}

}  // namespace
