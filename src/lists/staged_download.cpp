// Every file taken from the list server passes through a staging file: fetched whole, written
// unchanged, then read back line by line.

#include <new>

#include "app/main_window.h"
#include "lists/list_sources.h"
#include "platform/failure.h"
#include "platform/file_remover.h"
#include "platform/file_writer.h"
#include "platform/text_files.h"

namespace quillmere {

std::string Main::serverAddress(std::string_view path) const
{
    return "http://" + settings_.hosts.listServer + std::string(path);
}

std::string Main::stagingPath(const lists::ListSource& source) const
{
    return settings_.stagingDirectory + "/" + std::string(source.stagingName);
}

void Main::FetchToStagingFile(Inet& inet, const lists::ListSource& source)
{
    Bytes bytes; // the transfer's own buffer, gone when this returns
    try {
        bytes = inet.OpenURL(serverAddress(source.path));
    } catch (const platform::Failure&) {
        abandonIfUnloaded(); // a transfer given up because the window is gone is no failure
        throw;
    }
    abandonIfUnloaded();
    services_.fileWriter.writeWhole(stagingPath(source), bytes.view());
}

void Main::ReadLinesInto(const lists::ListSource& source, ListBox& list, bool clearFirst)
try {
    FileSystem = &services_.textFiles;
    ListReader = std::make_shared<TextStream>(FileSystem->readWhole(stagingPath(source)));
    if (clearFirst)
        list.clear();
    // Every line read and inserted at the top in turn, all at once: the list keeps the file and
    // an index of its lines, and the last line read is the window's current line.
    auto lines = ListReader->readRemainingLines();
    if (lines->count() > 0)
        CurrentLine = std::string(lines->line(lines->count() - 1));
    list.insertLinesAtTop(std::move(lines));
    ListReader->close();
} catch (const std::bad_alloc&) {
    // A file larger than memory fails its refresh like any other file that cannot be read.
    throw platform::Failure(stagingPath(source) + ": not enough memory to read it");
}

void Main::DeleteStagingFiles()
{
    for (const auto& source : lists::kAllSources) {
        try {
            services_.fileRemover.remove(stagingPath(source));
        } catch (const platform::Failure&) {
            // Most are missing: a refresh fetches three of the eight.
        }
    }
}

} // namespace quillmere
