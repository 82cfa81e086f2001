// Built on Windows only, where the system answers the question itself.

#include <windows.h>
#include <wininet.h>

#include "platform/connectivity_win.h"

namespace quillmere::platform {

std::uint32_t WindowsConnectivity::connectedState()
{
    char connectionName[255] = {};
    DWORD flags = 0;
    flags = static_cast<DWORD>(InternetGetConnectedStateExA(&flags, connectionName, 254, 0));
    return flags;
}

} // namespace quillmere::platform
