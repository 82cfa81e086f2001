#include "app/main_window.h"

namespace quillmere {

void Main::Main_Load()
{
    Label2.setCaption(std::string(kLoadingCaption));
}

// The one-shot start-up check, about 100 ms after the window was created. Unloading the
// window during one of its waits ends it there (see Main::unload).
void Main::Timer2_Tick()
{
    Timer2.setInterval(0);
    if (!CheckInternetConnection())
        showInformation("No connection available please, Check your internet connection", "Connection Error");
    letWaitingEventsRun();
    ReadServerNotice();
}

} // namespace quillmere
