#include "app/main_window.h"
#include "base/printable.h"
#include "commands/navigate_address.h"
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
    const auto address = navigateAddress(SelectedProxy);
    if (!address) {
        showInformation("This entry holds a control character and cannot be opened as a web address:\n"
                            + printable(SelectedProxy),
                        "Navigate to proxy web site");
        return;
    }
    OpenAddress(*address);
}

void Main::OpenAddress(const std::string& address)
{
    services_.addressOpener.open(address);
}

} // namespace quillmere
