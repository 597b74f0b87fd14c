#include "site/UpdateOffer.h"

#include <shellapi.h>

#include "site/GenreList.h"
#include "win/MessageBox.h"

void offerUpdate(HWND owner, int32_t announcedBuild, const std::string& address, int32_t ownBuild) {
    if (!updateOffered(announcedBuild, ownBuild))
        return;
    if (appMessageBox(updateOfferText(announcedBuild, ownBuild), MB_YESNO) != IDYES)
        return;
    if (isWebAddress(address))
        ShellExecuteA(owner, "open", address.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}
