#include "app/main_window.h"

#include <exception>
#include <iostream>

#include "base/printable.h"
#include "platform/event_loop.h"
#include "platform/messages.h"
#include "platform/transfer.h"

namespace quillmere {

namespace {
std::string homeAddress(const Settings& settings)
{
    return "http://www." + settings.hosts.productHost;
}
} // namespace

Main::Main(platform::Services services, Settings settings)
    : services_(services),
      settings_(std::move(settings)),
      Image1(ControlId::Image1, {-72, 0, 624, 57}, link_),
      Image2(ControlId::Image2, {64, 104, 93, 24}, link_),
      Image3(ControlId::Image3, {199, 472, 55, 51}, link_, "reload proxy list"),
      Image4(ControlId::Image4, {135, 480, 43, 41}, link_, "Add your proxy site to list"),
      Image5(ControlId::Image5, {344, 472, 49, 44}, link_, "Navigate to proxy web site"),
      Image6(ControlId::Image6, {64, 472, 50, 50}, link_, "Exit Quillmere"),
      Image7(ControlId::Image7, {275, 472, 48, 42}, link_, "Copy Proxy Name"),
      Label1(ControlId::Label1, {36, 80, 145, 20}, link_, "Top 20  Proxy List", Label::Sizing::FitsText),
      Label2(ControlId::Label2, {104, 64, 216, 21}, link_, "Label2", Label::Sizing::Fixed),
      Label3(ControlId::Label3, {280, 80, 129, 20}, link_, "Other Proxy List", Label::Sizing::FitsText),
      Label4(ControlId::Label4, {144, 592, 163, 16}, link_, homeAddress(settings_), Label::Sizing::FitsText),
      List1(ControlId::List1, {8, 120, 193, 354}, link_),
      List2(ControlId::List2, {248, 120, 193, 353}, link_),
      Timer1(ControlId::Timer1, 0, services.eventLoop, [this] { raise(ControlId::Timer1, Event::Tick); }),
      Timer2(ControlId::Timer2, 100, services.eventLoop, [this] { raise(ControlId::Timer2, Event::Tick); }),
      Timer3(ControlId::Timer3, 300, services.eventLoop, [this] { raise(ControlId::Timer3, Event::Tick); }),
      Inet1(ControlId::Inet1, services.inet1),
      Inet2(ControlId::Inet2, services.inet2),
      flash1(ControlId::flash1, {0, 520, 449, 65}, link_, services.banner)
{
}

Main::~Main() = default;

void Main::attachView(WindowView* view)
{
    link_.view = view;
}

void Main::raise(ControlId control, Event event)
{
    if (unloaded_)
        return;
    try {
        dispatch(control, event);
    } catch (const Unloaded&) {
        // A handler stopped by unloading has nothing left to do or say.
    } catch (const std::exception& error) {
        // The handlers deal with the failures they expect; anything else must not take the
        // window down with it.
        std::cerr << "quillmere: " << printable(error.what()) << '\n';
    }
}

void Main::dispatch(ControlId control, Event event)
{
    switch (event) {
    case Event::Load:
        if (control == ControlId::Main)
            Main_Load();
        return;
    case Event::Tick:
        switch (control) {
        case ControlId::Timer1: return Timer1_Tick();
        case ControlId::Timer2: return Timer2_Tick();
        case ControlId::Timer3: return Timer3_Tick();
        default: return;
        }
    case Event::Click:
        switch (control) {
        case ControlId::Image3:
            if (Image3.enabled())
                Image3_Click();
            return;
        case ControlId::Image4: return Image4_Click();
        case ControlId::Image5: return Image5_Click();
        case ControlId::Image6: return Image6_Click();
        case ControlId::Image7: return Image7_Click();
        case ControlId::Label4: return Label4_Click();
        case ControlId::List1: return List1_Click();
        case ControlId::List2: return List2_Click();
        default: return;
        }
    }
}

ListBox* Main::listBox(ControlId id)
{
    switch (id) {
    case ControlId::List1: return &List1;
    case ControlId::List2: return &List2;
    default: return nullptr;
    }
}

void Main::selectByUser(ControlId list, std::size_t row)
{
    if (ListBox* box = listBox(list)) {
        box->setSelectedRow(row);
        raise(list, Event::Click);
    }
}

void Main::setMousePointer(int shape)
{
    if (mousePointer_ == shape)
        return;
    mousePointer_ = shape;
    if (link_.view)
        link_.view->controlChanged(ControlId::Main);
}

void Main::showInformation(const std::string& text, const std::string& title)
{
    abandonIfUnloaded();
    services_.messages.showInformation(text, title);
    abandonIfUnloaded();
}

void Main::letWaitingEventsRun()
{
    services_.eventLoop.processPendingEvents();
    abandonIfUnloaded();
}

// Unloading can happen inside any wait of a running handler (the user clicks Exit while a
// list downloads, or closes the window while a message is open). The waits end at once, and
// the handler stops at its next step instead of working on for a window that is gone.
void Main::unload()
{
    if (unloaded_)
        return;
    unloaded_ = true;
    Timer1.setInterval(0);
    Timer2.setInterval(0);
    Timer3.setInterval(0);
    services_.inet1.abort();
    services_.inet2.abort();
    services_.messages.dismissAll();
    if (link_.view)
        link_.view->unloaded();
}

void Main::abandonIfUnloaded() const
{
    if (unloaded_)
        throw Unloaded{};
}

} // namespace quillmere
