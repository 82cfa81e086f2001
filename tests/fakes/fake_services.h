#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "fakes/simulated_loop.h"
#include "platform/address_opener.h"
#include "platform/banner_player.h"
#include "platform/clipboard.h"
#include "platform/connectivity.h"
#include "platform/file_remover.h"
#include "platform/file_writer.h"
#include "platform/messages.h"
#include "platform/text_files.h"
#include "platform/transfer.h"

namespace quillmere::testing {

// Every call any fake receives, in order: "inet1 fetch /prx/top20.bin", "write top20.bin",
// "message Connection Error", ... File paths are shown by file name.
using Journal = std::vector<std::string>;

// What the list server answers for each path. A missing path is a 404.
struct FakeResponse {
    FakeResponse(std::string body = {}, std::int64_t takesMs = 0, std::optional<std::string> failure = {})
        : body(std::move(body)), takesMs(takesMs), failure(std::move(failure))
    {
    }
    std::string body;
    std::int64_t takesMs;               // simulated time the transfer waits, events running
    std::optional<std::string> failure; // a failed transfer: thrown after the wait
};

class FakeTransfer : public platform::Transfer {
public:
    FakeTransfer(std::string name, std::map<std::string, FakeResponse>& server, SimulatedLoop& loop, Journal& journal)
        : name_(std::move(name)), server_(server), loop_(loop), journal_(journal)
    {
    }
    Bytes fetch(const std::string& address) override;
    // The answer arrives after the response's simulated time; a missing path at once.
    std::unique_ptr<Pending> fetchInBackground(const std::string& address, std::function<void(Result)> done) override;
    void abort() override { aborted_ = true; }

private:
    bool aborted_ = false;
    std::string name_;
    std::map<std::string, FakeResponse>& server_;
    SimulatedLoop& loop_;
    Journal& journal_;
};

// An in-memory file system for the staging files.
class FakeFiles : public platform::FileWriter, public platform::TextFiles, public platform::FileRemover {
public:
    explicit FakeFiles(Journal& journal) : journal_(journal) {}
    void writeWhole(const std::string& path, std::string_view bytes) override;
    Bytes readWhole(const std::string& path) const override;
    void remove(const std::string& path) override;

    std::map<std::string, std::string> files;
    std::set<std::string> unwritable; // paths whose writes fail

private:
    Journal& journal_;
};

class FakeConnectivity : public platform::Connectivity {
public:
    std::uint32_t connectedState() override { return state; }
    std::uint32_t state = 1;
};

class FakeAddressOpener : public platform::AddressOpener {
public:
    explicit FakeAddressOpener(Journal& journal) : journal_(journal) {}
    void open(const std::string& address) override;
    std::vector<std::string> opened;

private:
    Journal& journal_;
};

class FakeClipboard : public platform::Clipboard {
public:
    void setText(const std::string& text) override { history.push_back(text); }
    std::vector<std::string> history;
};

// A modal message stays open for `openForMs` of simulated time (events run meanwhile) before
// the simulated user dismisses it.
class FakeMessages : public platform::Messages {
public:
    FakeMessages(SimulatedLoop& loop, Journal& journal) : loop_(loop), journal_(journal) {}
    void showInformation(const std::string& text, const std::string& title) override;
    void dismissAll() override { dismissed_ = true; }

    struct Shown {
        std::string text;
        std::string title;
        std::int64_t at;
    };
    std::vector<Shown> shown;
    std::int64_t openForMs = 0;

private:
    bool dismissed_ = false;
    SimulatedLoop& loop_;
    Journal& journal_;
};

class FakeBanner : public platform::BannerPlayer {
public:
    explicit FakeBanner(Journal& journal) : journal_(journal) {}
    void loadMovie(int layer, const std::string& address) override;
    void play() override;

private:
    Journal& journal_;
};

} // namespace quillmere::testing
