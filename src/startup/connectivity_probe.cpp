#include <cstdint>

#include "app/main_window.h"
#include "platform/connectivity.h"

namespace quillmere {

bool Main::CheckInternetConnection()
{
    const std::uint32_t flags = services_.connectivity.connectedState();
    return flags == 1;
}

} // namespace quillmere
