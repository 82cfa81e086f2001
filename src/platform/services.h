#pragma once

namespace quillmere::platform {

class AddressOpener;
class BannerPlayer;
class Clipboard;
class Connectivity;
class EventLoop;
class FileRemover;
class FileWriter;
class Messages;
class RandomSource;
class TextFiles;
class Transfer;

// Every outside service the window uses, handed to it at creation. The window does not own
// them; they outlive it.
struct Services {
    Transfer& inet1;
    Transfer& inet2;
    FileWriter& fileWriter;
    TextFiles& textFiles;
    FileRemover& fileRemover;
    RandomSource& random;
    Connectivity& connectivity;
    AddressOpener& addressOpener;
    Clipboard& clipboard;
    Messages& messages;
    EventLoop& eventLoop;
    BannerPlayer& banner;
};

} // namespace quillmere::platform
