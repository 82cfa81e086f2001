#pragma once

#include <functional>
#include <memory>
#include <string>
#include <variant>

#include "base/bytes.h"
#include "platform/failure.h"

namespace quillmere::platform {

// Fetches a whole resource over HTTP. The call returns only when the transfer has ended; while
// it waits, the window's events keep running (timer ticks, repaints, the user's clicks), so a
// caller must expect to be re-entered. Throws Failure when there is no connection, the transfer
// is cut short or has not ended by its deadline (a time-out counted from the request to the last
// byte, however steadily bytes arrive), or the server answers with a status outside 200-299:
// nothing of a failed transfer is ever returned.
class Transfer {
public:
    // A fetch under way in the background. Destroying it gives the fetch up; its callback is
    // then never called.
    class Pending {
    public:
        virtual ~Pending() = default;
    };
    using Result = std::variant<Bytes, Failure>;

    virtual ~Transfer() = default;
    // The body as the transfer received it, not copied.
    virtual Bytes fetch(const std::string& address) = 0;
    // The same fetch without waiting for it: returns at once, and `done` is called later from
    // the event loop with the body or with what fetch() would have thrown.
    virtual std::unique_ptr<Pending> fetchInBackground(const std::string& address, std::function<void(Result)> done)
        = 0;
    // Gives up every fetch in progress: each throws Failure at once. Never throws.
    virtual void abort() = 0;
};

} // namespace quillmere::platform
