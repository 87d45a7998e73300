// Text at the Win32 boundary: the front end keeps UTF-8 inside and speaks UTF-16 to Windows, so
// Japanese texts and paths survive any system code page.
#pragma once

#include <string>
#include <string_view>

namespace varenko {

std::wstring Widen(std::string_view utf8);
std::string Narrow(std::wstring_view utf16);

}  // namespace varenko
