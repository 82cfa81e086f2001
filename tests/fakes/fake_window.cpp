#include "fakes/fake_window.h"

#include "lists/text_encoding.h"

namespace quillmere::testing {

FakeWindow::FakeWindow(std::map<std::string, FakeResponse> listServer)
    : server(std::move(listServer)),
      main(platform::Services{inet1, inet2, files, files, files, random, connectivity, opener, clipboard, messages,
                              loop, banner},
           Settings{"lists.test", "quillmere.example", "submit.quillmere.example", "/staging"})
{
}

std::vector<std::string> FakeWindow::entries(const ListBox& list)
{
    std::vector<std::string> shown;
    for (std::size_t row = 0; row < list.count(); ++row)
        shown.push_back(lists::toUtf8(list.entry(row)));
    return shown;
}

std::vector<std::string> FakeWindow::journalOf(const std::string& word) const
{
    std::vector<std::string> lines;
    for (const auto& line : journal)
        if (line.find(word) != std::string::npos)
            lines.push_back(line);
    return lines;
}

std::string listFile(const std::vector<std::string>& lines)
{
    std::string file;
    for (const auto& line : lines)
        file += line + "\n";
    return file;
}

} // namespace quillmere::testing
