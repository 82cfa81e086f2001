#include "swf/movie_reader.h"

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

enum Tag : std::uint16_t {
    End = 0,
    ShowFrame = 1,
    DefineShape = 2,
    PlaceObject = 4,
    RemoveObject = 5,
    DefineBits = 6,
    JpegTables = 8,
    SetBackgroundColor = 9,
    DefineFont = 10,
    DefineText = 11,
    DoAction = 12,
    DefineButton = 7,
    DefineBitsLossless = 20,
    DefineBitsJpeg2 = 21,
    DefineShape2 = 22,
    PlaceObject2 = 26,
    RemoveObject2 = 28,
    DefineShape3 = 32,
    DefineText2 = 33,
    DefineButton2 = 34,
    DefineBitsJpeg3 = 35,
    DefineBitsLossless2 = 36,
    DefineEditText = 37,
    DefineSprite = 39,
    FrameLabel = 43,
    DefineMorphShape = 46,
    DefineFont2 = 48,
    PlaceObject3 = 70,
    DoAbcOld = 72,
    DefineFont3 = 75,
    DoAbc = 82,
    DefineShape4 = 83,
    DefineMorphShape2 = 84,
    DefineBitsJpeg4 = 90,
};

class Reader {
public:
    Movie read(std::string_view file);

private:
    // Reads tags up to End (or the end of the data) into `timeline`. Definitions are read at the
    // top level only: a sprite's tags may only place, remove and show.
    void readTimeline(ByteReader& in, Timeline& timeline, bool topLevel);
    void define(std::uint16_t code, ByteReader& body);
    void add(std::uint16_t id, Character character);

    Movie movie_;
    Budget budget_;
    std::string jpegTables_;
    bool actionScript3_ = false;
};

Movie Reader::read(std::string_view file)
{
    const Container container = openContainer(file);
    ByteReader in(container.body);
    movie_.version = container.version;
    movie_.stage = readRect(in);
    movie_.frameRate = in.u16() / 256.0;
    in.u16(); // the frame count: the ShowFrame tags say it
    readTimeline(in, movie_.timeline, true);
    if (actionScript3_)
        throw FormatError("an ActionScript 3 movie, which this player does not run");
    return std::move(movie_);
}

void Reader::readTimeline(ByteReader& in, Timeline& timeline, bool topLevel)
{
    Frame pending;
    bool ended = false;
    while (!ended && !in.atEnd()) {
        const std::uint16_t header = in.u16();
        const std::uint16_t code = header >> 6;
        std::size_t length = header & 0x3F;
        if (length == 0x3F)
            length = in.u32();
        if (length > in.remaining())
            throw FormatError("tag " + std::to_string(code) + " of " + std::to_string(length)
                              + " bytes runs past the end of the movie");
        ByteReader body = in.sub(length);
        switch (code) {
        case End: ended = true; break;
        case ShowFrame:
            if (timeline.frames.size() < kMaxFrames)
                timeline.frames.push_back(std::move(pending));
            pending = {};
            break;
        case PlaceObject:
        case PlaceObject2:
        case PlaceObject3:
            budget_.spendRecords(1);
            pending.commands.push_back(code == PlaceObject ? readPlace1(body) : readPlace2(body, code == PlaceObject3));
            break;
        case RemoveObject:
        case RemoveObject2:
            budget_.spendRecords(1);
            if (code == RemoveObject)
                body.u16();
            pending.commands.push_back(Remove{body.u16()});
            break;
        case DoAction: pending.actions.push_back(readActions(body, budget_)); break;
        case FrameLabel: timeline.labels.try_emplace(body.string(), timeline.frames.size()); break;
        default:
            if (topLevel)
                define(code, body);
        }
    }
    // Frames must not be empty: a movie whose tags show no frame shows what they placed.
    if (timeline.frames.empty())
        timeline.frames.push_back(std::move(pending));
}

void Reader::define(std::uint16_t code, ByteReader& body)
{
    switch (code) {
    case SetBackgroundColor: movie_.background = readRgb(body); return;
    case JpegTables: jpegTables_ = std::string(body.rest()); return;
    case DoAbc:
    case DoAbcOld: actionScript3_ = true; return;
    default: break;
    }
    const bool defines = code == DefineShape || code == DefineShape2 || code == DefineShape3 || code == DefineShape4
                         || code == DefineBits || code == DefineBitsJpeg2 || code == DefineBitsJpeg3
                         || code == DefineBitsJpeg4 || code == DefineBitsLossless || code == DefineBitsLossless2
                         || code == DefineFont || code == DefineFont2 || code == DefineFont3 || code == DefineText
                         || code == DefineText2 || code == DefineSprite || code == DefineButton || code == DefineButton2
                         || code == DefineMorphShape || code == DefineMorphShape2 || code == DefineEditText;
    if (!defines)
        return; // sound, video, scripts, labels, metadata: nothing to draw
    const std::uint16_t id = body.u16();
    switch (code) {
    case DefineShape: return add(id, readShape(body, 1, budget_));
    case DefineShape2: return add(id, readShape(body, 2, budget_));
    case DefineShape3: return add(id, readShape(body, 3, budget_));
    case DefineShape4: return add(id, readShape(body, 4, budget_));
    case DefineBits: return add(id, readEncodedBitmap(normalizedJpeg(jpegTables_, body.rest()), {}, budget_));
    case DefineBitsJpeg2:
    case DefineBitsJpeg3:
    case DefineBitsJpeg4: {
        const std::size_t alphaOffset = code == DefineBitsJpeg2 ? body.remaining() : body.u32();
        if (code == DefineBitsJpeg4)
            body.u16(); // deblocking
        std::string image(body.bytes(alphaOffset));
        if (image.size() >= 2 && std::uint8_t(image[0]) == 0xFF)
            image = normalizedJpeg({}, image);
        return add(id, readEncodedBitmap(std::move(image), body.rest(), budget_));
    }
    case DefineBitsLossless: return add(id, readLosslessBitmap(body, 1, budget_));
    case DefineBitsLossless2: return add(id, readLosslessBitmap(body, 2, budget_));
    case DefineFont: return add(id, readFont1(body, budget_));
    case DefineFont2:
    case DefineFont3: return add(id, readFont2(body, code == DefineFont3, budget_));
    case DefineText:
    case DefineText2: return add(id, readText(body, code == DefineText2, budget_));
    case DefineButton:
    case DefineButton2: return add(id, readButton(body, code == DefineButton2, budget_));
    case DefineMorphShape:
    case DefineMorphShape2: return add(id, readMorphShape(body, code == DefineMorphShape2, budget_));
    case DefineEditText: return add(id, readEditText(body, movie_.version));
    case DefineSprite: {
        body.u16(); // frame count, as for the movie
        Sprite sprite;
        readTimeline(body, sprite.timeline, false);
        return add(id, std::move(sprite));
    }
    default: return;
    }
}

void Reader::add(std::uint16_t id, Character character)
{
    // A character is defined once; a second definition of an id is ignored.
    movie_.dictionary.try_emplace(id, std::make_shared<const Character>(std::move(character)));
}

} // namespace

Movie readMovie(std::string_view file)
{
    return Reader().read(file);
}

} // namespace quillmere::swf
