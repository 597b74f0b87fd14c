#include "tests/e2e/PictureRoad.h"

#include <windows.h>

#include "tests/support/FileBytes.h"
#include "upload/res/UploadIds.h"

namespace {

bool startsAndEnds(const std::string& text, const std::string& head, const std::string& tail) {
    return text.size() >= head.size() + tail.size() && text.compare(0, head.size(), head) == 0 &&
           text.compare(text.size() - tail.size(), tail.size(), tail) == 0;
}

// The picture posts among the requests, by the name each file went under.
std::vector<std::string> picturesPosted(const std::vector<StandinRequest>& requests) {
    std::vector<std::string> names;
    for (const StandinRequest& request : requests) {
        const std::string name = formFileName(request.m_body, "ulpic");
        if (!name.empty())
            names.push_back(name);
    }
    return names;
}

std::string listed(const std::vector<std::string>& names) {
    std::string text;
    for (const std::string& name : names)
        text += (text.empty() ? "" : ", ") + name;
    return text;
}

}  // namespace

bool picturesRoad(CSeedwright& person, CReport& report, const RoadSettings& settings) {
    if (!person.install() || !person.startFromShortcut("Seedwright.lnk") || !person.logIn(false, false, false))
        return false;
    const std::string folder = settings.m_data + "\\pictures";
    CreateDirectoryA(folder.c_str(), nullptr);
    const std::string one = folder + "\\one.jpg", bad = folder + "\\bad.jpg", three = folder + "\\three.jpg";
    writeFileBytes(one, readFileBytes(settings.m_data + "\\a.jpg"));
    writeFileBytes(three, readFileBytes(settings.m_data + "\\c.jpg"));
    // It starts as a JPEG does, which is all the program looks at; the site reads on.
    writeFileBytes(bad, "\xff\xd8\xff and then no picture at all");
    std::string content;
    for (int i = 0; i < 50000; ++i)
        content += char('p' + i * 7 + i / 509);
    writeFileBytes(folder + "\\road.bin", content);
    writeFileBytes(folder + "\\stalled.bin", content.substr(1000));

    report.step("--- A picture the site refuses: the upload stops at it");
    UploadInputs in;
    in.m_path = folder + "\\road.bin";
    in.m_category = "Movies";
    in.m_pictures = {bad, one};  // posted newest first: one.jpg, then bad.jpg
    in.m_name = "Pictures once";
    in.m_description = "Every picture on the site once, whatever the site did.";
    if (!person.fill(in))
        return false;
    int before = person.site().requestCount();
    UploadSeen seen = person.upload();
    report.check(seen.m_messageCount == 1 &&
                     startsAndEnds(seen.m_message, "Upload Failed:\n\nPosting the picture bad.jpg to ",
                                   " failed.\n\nInvalid image! Only JPEG, PNG and GIF pictures are allowed.\n\n"
                                   "The pictures before it were already sent: one.jpg"),
                 "one message: the picture, the site's reason and the picture already sent");
    std::vector<StandinRequest> sent = person.site().requestsSince(before);
    report.checkEqual(listed(picturesPosted(sent)), "one.jpg, bad.jpg", "the pictures posted");
    report.check(sent.size() == 2, "nothing on the wire after the refused picture");

    report.step("--- The picture mended; the site fails the torrent form with 500");
    writeFileBytes(bad, readFileBytes(settings.m_data + "\\b.jpg"));
    person.site().setScenario("{\"status\": {\"/doupload.php#torrent\": 500}}");
    before = person.site().requestCount();
    seen = person.upload();
    person.site().setScenario("{}");
    report.check(startsAndEnds(seen.m_message, "Upload Failed:\n\nPosting the torrent form to ",
                               " failed.\n\nThe site answered 500.\n\nThe site keeps the pictures one.jpg, bad.jpg for "
                               "the next torrent: uploading this content again reuses them.\n\nReused the pictures "
                               "already on the site: one.jpg"),
                 "the torrent form not posted, the pictures kept");
    sent = person.site().requestsSince(before);
    report.checkEqual(listed(picturesPosted(sent)), "bad.jpg", "only the picture the site did not hold");

    report.step("--- Upload again");
    before = person.site().requestCount();
    seen = person.upload();
    report.checkEqual(seen.m_message, "Upload Complete!\n\nReused the pictures already on the site: one.jpg, bad.jpg",
                      "the upload's last message");
    sent = person.site().requestsSince(before);
    report.check(picturesPosted(sent).empty() && torrentFormAmong(sent) != nullptr, "only the torrent form posted");
    const std::vector<ClientStart> starts = person.awaitClientStarts(1);
    if (report.check(starts.size() == 1, "the client started"))
        person.noteForDataCheck(starts.back());

    report.step("--- Other content; the site never answers its torrent form");
    if (!person.typePath(false, folder + "\\stalled.bin"))
        return false;
    ui::setItemText(person.mainDialog(), IDC_NAME, "Pictures, no answer");
    person.site().setScenario("{\"fault\": {\"/doupload.php#torrent\": \"stall\"}}");
    seen = person.upload();
    person.site().setScenario("{}");
    report.check(startsAndEnds(seen.m_message, "Upload Failed:\n\nPosting the torrent form to ",
                               "The site did not answer; the torrent may or may not have been posted. Look at the "
                               "site before uploading again.\n\nThe pictures one.jpg, bad.jpg are on the site: "
                               "uploading this content again does not post them again."),
                 "the honest message: the torrent may or may not have been posted");

    report.step("Quit the main dialog with the pictures waiting on the site");
    ui::pressButton(person.mainDialog(), IDCANCEL);
    const HWND box = ui::waitForMessageBox(person.process()->id(), kTitle);
    if (report.check(box != nullptr, "a message")) {
        const std::string text = ui::messageText(box);
        report.step("Message: " + quoted(text));
        report.checkEqual(text,
                          "These pictures wait on the site for the next torrent: one.jpg, bad.jpg\n\nThe site offers "
                          "no way to withdraw them: they will be attached to the next torrent uploaded, unless the "
                          "torrent form that got no answer reached the site and took them.",
                          "the word about the pictures that wait");
        report.shot("pictures-waiting", box);
        ui::pressButton(box, IDOK);
    }
    return report.check(person.sessionEnded(), "the program ended");
}
