#pragma once

#include <map>
#include <string>
#include <vector>

#include "app/main_window.h"
#include "fakes/fake_services.h"
#include "fakes/simulated_loop.h"
#include "platform/lcg_random_source.h"

namespace quillmere::testing {

// The real window model wired to fakes: a simulated clock, an in-memory list server and file
// system, and recorders for everything the window hands to the desktop.
struct ModelOnFakes {
    explicit ModelOnFakes(std::map<std::string, FakeResponse> listServer = {});

    SimulatedLoop loop;
    Journal journal;
    std::map<std::string, FakeResponse> server;
    FakeTransfer inet1{"inet1", server, loop, journal};
    FakeTransfer inet2{"inet2", server, loop, journal};
    FakeFiles files{journal};
    platform::LcgRandomSource random;
    FakeConnectivity connectivity;
    FakeAddressOpener opener{journal};
    FakeClipboard clipboard;
    FakeMessages messages{loop, journal};
    FakeBanner banner{journal};
    Main main;

    void click(ControlId id) { main.raise(id, Event::Click); }
    // The entries of a list from the top, as shown.
    static std::vector<std::string> entries(const ListBox& list);
    static std::string stagingPath(const std::string& name) { return "/staging/" + name; }
    // The journal lines that contain `word`, in order.
    std::vector<std::string> journalOf(const std::string& word) const;
};

// A list file: the lines joined with line feeds, each terminated.
std::string listFile(const std::vector<std::string>& lines);

} // namespace quillmere::testing
