#pragma once

#include <optional>

namespace quillmere {

// The program's own options: --help and --version are answered on standard output before the
// window's toolkit starts, so they need no display, and the process ends with status 0. Qt's
// own options are left to QApplication. Returns when neither is asked for.
void answerHelpOrVersion(int argc, char* argv[]);

// After QApplication has taken its options: anything left is a mistake, told in one line on
// standard error. Returns the exit status then.
std::optional<int> refuseWhatIsLeft();

} // namespace quillmere
