#include "tests/e2e/FormRoad.h"

#include <algorithm>
#include <tuple>

#include "tests/support/FileBytes.h"
#include "upload/res/UploadIds.h"

namespace {

// What a member typed and chose in the main dialog, to see that none of it was lost.
struct FormState {
    std::string m_path;
    std::string m_category;
    std::string m_subcategory;
    std::string m_name;
    std::string m_description;
    std::vector<std::vector<std::string>> m_pictures;

    bool operator==(const FormState& other) const {
        return std::tie(m_path, m_category, m_subcategory, m_name, m_description, m_pictures) ==
               std::tie(other.m_path, other.m_category, other.m_subcategory, other.m_name, other.m_description,
                        other.m_pictures);
    }
};

FormState formState(HWND main) {
    FormState state;
    state.m_path = ui::itemText(main, IDC_PATH);
    state.m_category = ui::itemText(main, IDC_CATEGORY);
    state.m_subcategory = ui::itemText(main, IDC_SUBCATEGORY1);
    state.m_name = ui::itemText(main, IDC_NAME);
    state.m_description = ui::itemText(main, IDC_DESCRIPTION);
    state.m_pictures = ui::listViewRows(GetDlgItem(main, IDC_PICTURES), 3);
    return state;
}

std::vector<bool> enabledInputs(HWND main) {
    std::vector<bool> enabled;
    for (const MainInput& input : kMainInputs)
        enabled.push_back(ui::itemEnabled(main, input.m_id));
    return enabled;
}

std::string joined(const std::vector<std::string>& parts) {
    std::string text;
    for (const std::string& part : parts)
        text += (text.empty() ? "" : ", ") + part;
    return text;
}

// Down in a category list until it shows `target`: the entries it landed on, one per key.
std::vector<std::string> stepDownTo(HWND main, int list, const std::string& target) {
    std::vector<std::string> landings;
    for (int press = 0; press < 12 && ui::itemText(main, list) != target; ++press) {
        const std::string before = ui::itemText(main, list);
        ui::pressKeyIn(ui::comboEdit(main, list), VK_DOWN);
        ui::waitUntil([&] { return ui::itemText(main, list) != before; }, 3000);
        landings.push_back(ui::itemText(main, list));
    }
    return landings;
}

// Upload refused at once with `message`: the site hears nothing, the dialog is idle again and
// the form is as it was (`after`: how the check leaves it, when that differs).
void refusedAtUpload(CSeedwright& person,
                     CReport& report,
                     const std::string& message,
                     const std::string& shot = std::string(),
                     const FormState* after = nullptr) {
    const HWND main = person.mainDialog();
    const FormState before = formState(main);
    const int requests = person.site().requestCount();
    report.step("Upload");
    ui::pressButton(main, IDC_UPLOAD);
    const HWND box = ui::waitForMessageBox(person.process()->id(), kTitle);
    if (!report.check(box != nullptr, "a message"))
        return;
    report.step("Message: " + quoted(ui::messageText(box)));
    report.checkEqual(ui::messageText(box), message, "the message");
    if (!shot.empty())
        report.shot(shot, box);
    ui::pressButton(box, IDOK);
    ui::waitGone(box);
    report.check(ui::waitUntil([&] { return ui::itemVisible(main, IDC_UPLOAD); }), "the dialog idle again");
    report.check(person.site().requestCount() == requests, "the site received no request at all");
    report.check(formState(main) == (after ? *after : before), "every field kept");
}

bool keysKeepTheForm(CSeedwright& person, CReport& report) {
    const HWND main = person.mainDialog();
    report.step("Enter in the name box and the path box, Escape in the description and the category box");
    FormState before = formState(main);
    ui::pressKeyIn(GetDlgItem(main, IDC_NAME), VK_RETURN);
    ui::pressKeyIn(GetDlgItem(main, IDC_DESCRIPTION), VK_ESCAPE);
    ui::pressKeyIn(ui::comboEdit(main, IDC_CATEGORY), VK_ESCAPE);
    ui::pressKeyIn(GetDlgItem(main, IDC_PATH), VK_RETURN);

    // Keys are handled in order: once the category steps, the keys before it have been handled.
    report.step("The category with the keyboard alone: Down in the category box");
    const std::vector<std::string> categories = stepDownTo(main, IDC_CATEGORY, "Games");
    report.info("category, key by key: " + joined(categories));
    report.check(categories == std::vector<std::string>{"Movies", "TV Shows", "Music", "Games"},
                 "Down walks the categories in order");
    before.m_category = "Games";
    report.check(IsWindowVisible(main) && ui::waitForMessageBox(person.process()->id(), kTitle, 300) == nullptr,
                 "the main dialog open, no message");
    report.check(formState(main) == before, "every field as it was");
    report.shot("main-after-keys", main);

    report.step("The 1st subcategory with the keyboard alone: Down until \"Anime\"");
    const std::vector<std::string> subcategories = stepDownTo(main, IDC_SUBCATEGORY1, "Anime");
    report.info("1st subcategory, key by key: " + joined(subcategories));
    return report.check(subcategories == std::vector<std::string>{"Movies", "TV Shows", "Music", "Software", "Books",
                                                                  "Documentaries", "Anime"},
                        "every subcategory but the main category, \"Anime\" reached");
}

bool tooLargeAtAddPicture(CSeedwright& person, CReport& report, const std::string& big) {
    const HWND main = person.mainDialog();
    const DWORD pid = person.process()->id();
    const std::size_t rows = ui::listViewRows(GetDlgItem(main, IDC_PICTURES), 1).size();
    report.step("Add Picture: " + big + ", a file of 8 GiB");
    ui::pressButton(main, IDC_ADD_PICTURE);
    if (!report.check(ui::fillFileOpen(pid, big), "the file-open dialog for a picture"))
        return false;
    const HWND box = ui::waitForMessageBox(pid, kTitle);
    if (!report.check(box != nullptr, "a message"))
        return false;
    report.step("Message: " + quoted(ui::messageText(box)));
    report.checkEqual(ui::messageText(box),
                      "This picture cannot be added:\n\n" + big + ": it is 8 GB; a picture must be smaller than 2 GB",
                      "the message");
    report.shot("picture-too-large", box);
    ui::pressButton(box, IDOK);
    ui::waitGone(box);
    return report.check(ui::listViewRows(GetDlgItem(main, IDC_PICTURES), 1).size() == rows, "no row added");
}

}  // namespace

