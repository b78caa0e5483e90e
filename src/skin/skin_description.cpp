#include "skin/skin_description.h"

#include "base/rounding.h"
#include "settings/profile_files.h"
#include "skin/skin_log.h"

#include <cmath>

namespace velmora {

Q_LOGGING_CATEGORY(lcSkin, "velmora.skin", QtWarningMsg)

namespace {

class Reader {
public:
    Reader(const ProfileDocument& ini, const QString& folder) : ini_(ini), folder_(folder) {}

    QString raw(std::string_view key) const
    {
        return ini_.readKey(section_, skinString(key));
    }

    std::optional<QString> text(std::string_view key) const
    {
        const QString v = raw(key);
        if (v.isEmpty())
            return std::nullopt;
        return v;
    }

    std::optional<QString> file(std::string_view key) const
    {
        const QString v = raw(key);
        if (v.isEmpty()) {
            skipped(key, v);
            return std::nullopt;
        }
        return folder_ + toSlashes(v);
    }

    std::optional<double> pixels(std::string_view key) const
    {
        const QString v = raw(key);
        auto n = parseSkinNumber(v);
        if (!n)
            skipped(key, v);
        return n;
    }

    // A size: pixels that must not be negative.
    std::optional<double> size(std::string_view key) const
    {
        auto n = pixels(key);
        if (n && *n < 0) {
            skipped(key, raw(key));
            return std::nullopt;
        }
        return n;
    }

    std::optional<int> whole(std::string_view key) const
    {
        auto n = pixels(key);
        if (!n)
            return std::nullopt;
        return roundHalfEven(*n);
    }

    // Points for a font: a positive number (a font cannot take 0 or less).
    std::optional<double> points(std::string_view key) const
    {
        const QString v = raw(key);
        auto n = parseSkinNumber(v);
        if (!n || *n <= 0 || *n > 1000) {
            skipped(key, v);
            return std::nullopt;
        }
        return n;
    }

    std::optional<std::uint32_t> colour(std::string_view key) const
    {
        const QString v = raw(key);
        auto c = parseSkinColour(v);
        if (!c)
            skipped(key, v);
        return c;
    }

private:
    static void skipped(std::string_view key, const QString& value)
    {
        qCDebug(lcSkin) << "skin key skipped:" << skinString(key) << "value" << value;
    }

    const ProfileDocument& ini_;
    const QString& folder_;
    const QString section_ = skinString(kSkinSection);
};

void readElements(const Reader& r, SkinWindow window, SkinDescription& d)
{
    // All pictures of a window first, then all places, as the table orders them.
    for (std::size_t i = 0; i < kSkinElements.size(); ++i) {
        if (kSkinElements[i].window == window)
            d.elements[i].picture = r.file(kSkinElements[i].picture);
    }
    for (std::size_t i = 0; i < kSkinElements.size(); ++i) {
        if (kSkinElements[i].window != window)
            continue;
        const std::string picture(kSkinElements[i].picture);
        d.elements[i].left = r.pixels(picture + "left");
        d.elements[i].top = r.pixels(picture + "top");
    }
}

void readWindow(const Reader& r, const SkinKey& picture, const SkinKey& width, const SkinKey& height,
                const SkinKey& radius, SkinWindowData& w)
{
    w.picture = r.file(picture.name);
    w.width = r.size(width.name);
    w.height = r.size(height.name);
    w.radius = r.whole(radius.name);
    if (w.radius && *w.radius < 0)
        w.radius.reset();
}

}  // namespace

QString normalizeSkinFolder(const QString& folder)
{
    QString f = toSlashes(folder);
    if (!f.endsWith(QLatin1Char('/')))
        f += QLatin1Char('/');
    return f;
}

int skinElementIndex(std::string_view name)
{
    for (std::size_t i = 0; i < kSkinElements.size(); ++i) {
        if (kSkinElements[i].element == name)
            return static_cast<int>(i);
    }
    return -1;
}

const SkinElementData& SkinDescription::element(std::string_view elementName) const
{
    static const SkinElementData none{};
    const int i = skinElementIndex(elementName);
    return i < 0 ? none : elements[static_cast<std::size_t>(i)];
}

SkinDescription parseSkinDescription(const ProfileDocument& ini, const QString& folder)
{
    SkinDescription d;
    d.fileFound = ini.exists();
    if (!d.fileFound)
        return d;
    const Reader r(ini, folder);
    namespace k = skinkey;

    d.name = r.text(k::Name.name);
    readWindow(r, k::Main, k::MainWidth, k::MainHeight, k::MainRadius, d.main);
    readElements(r, SkinWindow::Main, d);
    for (std::size_t i = 0; i < kSkinLabels.size(); ++i) {
        const auto& keys = kSkinLabels[i];
        d.labels[i].pointSize = r.points(keys.size);
        d.labels[i].colour = r.colour(keys.colour);
        d.labels[i].left = r.pixels(keys.left);
        d.labels[i].top = r.pixels(keys.top);
    }

    readWindow(r, k::Volume, k::VolumeWidth, k::VolumeHeight, k::VolumeRadius, d.volume);
    d.volume.offsetX = r.whole(k::Volumex.name);
    d.volume.offsetY = r.whole(k::Volumey.name);
    readElements(r, SkinWindow::Volume, d);

    readWindow(r, k::Playlist, k::PlaylistWidth, k::PlaylistHeight, k::PlaylistRadius, d.playlist);
    d.playlist.offsetX = r.whole(k::Playlistx.name);
    d.playlist.offsetY = r.whole(k::Playlisty.name);
    d.list.left = r.pixels(k::ListLeft.name);
    d.list.top = r.pixels(k::ListTop.name);
    d.list.width = r.size(k::ListWidth.name);
    d.list.height = r.size(k::ListHeight.name);
    d.list.currentColour = r.colour(k::ListColorCurrent.name);
    d.list.pointSize = r.points(k::ListSize.name);
    d.list.colour = r.colour(k::ListColor.name);
    d.list.groupColour = r.colour(k::ListColorGroup.name);
    readElements(r, SkinWindow::Playlist, d);
    return d;
}

}  // namespace velmora
