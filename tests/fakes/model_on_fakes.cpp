#include "fakes/model_on_fakes.h"

#include "app/text_encoding.h"
#include "support/test_hosts.h"

namespace quillmere::testing {

ModelOnFakes::ModelOnFakes(std::map<std::string, FakeResponse> listServer)
    : server(std::move(listServer)),
      main(platform::Services{.inet1 = inet1,
                              .inet2 = inet2,
                              .fileWriter = files,
                              .textFiles = files,
                              .fileRemover = files,
                              .random = random,
                              .connectivity = connectivity,
                              .addressOpener = opener,
                              .clipboard = clipboard,
                              .messages = messages,
                              .eventLoop = loop,
                              .banner = banner},
           Settings{testHosts("lists.test"), "/staging"})
{
}

std::vector<std::string> ModelOnFakes::entries(const ListBox& list)
{
    std::vector<std::string> shown;
    for (std::size_t row = 0; row < list.count(); ++row)
        shown.push_back(toUtf8(list.entry(row)));
    return shown;
}

std::vector<std::string> ModelOnFakes::journalOf(const std::string& word) const
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
