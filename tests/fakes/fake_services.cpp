#include "fakes/fake_services.h"

#include "platform/failure.h"

namespace quillmere::testing {

namespace {

std::string fileName(const std::string& path)
{
    return path.substr(path.find_last_of('/') + 1);
}

// "http://host:port/prx/x.bin" -> "/prx/x.bin"
std::string pathOf(const std::string& address)
{
    const auto hostStart = address.find("//");
    const auto pathStart = address.find('/', hostStart == std::string::npos ? 0 : hostStart + 2);
    return pathStart == std::string::npos ? std::string("/") : address.substr(pathStart);
}

} // namespace

Bytes FakeTransfer::fetch(const std::string& address)
{
    const std::string path = pathOf(address);
    journal_.push_back(name_ + " fetch " + path);
    const auto found = server_.find(path);
    if (found == server_.end())
        throw platform::Failure(address + ": HTTP 404 Not Found");
    const FakeResponse response = found->second; // the server may change while we wait
    aborted_ = false;
    loop_.advanceUntil([this] { return aborted_; }, response.takesMs);
    if (aborted_)
        throw platform::Failure(address + ": abandoned");
    if (response.failure)
        throw platform::Failure(address + ": " + *response.failure);
    return Bytes(response.body);
}

std::unique_ptr<platform::Transfer::Pending> FakeTransfer::fetchInBackground(const std::string& address,
                                                                             std::function<void(Result)> done)
{
    struct Flag : Pending {
        std::shared_ptr<bool> alive = std::make_shared<bool>(true);
        ~Flag() override { *alive = false; }
    };
    auto pending = std::make_unique<Flag>();
    const std::string path = pathOf(address);
    journal_.push_back(name_ + " fetch in background " + path);
    const auto found = server_.find(path);
    const FakeResponse response = found != server_.end() ? found->second : FakeResponse({}, 0, "HTTP 404 Not Found");
    loop_.at(loop_.now() + response.takesMs, [alive = pending->alive, address, response, done = std::move(done)] {
        if (!*alive)
            return;
        if (response.failure)
            done(platform::Failure(address + ": " + *response.failure));
        else
            done(Bytes(response.body));
    });
    return pending;
}

void FakeFiles::writeWhole(const std::string& path, std::string_view bytes)
{
    journal_.push_back("write " + fileName(path));
    if (unwritable.count(path))
        throw platform::Failure(path + ": permission denied");
    files[path] = std::string(bytes);
}

Bytes FakeFiles::readWhole(const std::string& path) const
{
    journal_.push_back("read " + fileName(path));
    const auto found = files.find(path);
    if (found == files.end())
        throw platform::Failure(path + ": no such file");
    return Bytes(found->second);
}

void FakeFiles::remove(const std::string& path)
{
    journal_.push_back("remove " + fileName(path));
    if (files.erase(path) == 0)
        throw platform::Failure(path + ": no such file");
}

void FakeAddressOpener::open(const std::string& address)
{
    journal_.push_back("open " + address);
    opened.push_back(address);
}

void FakeMessages::showInformation(const std::string& text, const std::string& title)
{
    journal_.push_back("message " + title);
    shown.push_back({text, title, loop_.now()});
    dismissed_ = false;
    loop_.advanceUntil([this] { return dismissed_; }, openForMs);
}

void FakeBanner::loadMovie(int layer, const std::string& address)
{
    journal_.push_back("banner load " + std::to_string(layer) + " " + address);
}

void FakeBanner::play()
{
    journal_.push_back("banner play");
}

} // namespace quillmere::testing
