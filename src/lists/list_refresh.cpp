#include <iostream>

#include "app/main_window.h"
#include "base/printable.h"
#include "lists/list_choice.h"
#include "lists/list_sources.h"
#include "platform/failure.h"
#include "platform/random_source.h"

namespace quillmere {

namespace {

template <typename Step>
void ignoringFailure(Step step)
{
    try {
        step();
    } catch (const platform::Failure&) {
    }
}

class Flag {
public:
    explicit Flag(bool& flag) : flag_(flag) { flag_ = true; }
    ~Flag() { flag_ = false; }
    Flag(const Flag&) = delete;
    Flag& operator=(const Flag&) = delete;

private:
    bool& flag_;
};

} // namespace

void Main::Image3_Click()
{
    RefreshProxyLists(RefreshVariant::ReloadCommand);
}

void Main::Timer1_Tick()
{
    RefreshProxyLists(RefreshVariant::StartupLoad);
}

void Main::RefreshProxyLists(RefreshVariant variant)
{
    // The refresh waits for transfers, and events run meanwhile. Another refresh started there
    // would share the staging files and the reader, so it does not start: a reload is dropped,
    // and the start-up load stays armed and runs once the reload has finished.
    if (refreshing_)
        return;
    const Flag refreshing(refreshing_);
    const bool reload = variant == RefreshVariant::ReloadCommand;

    try {
        if (reload) {
            Label2.setCaption(std::string(kLoadingCaption));
            Label2.setToolTip({});
            Timer3.setInterval(300);
            Image3.setEnabled(false);
            setMousePointer(kHourglassPointer);
        } else {
            Timer1.setInterval(0);
            flash1.LoadMovie(0, serverAddress(lists::kBannerPath));
            flash1.Play();
        }
        const std::int16_t ListChoice = lists::drawListChoice(services_.random.next());
        letWaitingEventsRun();

        FetchToStagingFile(Inet1, lists::kTop20);
        ReadLinesInto(lists::kTop20, List1, true);
        FetchToStagingFile(Inet1, lists::kTop30);
        if (reload)
            List2.clear();
        const lists::ListSource& other = lists::kOtherLists.at(static_cast<std::size_t>(ListChoice - 1));
        FetchToStagingFile(Inet1, other);
        ReadLinesInto(other, List2, false);
        ReadLinesInto(lists::kTop30, List2, false);
        if (reload) {
            setMousePointer(kDefaultPointer);
            Image3.setEnabled(true);
        }
    } catch (const platform::Failure& failure) {
        failRefresh(failure.what());
        return;
    }
    completeRefresh();
}

void Main::completeRefresh()
{
    ignoringFailure([this] { DeleteStagingFiles(); });
    ignoringFailure([this] { Timer3.setInterval(0); });
    ignoringFailure([this] { Label2.setVisible(true); });
    ignoringFailure([this] { Label2.setCaption(std::string(kCompleteCaption)); });
    ignoringFailure([this] { Label2.setToolTip({}); }); // an earlier failure's reason is out of date
}

// A failed refresh goes back to idle and says why, keeping whatever the lists hold.
void Main::failRefresh(const std::string& reason)
{
    setMousePointer(kDefaultPointer);
    Image3.setEnabled(true);
    Timer3.setInterval(0);
    Label2.setVisible(true);
    Label2.setCaption(std::string(kFailedCaption));
    Label2.setToolTip(reason);
    std::cerr << "quillmere: loading failed: " << printable(reason) << '\n';
}

} // namespace quillmere
