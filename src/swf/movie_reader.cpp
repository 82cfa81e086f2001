#include "swf/movie_reader.h"

#include <algorithm>
#include <array>

#include "swf/container.h"
#include "swf/format_error.h"
#include "swf/limits.h"
#include "swf/record_readers.h"

namespace quillmere::swf {

const Character* Movie::character(std::uint16_t id) const
{
    const auto found = dictionary.find(id);
    return found == dictionary.end() ? nullptr : found->second.get();
}

namespace {

// The frame being put together from a timeline's tags, and the timeline it goes to.
struct TimelineRead {
    Timeline& timeline;
    Frame pending;
    bool ended = false;
};

struct Reader {
    Movie read(std::string_view file);
    // Reads tags up to End (or the end of the data) into `timeline`. Definitions are read at the
    // top level only: a sprite's tags may only place, remove, act and show.
    void readTimeline(ByteReader& in, Timeline& timeline, bool topLevel);

    Movie movie;
    Budget budget;
    std::string jpegTables;
    bool actionScript3 = false;
    bool backgroundSet = false;
};

// How the tag of one code is read: by `read`, or, for a definition, by `define` after the id of
// the character it defines, which every definition's body starts with.
struct TagReader {
    std::uint16_t code;
    bool inSprites;
    void (*read)(Reader&, TimelineRead&, ByteReader& body);
    Character (*define)(Reader&, ByteReader& body);
};

// A tag that any timeline may hold, a sprite's too.
constexpr TagReader timelineTag(std::uint16_t code, void (*read)(Reader&, TimelineRead&, ByteReader&))
{
    return {code, true, read, nullptr};
}

// A tag about the whole movie: read in its own timeline, skipped in a sprite's.
constexpr TagReader movieTag(std::uint16_t code, void (*read)(Reader&, TimelineRead&, ByteReader&))
{
    return {code, false, read, nullptr};
}

// A character of the dictionary, which only the movie's own timeline defines.
constexpr TagReader definition(std::uint16_t code, Character (*define)(Reader&, ByteReader&))
{
    return {code, false, nullptr, define};
}

// The readers of the tags, each named after its tag; a number is the tag's version.

void end(Reader&, TimelineRead& t, ByteReader&)
{
    t.ended = true;
}

void showFrame(Reader&, TimelineRead& t, ByteReader&)
{
    if (t.timeline.frames.size() < kMaxFrames)
        t.timeline.frames.push_back(std::move(t.pending));
    t.pending = {};
}

void frameLabel(Reader&, TimelineRead& t, ByteReader& in)
{
    t.timeline.labels.try_emplace(in.string(), t.timeline.frames.size());
}

// Display commands count against the movie's records before they are read.
template <int version>
void placeObject(Reader& r, TimelineRead& t, ByteReader& in)
{
    r.budget.spendRecords(1);
    t.pending.commands.push_back(version == 1 ? readPlace1(in)
                                              : readPlace2(in, version == 3, r.movie.version, r.budget));
}

template <int version>
void removeObject(Reader& r, TimelineRead& t, ByteReader& in)
{
    r.budget.spendRecords(1);
    if constexpr (version == 1)
        in.u16(); // the character id
    const std::uint16_t depth = in.u16();
    t.pending.commands.emplace_back(std::in_place_type<Remove>, Remove{depth});
}

void doAction(Reader& r, TimelineRead& t, ByteReader& in)
{
    t.pending.actions.push_back(readActions(in, r.budget));
}

void doInitAction(Reader& r, TimelineRead& t, ByteReader& in)
{
    in.u16(); // the sprite it prepares: run with the main timeline as its target all the same
    t.pending.initActions.push_back(readActions(in, r.budget));
}

// The names scripts attach characters by.
void exportAssets(Reader& r, TimelineRead&, ByteReader& in)
{
    for (std::size_t count = in.u16(); count > 0; --count) {
        r.budget.spendRecords(1);
        const std::uint16_t id = in.u16();
        r.movie.exports.try_emplace(in.string(), id);
    }
}

// The colours of a DefineButton's records, which have no colour transform of their own.
void defineButtonCxform(Reader& r, TimelineRead&, ByteReader& in)
{
    const auto found = r.movie.dictionary.find(in.u16());
    const Button* button = found == r.movie.dictionary.end() ? nullptr : std::get_if<Button>(found->second.get());
    if (!button)
        return;
    Button tinted = *button;
    const ColorTransform colors = readColorTransform(in, false);
    for (Button::Record& record : tinted.records)
        record.colorTransform = colors;
    found->second = std::make_shared<const Character>(std::move(tinted));
}

void defineScalingGrid(Reader& r, TimelineRead&, ByteReader& in)
{
    const std::uint16_t id = in.u16();
    r.movie.scalingGrids[id] = readRect(in);
}

// A sound's length, from its rate and samples: scripts wait for sounds to end.
void defineSound(Reader& r, TimelineRead&, ByteReader& in)
{
    const std::uint16_t id = in.u16();
    static constexpr double kRates[] = {5512.5, 11025, 22050, 44100};
    const double rate = kRates[in.u8() >> 2 & 3];
    r.movie.soundSeconds[id] = in.u32() / rate;
}

void setBackgroundColor(Reader& r, TimelineRead&, ByteReader& in)
{
    // Players take the first one and ignore the rest, wherever they stand in the timeline.
    if (!r.backgroundSet)
        r.movie.background = readRgb(in);
    r.backgroundSet = true;
}

void jpegTables(Reader& r, TimelineRead&, ByteReader& in)
{
    r.jpegTables = std::string(in.rest());
}

void doAbc(Reader& r, TimelineRead&, ByteReader&)
{
    r.actionScript3 = true;
}

template <int version>
Character defineShape(Reader& r, ByteReader& in)
{
    return readShape(in, version, r.budget);
}

template <int version>
Character defineMorphShape(Reader& r, ByteReader& in)
{
    return readMorphShape(in, version == 2, r.budget);
}

Character defineBits(Reader& r, ByteReader& in)
{
    return readEncodedBitmap(normalizedJpeg(r.jpegTables, in.rest()), {}, r.budget);
}

// A JPEG, PNG or GIF file; from version 3 on, a compressed alpha plane after it.
template <int version>
Character defineBitsJpeg(Reader& r, ByteReader& in)
{
    const std::size_t alphaOffset = version == 2 ? in.remaining() : in.u32();
    if constexpr (version == 4)
        in.u16(); // deblocking
    std::string image(in.bytes(alphaOffset));
    if (image.size() >= 2 && std::uint8_t(image[0]) == 0xFF)
        image = normalizedJpeg({}, image);
    return readEncodedBitmap(std::move(image), in.rest(), r.budget);
}

template <int version>
Character defineBitsLossless(Reader& r, ByteReader& in)
{
    return readLosslessBitmap(in, version, r.budget);
}

template <int version>
Character defineFont(Reader& r, ByteReader& in)
{
    return version == 1 ? readFont1(in, r.budget) : readFont2(in, version == 3, r.movie.version, r.budget);
}

template <int version>
Character defineText(Reader& r, ByteReader& in)
{
    return readText(in, version == 2, r.budget);
}

Character defineEditText(Reader& r, ByteReader& in)
{
    return readEditText(in, r.movie.version);
}

template <int version>
Character defineButton(Reader& r, ByteReader& in)
{
    return readButton(in, version == 2, r.budget);
}

Character defineSprite(Reader& r, ByteReader& in)
{
    in.u16(); // frame count, as for the movie
    Sprite sprite;
    r.readTimeline(in, sprite.timeline, false);
    return sprite;
}

// Every tag the reader uses, in the order of their codes. Any other tag (sound streams, video,
// scripts, metadata: nothing to draw) is skipped by its length.
constexpr std::array kTags{
    timelineTag(0, end),
    timelineTag(1, showFrame),
    definition(2, defineShape<1>),
    timelineTag(4, placeObject<1>),
    timelineTag(5, removeObject<1>),
    definition(6, defineBits),
    definition(7, defineButton<1>),
    movieTag(8, jpegTables),
    movieTag(9, setBackgroundColor),
    definition(10, defineFont<1>),
    definition(11, defineText<1>),
    timelineTag(12, doAction),
    movieTag(14, defineSound),
    definition(20, defineBitsLossless<1>),
    definition(21, defineBitsJpeg<2>),
    definition(22, defineShape<2>),
    movieTag(23, defineButtonCxform),
    timelineTag(26, placeObject<2>),
    timelineTag(28, removeObject<2>),
    definition(32, defineShape<3>),
    definition(33, defineText<2>),
    definition(34, defineButton<2>),
    definition(35, defineBitsJpeg<3>),
    definition(36, defineBitsLossless<2>),
    definition(37, defineEditText),
    definition(39, defineSprite),
    timelineTag(43, frameLabel),
    definition(46, defineMorphShape<1>),
    definition(48, defineFont<2>),
    movieTag(56, exportAssets),
    movieTag(59, doInitAction),
    timelineTag(70, placeObject<3>),
    movieTag(72, doAbc), // its early form
    definition(75, defineFont<3>),
    movieTag(78, defineScalingGrid),
    movieTag(82, doAbc),
    definition(83, defineShape<4>),
    definition(84, defineMorphShape<2>),
    definition(90, defineBitsJpeg<4>),
};

constexpr bool ascendingCodes()
{
    for (std::size_t i = 1; i < kTags.size(); ++i)
        if (kTags[i - 1].code >= kTags[i].code)
            return false;
    return true;
}
static_assert(ascendingCodes(), "each tag once, in the order of the codes, for a binary search");

const TagReader* readerOf(std::uint16_t code)
{
    const auto found = std::lower_bound(kTags.begin(), kTags.end(), code,
                                        [](const TagReader& tag, std::uint16_t wanted) { return tag.code < wanted; });
    return found != kTags.end() && found->code == code ? &*found : nullptr;
}

Movie Reader::read(std::string_view file)
{
    const Container container = openContainer(file);
    ByteReader in(container.body);
    movie.version = container.version;
    movie.bytes = file.size();
    movie.stage = readRect(in);
    movie.frameRate = in.u16() / 256.0;
    in.u16(); // the frame count: the ShowFrame tags say it
    readTimeline(in, movie.timeline, true);
    if (actionScript3)
        throw FormatError("an ActionScript 3 movie, which this player does not run");
    return std::move(movie);
}

void Reader::readTimeline(ByteReader& in, Timeline& timeline, bool topLevel)
{
    TimelineRead state{timeline, {}, false};
    while (!state.ended && !in.atEnd()) {
        const std::uint16_t header = in.u16();
        const std::uint16_t code = header >> 6;
        std::size_t length = header & 0x3F;
        if (length == 0x3F)
            length = in.u32();
        if (length > in.remaining())
            throw FormatError("tag " + std::to_string(code) + " of " + std::to_string(length)
                              + " bytes runs past the end of the movie");
        ByteReader body = in.sub(length);
        const TagReader* tag = readerOf(code);
        if (!tag || !(topLevel || tag->inSprites))
            continue; // nothing to draw, or nothing a sprite may hold
        if (!tag->define) {
            tag->read(*this, state, body);
            continue;
        }
        const std::uint16_t id = body.u16();
        if (movie.dictionary.contains(id))
            continue; // a character is defined once; a second definition of an id is ignored
        // A character that cannot be read is left out, and shows nothing where it is placed: the
        // rest of the movie plays, as in players. Only a limit refuses the movie.
        try {
            movie.dictionary.emplace(id, std::make_shared<const Character>(tag->define(*this, body)));
        } catch (const LimitExceeded&) {
            throw;
        } catch (const FormatError& error) {
            movie.unreadable.push_back("character " + std::to_string(id) + " (tag " + std::to_string(code)
                                       + ") left empty: " + error.what());
        }
    }
    // Frames must not be empty: a movie whose tags show no frame shows what they placed.
    if (timeline.frames.empty())
        timeline.frames.push_back(std::move(state.pending));
}

} // namespace

Movie readMovie(std::string_view file)
{
    return Reader().read(file);
}

} // namespace quillmere::swf
