#pragma once

#include <QWidget>

namespace quillmere::bench {

// When `window` has painted its first frame, prints "first_frame_ns <CLOCK_REALTIME ns>
// rss_kib <resident KiB>" on standard output and quits the application.
void reportFirstFrame(QWidget& window);

} // namespace quillmere::bench
