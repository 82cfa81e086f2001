#include "app/main_window.h"
#include "platform/address_opener.h"
#include "platform/clipboard.h"

namespace quillmere {

void Main::List1_Click()
{
    SelectedProxy = List1.text();
}

void Main::List2_Click()
{
    SelectedProxy = List2.text();
}

void Main::Image7_Click()
{
    services_.clipboard.setText(SelectedProxy);
}

void Main::Image5_Click()
{
    if (SelectedProxy.empty()) {
        showInformation("Please Select a Proxy from the list", "Select Proxy");
        return;
    }
    OpenAddress("http://www." + SelectedProxy);
}

void Main::OpenAddress(const std::string& address)
{
    services_.addressOpener.open(address);
}

} // namespace quillmere
