#include "swf/qt/bitmaps.h"

#include <algorithm>

#include "swf/limits.h"

namespace quillmere::swf::qt {

namespace {

QImage transformed(QImage image, const ColorTransform& colors)
{
    image = image.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < image.height(); ++y) {
        auto* row = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            const Rgba c = colors.apply({std::uint8_t(qRed(row[x])), std::uint8_t(qGreen(row[x])),
                                         std::uint8_t(qBlue(row[x])), std::uint8_t(qAlpha(row[x]))});
            row[x] = qRgba(c.r, c.g, c.b, c.a);
        }
    }
    return image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
}

QImage decoded(const Bitmap& bitmap)
{
    if (!bitmap.argb.empty()) {
        QImage image(int(bitmap.width), int(bitmap.height), QImage::Format_ARGB32_Premultiplied);
        if (image.isNull())
            return {};
        for (int y = 0; y < image.height(); ++y)
            std::copy_n(bitmap.argb.data() + std::size_t(y) * bitmap.width, bitmap.width,
                        reinterpret_cast<QRgb*>(image.scanLine(y)));
        return image;
    }
    QImage image = QImage::fromData(reinterpret_cast<const uchar*>(bitmap.encoded.data()),
                                    static_cast<int>(bitmap.encoded.size()));
    // A picture that does not decode, or decodes to another size than it declared, is drawn as
    // nothing rather than as whatever the decoder made of it.
    if (image.isNull() || image.width() != int(bitmap.width) || image.height() != int(bitmap.height))
        return {};
    image = image.convertToFormat(QImage::Format_ARGB32);
    if (!bitmap.alpha.empty()) {
        for (int y = 0; y < image.height(); ++y) {
            auto* row = reinterpret_cast<QRgb*>(image.scanLine(y));
            for (int x = 0; x < image.width(); ++x)
                row[x] = qRgba(qRed(row[x]), qGreen(row[x]), qBlue(row[x]),
                               std::uint8_t(bitmap.alpha[std::size_t(y) * bitmap.width + std::size_t(x)]));
        }
    }
    return image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
}

} // namespace

QImage Bitmaps::get(const Bitmap& bitmap, const ColorTransform& colors)
{
    auto found = scripts_.find(bitmap.serial);
    if (found == scripts_.end()) {
        if (scripts_.size() >= kMaxCachedTintedBitmaps)
            scripts_.clear();
        found = scripts_.emplace(bitmap.serial, decoded(bitmap)).first;
    }
    return colors.isIdentity() || found->second.isNull() ? found->second : transformed(found->second, colors);
}

const QImage& Bitmaps::get(std::uint16_t id, const ColorTransform& colors)
{
    auto found = decoded_.find(id);
    if (found == decoded_.end()) {
        const Bitmap* source = movie_->find<Bitmap>(id);
        found = decoded_.emplace(id, source ? decoded(*source) : QImage()).first;
    }
    if (colors.isIdentity() || found->second.isNull())
        return found->second;
    std::vector<double> key(colors.mult.begin(), colors.mult.end());
    key.insert(key.end(), colors.add.begin(), colors.add.end());
    auto cached = tinted_.find({id, key});
    if (cached == tinted_.end() && tinted_.size() >= kMaxCachedTintedBitmaps)
        tinted_.clear(); // a colour animation would make a new one every frame
    if (cached == tinted_.end())
        cached = tinted_.emplace(std::pair{id, key}, transformed(found->second, colors)).first;
    return cached->second;
}

} // namespace quillmere::swf::qt
