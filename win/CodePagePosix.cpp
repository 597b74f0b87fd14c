// Natively narrow text is UTF-8 already: there is nothing to convert.
#include "win/CodePage.h"

namespace win::codepage {

unsigned activeCodePage() {
    return kUtf8CodePage;
}

std::string codePageToUtf8(const std::string& text, unsigned /*codePage*/) {
    return text;
}

}  // namespace win::codepage

std::string toUtf8(const std::string& text) {
    return text;
}