bool formRoad(CSeedwright& person, CReport& report, const RoadSettings& settings) {
    if (!person.install() || !person.startFromShortcut("Seedwright.lnk") || !person.logIn(false, false, false))
        return false;
    const std::string& data = settings.m_data;
    const std::string gone = data + "\\gone.jpg";
    const std::string emptied = data + "\\emptied.jpg";
    writeFileBytes(gone, readFileBytes(data + "\\c.jpg"));
    writeFileBytes(emptied, readFileBytes(data + "\\b.jpg"));

    report.step("--- The form filled in, the name five blanks and the description ten");
    UploadInputs in;
    in.m_path = data + "\\single.bin";
    in.m_pictures = {data + "\\a.jpg", gone, emptied};
    in.m_name = "     ";
    in.m_description = "          ";
    if (!person.fill(in) || !keysKeepTheForm(person, report) ||
        !tooLargeAtAddPicture(person, report, data + "\\big.bin"))
        return false;
    const HWND main = person.mainDialog();

    report.step("--- Uploads refused before anything is hashed or sent");
    report.step("\"jazz\" typed into the category box");
    ui::setWindowText(ui::comboEdit(main, IDC_CATEGORY), "jazz");
    refusedAtUpload(person, report, "Please select a Category!");

    report.step("\"gAmEs\" typed into the category box");
    ui::setWindowText(ui::comboEdit(main, IDC_CATEGORY), "gAmEs");
    FormState named = formState(main);
    named.m_category = "Games";
    refusedAtUpload(person, report,
                    "Please enter a Descriptive Name for your Torrent ( at least 5 chars ) !\nIt will be Displayed "
                    "when Browsing for Torrents....",
                    "", &named);

    report.step("A name, and still a description of ten blanks");
    ui::setItemText(main, IDC_NAME, "  Keyboard only  ");
    refusedAtUpload(person, report,
                    "Please enter a good Description. ( at least 10 chars ) !\nIt will be Displayed when showing the "
                    "Torrent Details....");

    report.step("A description; " + gone + " deleted and " + emptied + " emptied since they were added");
    const std::string description = "\r\nEntered with the keyboard alone: every subcategory reachable.\r\n";
    ui::setItemText(main, IDC_DESCRIPTION, description);
    DeleteFileA(gone.c_str());
    writeFileBytes(emptied, "");
    refusedAtUpload(
        person, report,
        "These pictures cannot be uploaded:\n\n" + gone + ": there is no such file\n" + emptied + ": it is empty",
        "pictures-refused");

    report.step("--- The pictures back; a large file hashed, closed meanwhile, then cancelled");
    writeFileBytes(gone, readFileBytes(data + "\\c.jpg"));
    writeFileBytes(emptied, readFileBytes(data + "\\b.jpg"));
    const std::vector<bool> idle = enabledInputs(main);
    ui::setItemText(main, IDC_PATH, data + "\\big.bin");
    const int before = person.site().requestCount();
    WhileHashing meanwhile;
    meanwhile.m_close = true;
    meanwhile.m_cancel = true;
    UploadSeen seen = person.upload(meanwhile);
    report.check(seen.m_hashing, "the hashing dialog showed");
    report.check(seen.m_enabledWhileHashing.empty(),
                 "the inputs disabled while busy" +
                     (seen.m_enabledWhileHashing.empty() ? "" : ": not " + joined(seen.m_enabledWhileHashing)));
    report.check(seen.m_closeRefused, "the close box and Alt+F4 refused while busy");
    report.checkEqual(seen.m_message, "", "no message after cancelling");
    report.check(person.site().requestCount() == before, "nothing on the wire");
    report.check(enabledInputs(main) == idle, "the inputs enabled again as they were");

    report.step("--- A picture deleted while the content is hashed: the upload stops at it");
    const std::string first = data + "\\a.jpg";
    const std::string firstBytes = readFileBytes(first);
    ui::setItemText(main, IDC_PATH, data + "\\Demo Film\\film.mkv");
    const int posted = person.site().requestCount();
    WhileHashing removing;
    removing.m_remove = first;
    seen = person.upload(removing);
    const std::string head = "Upload Failed:\n\nPosting the picture a.jpg to ";
    const std::string why = " failed.\n\nCan't open file " + first;
    const std::string tail = "\n\nThe pictures before it were already sent: emptied.jpg, gone.jpg";
    report.check(seen.m_messageCount == 1 && seen.m_message.rfind(head, 0) == 0 &&
                     seen.m_message.find(why) != std::string::npos && seen.m_message.size() > tail.size() &&
                     seen.m_message.compare(seen.m_message.size() - tail.size(), tail.size(), tail) == 0,
                 "one message: the picture that failed and the ones already sent");
    const std::vector<StandinRequest> stopped = person.site().requestsSince(posted);
    report.check(stopped.size() == 2 &&
                     std::all_of(stopped.begin(), stopped.end(),
                                 [](const StandinRequest& r) { return !formFileName(r.m_body, "ulpic").empty(); }),
                 "two picture posts, no torrent form");
    writeFileBytes(first, firstBytes);

    report.step("--- The upload, with the category typed and the subcategory chosen by keyboard");
    ui::setItemText(main, IDC_PATH, data + "\\single.bin");
    const int start = person.site().requestCount();
    seen = person.upload();
    report.checkEqual(seen.m_message, "Upload Complete!", "the upload's last message");
    const std::vector<StandinRequest> sent = person.site().requestsSince(start);
    const StandinRequest* form = torrentFormAmong(sent);
    report.check(std::count_if(sent.begin(), sent.end(),
                               [](const StandinRequest& r) { return !formFileName(r.m_body, "ulpic").empty(); }) == 3,
                 "three picture posts");
    if (report.check(form != nullptr, "the torrent form posted")) {
        report.checkEqual(formField(form->m_body, "type"), "4", "the category typed: Games");
        report.checkEqual(formField(form->m_body, "scat1"), "8", "the 1st subcategory: Anime");
        report.checkEqual(formField(form->m_body, "name"), "  Keyboard only  ", "the name as typed");
        report.checkEqual(formField(form->m_body, "descr"), description, "the description as typed");
    }
    const std::vector<ClientStart> starts = person.awaitClientStarts(1);
    if (report.check(starts.size() == 1, "the client started"))
        person.noteForDataCheck(starts.back());
    return person.closeMain(CloseBy::CloseBox);
}
