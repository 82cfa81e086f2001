#pragma once

#include "platform/file_remover.h"
#include "platform/file_writer.h"
#include "platform/text_files.h"

namespace quillmere::platform {

// The staging files through QFile: whole-file writes, whole-file reads, and deletion. On Unix a
// write replaces whatever is at the path with a new file, and a read never follows a symbolic
// link.
class QtFiles : public FileWriter, public TextFiles, public FileRemover {
public:
    void writeWhole(const std::string& path, std::string_view bytes) override;
    Bytes readWhole(const std::string& path) const override;
    void remove(const std::string& path) override;
};

} // namespace quillmere::platform
