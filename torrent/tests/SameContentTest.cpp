#include <gtest/gtest.h>

#include <string>

#include "torrent/SameContent.h"

namespace {

// "info" of a folder torrent, with `extra` spliced in where its keys sort.
std::string folderInfo(const std::string& name = "4:Film",
                       const std::string& length = "i300e",
                       const std::string& pieces = std::string(20, 'P'),
                       const std::string& extra = "") {
    return "d5:filesld6:length" + length + "4:pathl3:sub5:y.nfoeee4:name" + name +
           "12:piece lengthi65536e6:pieces20:" + pieces + extra + "e";
}

std::string torrent(const std::string& info, const std::string& outside = "8:announce7:tmp_url") {
    return "d" + outside + "4:info" + info + "e";
}

TEST(SameContent, TheSiteMayChangeWhatIsOutsideInfoAndAddPrivateAndSource) {
    const std::string built = torrent(folderInfo());
    const std::string accepted[] = {
        built,
        torrent(folderInfo(), "8:announce29:https://t/announce.php?pk=abc7:comment3:new"),
        torrent(folderInfo("4:Film", "i300e", std::string(20, 'P'), "7:privatei1e6:source6:Velmar"), "8:announce3:new"),
        // A site's file need not sort its keys.
        "d4:info" + folderInfo() + "8:announce3:newe",
    };
    for (const std::string& copy : accepted) {
        std::string reason;
        EXPECT_TRUE(sameContent(built, copy, reason)) << copy << ": " << reason;
    }
}

TEST(SameContent, AnythingElseIsRefusedWithTheReason) {
    const std::string built = torrent(folderInfo());
    const struct {
        std::string copy;
        std::string reason;
    } refused[] = {
        {"<!DOCTYPE html>\n<html>Not logged in!</html>\n",
         "The file from the site is not a torrent (byte 1: not the start of a bencode value)."},
        {built.substr(0, built.size() - 1),
         "The file from the site is not a torrent (byte 138: the input ends inside a dictionary)."},
        {"", "The file from the site is not a torrent (byte 1: the input ends inside a value)."},
        {"d8:announce3:newe", "The file from the site has no \"info\" dictionary."},
        {"d4:infoli1eee", "The file from the site has no \"info\" dictionary."},
        {"le", "The file from the site has no \"info\" dictionary."},
        {torrent(folderInfo("5:Other")), "The file from the site has another \"name\" than the upload."},
        {torrent(folderInfo("4:Film", "i301e")), "The file from the site has another \"files\" than the upload."},
        {torrent("d5:filesld6:lengthi300e4:pathl3:sub5:y.nfoeee4:name4:Film12:piece lengthi32768e6:pieces20:" +
                 std::string(20, 'P') + "e"),
         "The file from the site has another \"piece length\" than the upload."},
        {torrent(folderInfo("4:Film", "i300e", std::string(19, 'P') + "Q")),
         "The file from the site has another \"pieces\" than the upload."},
        {torrent("d5:filesle4:name4:Film12:piece lengthi65536e6:pieces20:" + std::string(20, 'P') + "e"),
         "The file from the site has another \"files\" than the upload."},
        {torrent("d4:name4:Film12:piece lengthi65536e6:pieces20:" + std::string(20, 'P') + "e"),
         "The file from the site has no \"files\"."},
        {torrent(folderInfo("4:Film", "i300e", std::string(20, 'P'), "7:privatei2e")),
         "The file from the site has an unexpected \"private\" in its \"info\"."},
        {torrent(folderInfo("4:Film", "i300e", std::string(20, 'P'), "6:source3:abc6:zextrai1e")),
         "The file from the site has an unexpected \"zextra\" in its \"info\"."},
        {torrent(folderInfo("4:Film", "i300e", std::string(20, 'P'), "52:x_" + std::string(50, 'k') + "i1e")),
         "The file from the site has an unexpected \"x_" + std::string(38, 'k') + "...\" in its \"info\"."},
    };
    for (const auto& r : refused) {
        std::string reason;
        EXPECT_FALSE(sameContent(built, r.copy, reason)) << r.copy;
        EXPECT_EQ(reason, r.reason) << r.copy;
    }
}

}  // namespace
