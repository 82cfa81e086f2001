// Built on Windows only.

#include "platform/address_opener_win.h"

#include <iostream>

#include <windows.h>
#include <shellapi.h>

#include "base/printable.h"
#include "base/web_address.h"

namespace quillmere::platform {

std::wstring wideFromUtf8(const std::string& text)
{
    if (text.empty())
        return {};
    const int length = MultiByteToWideChar(CP_UTF8, 0, text.data(), int(text.size()), nullptr, 0);
    std::wstring wide(std::size_t(length), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, text.data(), int(text.size()), wide.data(), length);
    return wide;
}

void WindowsAddressOpener::open(const std::string& address)
{
    // Only a web address is handed over, as one argument of its own: nothing parses it as a
    // command line, and a file path or another scheme never reaches the shell. UTF-16, so that
    // a name with non-ASCII characters opens as it reads.
    if (!isBrowserAddress(address)) {
        std::cerr << "quillmere: not opened, not a valid address: " << printable(address) << '\n';
        return;
    }
    const auto result = reinterpret_cast<INT_PTR>(ShellExecuteW(
        static_cast<HWND>(owner_), nullptr, wideFromUtf8(address).c_str(), nullptr, L"C:\\", SW_SHOWNORMAL));
    if (result <= 32)
        std::cerr << "quillmere: the desktop could not open " << printable(address) << '\n';
}

} // namespace quillmere::platform
