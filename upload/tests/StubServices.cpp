// The dialog tests always name their services.
#include "upload/KestrelDlg.h"

std::unique_ptr<upload::UploadServices> makeUploadServices(CKestrelDlg&) {
    return nullptr;
}
