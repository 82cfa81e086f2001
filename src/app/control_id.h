#pragma once

#include <cstddef>

namespace quillmere {

// Every control of the window, and the window itself (`Main`), grouped by kind.
// clang-format off
enum class ControlId {
    Main,
    Image1, Image2, Image3, Image4, Image5, Image6, Image7,
    Label1, Label2, Label3, Label4,
    List1, List2,
    Timer1, Timer2, Timer3,
    Inet1, Inet2,
    flash1,
};
// clang-format on

// The control's name as the program knows it: "Image3", "Label2", "flash1", ...
const char* controlName(ControlId id);

enum class Event { Load, Click, Tick };

struct Geometry {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
    bool operator==(const Geometry&) const = default;
};

// How a list box's entries changed: all removed, or `count` entries inserted from row `first`.
struct ListChange {
    enum class Kind { Cleared, Inserted };
    Kind kind = Kind::Cleared;
    std::size_t first = 0;
    std::size_t count = 0;
};

// Whoever presents the window. The model tells it of every change through these calls and
// nothing else; it reads the new state back from the model.
class WindowView {
public:
    virtual ~WindowView() = default;
    // A property of the control changed: caption, visibility, tooltip, enabled flag, or, for
    // `Main`, the pointer shape.
    virtual void controlChanged(ControlId id) = 0;
    virtual void listAboutToChange(ControlId id, const ListChange& change) = 0;
    virtual void listChanged(ControlId id, const ListChange& change) = 0;
    // The window was unloaded: the program is to end.
    virtual void unloaded() = 0;
};

// Where controls send their change notices; the view is attached once it exists.
struct ViewLink {
    WindowView* view = nullptr;
};

} // namespace quillmere
