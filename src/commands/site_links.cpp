#include "app/main_window.h"

namespace quillmere {

void Main::Image4_Click()
{
    OpenAddress("http://" + settings().hosts.submitHost);
}

void Main::Label4_Click()
{
    OpenAddress(Label4.caption());
}

void Main::Image6_Click()
{
    unload();
}

} // namespace quillmere
