// Built on Windows only.

#include "platform/address_opener_win.h"

#include <iostream>

#include <windows.h>
#include <shellapi.h>

#include "platform/printable.h"
#include "platform/web_address_qt.h"

namespace quillmere::platform {

void WindowsAddressOpener::open(const std::string& address)
{
    // Only a web address is handed over, as one argument of its own: nothing parses it as a
    // command line, and a file path or another scheme never reaches the shell. UTF-16, so that
    // a name with non-ASCII characters opens as it reads.
    const auto url = webAddress(address);
    if (!url) {
        std::cerr << "quillmere: not opened, not a valid address: " << printable(address) << '\n';
        return;
    }
    const std::wstring wide = url->toString().toStdWString();
    const auto result = reinterpret_cast<INT_PTR>(
        ShellExecuteW(static_cast<HWND>(owner_), nullptr, wide.c_str(), nullptr, L"C:\\", SW_SHOWNORMAL));
    if (result <= 32)
        std::cerr << "quillmere: the desktop could not open " << printable(address) << '\n';
}

} // namespace quillmere::platform
