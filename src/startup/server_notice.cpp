#include <iostream>

#include "app/main_window.h"
#include "base/printable.h"
#include "lists/list_sources.h"
#include "platform/failure.h"
#include "platform/text_files.h"
#include "startup/notice_line.h"

namespace quillmere {

// Fetches the server notice file and announces each new-version notice in it. Whatever goes
// wrong, `Timer1` ends up armed: a notice that cannot be read must not keep the lists from
// loading.
void Main::ReadServerNotice()
{
    // A reload clicked while a notice is shown replaces the window's reader; this one keeps
    // its own stream alive and goes on with it.
    std::shared_ptr<TextStream> reader;
    try {
        FetchToStagingFile(Inet2, lists::kNotice);
        FileSystem = &services_.textFiles;
        reader = std::make_shared<TextStream>(FileSystem->readWhole(stagingPath(lists::kNotice)));
        ListReader = reader;
        while (!reader->atEndOfStream()) {
            std::string& line = CurrentLine ? *CurrentLine : CurrentLine.emplace();
            reader->readLine(line);
            if (startup::noticeValue(line) == startup::kNewVersionNotice)
                showInformation("New version of Quillmere is available for download from "
                                    + settings_.hosts.productHost,
                                "Software update");
        }
    } catch (const platform::Failure& failure) {
        std::cerr << "quillmere: server notice not read: " << printable(failure.what()) << '\n';
    }
    Timer1.setInterval(100);
    if (reader)
        reader->close();
}

} // namespace quillmere
