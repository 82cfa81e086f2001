#include "app/main_window.h"

namespace quillmere {

// The blink: each tick toggles the status label, and a tick that arrives after the blink was
// stopped leaves it shown.
void Main::Timer3_Tick()
{
    Label2.setVisible(!Label2.visible());
    if (Timer3.interval() == 0)
        Label2.setVisible(true);
}

} // namespace quillmere
