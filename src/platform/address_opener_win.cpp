// Built on Windows only.

#include "platform/address_opener_win.h"

#include <windows.h>
#include <shellapi.h>

namespace quillmere::platform {

void WindowsAddressOpener::open(const std::string& address)
{
    // The address is one argument of its own: nothing parses it as a command line.
    ShellExecuteA(static_cast<HWND>(owner_), nullptr, address.c_str(), nullptr, "C:\\", SW_SHOWNORMAL);
}

} // namespace quillmere::platform
