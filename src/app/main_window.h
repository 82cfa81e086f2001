#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "app/control_id.h"
#include "app/controls.h"
#include "app/list_box.h"
#include "app/settings.h"
#include "base/text_stream.h"
#include "platform/services.h"

namespace quillmere {

namespace lists {
struct ListSource;
}

inline constexpr int kDefaultPointer = 0;
inline constexpr int kHourglassPointer = 11;

inline constexpr std::string_view kLoadingCaption = "Loading Proxy List, Please Wait . . . . . . ";
inline constexpr std::string_view kCompleteCaption = "Loading Complete";
inline constexpr std::string_view kFailedCaption = "Loading Failed";

// The window `Main`: its controls, the four window-level values, the events it delivers and
// the procedures its event handlers run. It knows nothing of any toolkit: the outside world is
// reached through platform::Services, and a WindowView presents it.
//
// Handlers and procedures are defined in the folder of the subsystem they belong to; each group
// below names its file.
class Main {
    // First, so that they exist before the controls that refer to them.
    platform::Services services_;
    Settings settings_;
    ViewLink link_;

public:
    enum class RefreshVariant { ReloadCommand, StartupLoad };

    Main(platform::Services services, Settings settings);
    ~Main();
    Main(const Main&) = delete;
    Main& operator=(const Main&) = delete;

    // The one way events reach the window: user input from the view, ticks from the timers.
    // Events nobody handles, and clicks on a disabled picture, reach no procedure.
    void raise(ControlId control, Event event);
    // The user selected `row` of a list box (mouse or keyboard): records it, then raises Click.
    void selectByUser(ControlId list, std::size_t row);
    void attachView(WindowView* view);

    // Controls.
    Picture Image1, Image2, Image3, Image4, Image5, Image6, Image7;
    Label Label1, Label2, Label3, Label4;
    ListBox List1, List2;
    Timer Timer1, Timer2, Timer3;
    Inet Inet1, Inet2;
    Banner flash1;

    // Window-level values.
    std::string SelectedProxy;
    const platform::TextFiles* FileSystem = nullptr;
    std::shared_ptr<TextStream> ListReader;
    std::optional<std::string> CurrentLine;

    // Window operations (main_window.cpp).
    int mousePointer() const { return mousePointer_; }
    void setMousePointer(int shape);
    void showInformation(const std::string& text, const std::string& title);
    void letWaitingEventsRun();
    void unload();
    bool unloaded() const { return unloaded_; }
    const Settings& settings() const { return settings_; }

    // lists/staged_download.cpp
    void FetchToStagingFile(Inet& inet, const lists::ListSource& source);
    void ReadLinesInto(const lists::ListSource& source, ListBox& list, bool clearFirst);
    void DeleteStagingFiles();
    std::string stagingPath(const lists::ListSource& source) const;
    std::string serverAddress(std::string_view path) const;

    // lists/list_refresh.cpp
    void RefreshProxyLists(RefreshVariant variant);

    // startup/connectivity_probe.cpp, startup/server_notice.cpp
    bool CheckInternetConnection();
    void ReadServerNotice();

    // commands/proxy_actions.cpp
    void OpenAddress(const std::string& address);

private:
    // main_window.cpp
    ListBox* listBox(ControlId id);
    void dispatch(ControlId control, Event event);
    // Thrown by abandonIfUnloaded(), which runs after every wait: the handler that waited stops
    // there, and raise() alone catches it. Not a std::exception, so that no handler takes it for
    // a failure.
    struct Unloaded {};
    void abandonIfUnloaded() const;

    // Event handlers, each in the file of the subsystem that handles it.
    // startup/startup_sequence.cpp
    void Main_Load();
    void Timer2_Tick();
    // lists/list_refresh.cpp
    void Image3_Click();
    void Timer1_Tick();
    void completeRefresh();
    void failRefresh(const std::string& reason);
    // lists/status_indicator.cpp
    void Timer3_Tick();
    // commands/proxy_actions.cpp
    void List1_Click();
    void List2_Click();
    void Image5_Click();
    void Image7_Click();
    // commands/site_links.cpp
    void Image4_Click();
    void Image6_Click();
    void Label4_Click();

    int mousePointer_ = kDefaultPointer;
    bool unloaded_ = false;
    bool refreshing_ = false;
};

} // namespace quillmere
