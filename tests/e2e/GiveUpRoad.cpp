#include "tests/e2e/GiveUpRoad.h"

#include <cstdio>
#include <cstdlib>

#include "site/res/SiteIds.h"
#include "tests/e2e/Roads.h"
#include "tests/support/FileBytes.h"
#include "upload/res/UploadIds.h"

namespace {

// Every wait for the site short enough for a road: 5 seconds a step, 20 for a whole request.
const char* const kTimeout = "SEEDWRIGHT_TIMEOUT=5";
const char* const kWholeRequest = "20 seconds";
const char* const kDescription = "Content of the give-up road, made for it alone.";

double secondsSince(ULONGLONG start) {
    return double(GetTickCount64() - start) / 1000;
}

std::string seconds(double value) {
    char text[32];
    std::snprintf(text, sizeof text, "%.1f s", value);
    return text;
}

// A small file of its own for each upload: the site refuses a torrent it already has.
UploadInputs fileUpload(const RoadSettings& settings, const std::string& name, char seed) {
    UploadInputs in;
    in.m_path = settings.m_data + "\\" + name + ".bin";
    writeFileBytes(in.m_path, std::string(200000, seed) + name);
    in.m_category = "Music";
    in.m_pictures = {settings.m_data + "\\a.jpg"};
    in.m_name = "Give-up road: " + name;
    in.m_description = kDescription;
    return in;
}

bool closeLoginWhileConnecting(CSeedwright& person, CReport& report) {
    report.step("--- The login closed while it connects to a site that never finishes its handshake");
    person.site().setScenario(R"({"fault": {"accept": "stall"}})");
    ui::WindowQuery query;
    query.processId = person.process()->id();
    query.withItem = IDC_PASSWORD;
    const HWND login = ui::waitForWindow(query);
    if (!login)
        return report.fail("no login dialog");
    ui::selectComboEntry(login, IDC_SITE, "Velmar Tracker");
    ui::setItemText(login, IDC_LOGIN, person.settings().m_user);
    ui::setItemText(login, IDC_PASSWORD, person.settings().m_password);
    ui::pressButton(login, IDOK);
    const bool connecting =
        ui::waitUntil([&] { return ui::itemText(login, IDC_LOGIN_STATUS) == "Connecting..."; }, 10000);
    report.shot("login-connecting", login);
    if (!report.check(connecting, "\"Connecting...\" in the status line"))
        return false;
    Sleep(500);
    report.step("The login's close box");
    const ULONGLONG start = GetTickCount64();
    PostMessageA(login, WM_SYSCOMMAND, SC_CLOSE, 0);
    const bool ended = person.sessionEnded(5000);
    report.info("the program ended after " + seconds(secondsSince(start)));
    person.site().setScenario("{}");
    return report.check(ended && secondsSince(start) < 2.0, "the program ended within 2 seconds");
}

bool dripThenCleanUpload(CSeedwright& person, CReport& report, const RoadSettings& settings) {
    report.step("--- The site drips its copy of the torrent; then a clean upload in the same session");
    person.site().setScenario(R"({"fault": {"/download.php/": "drip"}})");
    if (!person.fill(fileUpload(settings, "dripped", 'd')))
        return false;
    const ULONGLONG start = GetTickCount64();
    UploadSeen seen = person.upload();
    report.info("the upload ended after " + seconds(secondsSince(start)));
    const char* site = std::getenv("SEEDWRIGHT_SITE");
    const std::string failed = "Failed to download https://" + std::string(site ? site : "") + "/download.php/";
    report.check(seen.m_message.rfind(failed, 0) == 0 &&
                     seen.m_message.find(std::string("\n\nThe site did not finish its answer within ") + kWholeRequest +
                                         ".") != std::string::npos,
                 "the download given up at the limit it names");
    report.check(secondsSince(start) < 40, "within the limit and the hashing");
    report.check(person.awaitClientStarts(0).empty(), "the client not started");
    person.site().setScenario("{}");

    UploadInputs clean = fileUpload(settings, "clean", 'c');
    clean.m_pictures.clear();  // the picture list keeps its row
    if (!person.fill(clean))
        return false;
    seen = person.upload();
    report.checkEqual(seen.m_message, "Upload Complete!", "the clean upload's last message");
    report.checkEqual(std::to_string(seen.m_messageCount), "1", "one message");
    checkClientStart(person, report, 1, settings.m_data + "\\");
    report.check(ui::waitForMessageBox(person.process()->id(), kTitle, 3000) == nullptr,
                 "no late message from the given-up download");
    return true;
}

// Presses Upload and waits until the site holds the picture post it stalls on; `recorded`: the
// requests the site has recorded then.
bool uploadUntilThePictureStalls(CSeedwright& person, CReport& report, int& recorded) {
    const HWND main = person.mainDialog();
    const int before = person.site().requestCount();
    ui::pressButton(main, IDC_UPLOAD);
    const bool posting = ui::waitUntil(
        [&] {
            return ui::itemText(main, IDC_STATUS).rfind("Uploading Picture: ", 0) == 0 &&
                   person.site().requestCount() > before;
        },
        60000);
    recorded = person.site().requestCount();
    report.info("status line: " + quoted(ui::itemText(main, IDC_STATUS)));
    return report.check(posting && ui::itemVisible(main, IDC_CANCEL_UPLOAD), "Cancel shown while the picture posts");
}

bool cancelAStalledPost(CSeedwright& person, CReport& report, const RoadSettings& settings) {
    report.step("--- Cancel while a picture post stalls");
    person.site().setScenario(R"({"fault": {"/doupload.php": "stall"}})");
    UploadInputs in = fileUpload(settings, "cancelled", 'x');
    in.m_pictures.clear();
    int before = 0;
    if (!person.fill(in) || !uploadUntilThePictureStalls(person, report, before))
        return false;
    const HWND main = person.mainDialog();
    report.shot("cancel-while-posting", main);
    report.step("Cancel");
    const ULONGLONG start = GetTickCount64();
    ui::pressButton(main, IDC_CANCEL_UPLOAD);
    const bool idle =
        ui::waitUntil([&] { return ui::itemVisible(main, IDC_UPLOAD) && !ui::itemVisible(main, IDC_STATUS); }, 5000);
    report.info("idle again after " + seconds(secondsSince(start)));
    report.check(idle && secondsSince(start) < 1.0, "idle again within a second");
    report.check(ui::waitForMessageBox(person.process()->id(), kTitle, 1000) == nullptr, "no message");
    report.checkEqual(ui::itemText(main, IDC_NAME), in.m_name, "the name kept");
    report.checkEqual(ui::itemText(main, IDC_PATH), in.m_path, "the path kept");
    report.check(!ui::itemVisible(main, IDC_CANCEL_UPLOAD), "Cancel gone");
    Sleep(1000);
    report.check(person.site().requestCount() == before, "nothing more at the site");
    return true;
}

bool closeWhileAPostStalls(CSeedwright& person, CReport& report) {
    report.step("--- Closing while a picture post stalls: asked first, then the upload is cancelled");
    int recorded = 0;
    if (!uploadUntilThePictureStalls(person, report, recorded))
        return false;
    const DWORD pid = person.process()->id();
    PostMessageA(person.mainDialog(), WM_SYSCOMMAND, SC_CLOSE, 0);
    const HWND question = ui::waitForMessageBox(pid, kTitle, 5000);
    if (!question)
        return report.fail("no question before closing");
    report.shot("close-while-posting", question);
    report.checkEqual(ui::messageText(question), "An upload is still running. Cancel it and quit Seedwright?",
                      "the question");
    report.step("Question answered Yes");
    const ULONGLONG start = GetTickCount64();
    ui::pressButton(question, IDYES);
    const bool ended = person.sessionEnded(5000);
    report.info("the program ended after " + seconds(secondsSince(start)));
    person.site().setScenario("{}");
    return report.check(ended && secondsSince(start) < 2.0, "the program ended within 2 seconds");
}

}  // namespace

bool giveUpRoad(CSeedwright& person, CReport& report, const RoadSettings& settings) {
    _putenv(kTimeout);  // the programs started from here inherit it
    if (!person.install() || !person.startFromShortcut("Seedwright.lnk") || !closeLoginWhileConnecting(person, report))
        return false;
    if (!person.startFromShortcut("Seedwright.lnk") || !person.logIn(false, false, false))
        return false;
    return dripThenCleanUpload(person, report, settings) && cancelAStalledPost(person, report, settings) &&
           closeWhileAPostStalls(person, report);
}
