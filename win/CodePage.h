#pragma once
// Narrow text and UTF-8. On Windows every narrow string of the program is in the process's ANSI
// code page: the system's single-byte code page, or UTF-8 (65001) where the manifest's active
// code page is honoured (Windows 10 1903 and later). Natively narrow text is UTF-8 already and
// there is no code page: every conversion here is the identity.
//
// Declared for every build; the Windows half lives in CodePageWin32.cpp.

#include <string>

namespace win::codepage {

inline constexpr unsigned kUtf8CodePage = 65001;

// The process's ANSI code page (GetACP); 65001 natively.
unsigned activeCodePage();

// `text` read in code page `codePage`, as UTF-8. ASCII stays byte-identical and the result is
// always valid UTF-8 (under 65001 what is not UTF-8 becomes U+FFFD).
std::string codePageToUtf8(const std::string& text, unsigned codePage);

}  // namespace win::codepage

// Text of this process, in its active code page, as UTF-8: what leaves the program (form values,
// file names on the wire, names in a torrent) goes through here.
std::string toUtf8(const std::string& text);

#ifdef _WIN32
namespace win::codepage {

// A buffer the system fills with a path: 260 characters (MAX_PATH) of the code page, which under
// UTF-8 take up to four bytes each.
inline constexpr unsigned long kPathBytes = 4 * 260;

// Between the active code page and the UTF-16 of the W functions.
std::wstring widen(const std::string& narrow);
// False when the active code page cannot hold `wide` (a '?' or a look-alike would stand in).
[[nodiscard]] bool narrow(const std::wstring& wide, std::string& out);

}  // namespace win::codepage
#endif
