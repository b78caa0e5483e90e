#include "skin/skin_loader.h"

#include "skin/main_form.h"
#include "skin/playlist_form.h"
#include "skin/skin_log.h"
#include "skin/skin_picture.h"
#include "skin/volume_form.h"

#include <QImage>

namespace velmora {

namespace {

QImage loadImage(const std::optional<QString>& path)
{
    if (!path)
        return {};
    QImage image = readSkinPicture(*path);
    if (image.isNull())
        qCDebug(lcSkin) << "picture not loaded:" << *path;
    return image;
}

template <typename T, typename Apply>
void ifGiven(const std::optional<T>& value, Apply apply)
{
    if (value)
        apply(*value);
}

void dressWindow(SkinnedForm& form, const SkinWindowData& data, int& radius)
{
    form.setBackground(loadImage(data.picture));
    ifGiven(data.width, [&](double w) { form.setSkinWidth(w); });
    ifGiven(data.height, [&](double h) { form.setSkinHeight(h); });
    ifGiven(data.radius, [&](int r) { radius = r; });
}

void dressElements(SkinnedForm& form, const SkinDescription& skin)
{
    // Every picture of the window first, then every place.
    for (std::size_t i = 0; i < kSkinElements.size(); ++i) {
        if (kSkinElements[i].window != form.kind())
            continue;
        if (const auto& picture = skin.elements[i].picture)
            form.element(kSkinElements[i].element)->loadPicture(*picture);
    }
    for (std::size_t i = 0; i < kSkinElements.size(); ++i) {
        if (kSkinElements[i].window != form.kind())
            continue;
        TransImg* e = form.element(kSkinElements[i].element);
        ifGiven(skin.elements[i].left, [&](double v) { e->setLeft(v); });
        ifGiven(skin.elements[i].top, [&](double v) { e->setTop(v); });
    }
}

void dressLabel(SkinLabel& label, const SkinLabelData& data)
{
    ifGiven(data.pointSize, [&](double p) { label.setPointSize(p); });
    ifGiven(data.colour, [&](std::uint32_t c) { label.setTextColour(skinColourToRgb(c)); });
    ifGiven(data.left, [&](double v) { label.setLeft(v); });
    ifGiven(data.top, [&](double v) { label.setTop(v); });
}

void dressList(PlaylistForm& form, const SkinListData& list, SkinState& state)
{
    // Step 7: area and current colour.
    ifGiven(list.left, [&](double v) { form.setListLeft(v); });
    ifGiven(list.top, [&](double v) { form.setListTop(v); });
    ifGiven(list.width, [&](double v) { form.setListWidth(v); });
    ifGiven(list.height, [&](double v) { form.setListHeight(v); });
    ifGiven(list.currentColour, [&](std::uint32_t c) { form.setCurrentColour(skinColourToRgb(c)); });
    // Step 8: the list shows the part of the skin that lies under it.
    form.cutListBackground();
    // Step 9: font, colours, columns.
    ifGiven(list.pointSize, [&](double p) { form.setListPointSize(p); });
    ifGiven(list.colour, [&](std::uint32_t c) { form.setFileColour(skinColourToRgb(c)); });
    ifGiven(list.groupColour, [&](std::uint32_t c) { form.setGroupColour(skinColourToRgb(c)); });
    form.sizeColumns();
    // Step 10: visible rows (kept when no row lies under the measuring point).
    ifGiven(form.measureVisibleRows(), [&](int rows) { state.visibleRows = rows; });
}

}  // namespace

void dressWindows(const SkinDescription& skin, SkinTargets w, SkinState& state, KnobPercents knobs)
{
    // 1. Name.
    ifGiven(skin.name, [&](const QString& n) { state.skinName = n; });
    // 2-4. Main window, its elements, its labels.
    dressWindow(w.main, skin.main, state.mainRadius);
    dressElements(w.main, skin);
    dressLabel(w.main.currentTime(), skin.labels[0]);
    dressLabel(w.main.time(), skin.labels[1]);
    // 5. Volume window.
    dressWindow(w.volume, skin.volume, state.volumeRadius);
    ifGiven(skin.volume.offsetX, [&](int v) { state.offsets.volume.setX(v); });
    ifGiven(skin.volume.offsetY, [&](int v) { state.offsets.volume.setY(v); });
    dressElements(w.volume, skin);
    // 6. Playlist window.
    dressWindow(w.playlist, skin.playlist, state.playlistRadius);
    ifGiven(skin.playlist.offsetX, [&](int v) { state.offsets.playlist.setX(v); });
    ifGiven(skin.playlist.offsetY, [&](int v) { state.offsets.playlist.setY(v); });
    // 7-10. The list (the playlist's element keys are read after the list keys).
    dressList(w.playlist, skin.list, state);
    dressElements(w.playlist, skin);
    // 11. Outlines from the sizes and radii now in force.
    w.main.applyOutline(state.mainRadius);
    w.volume.applyOutline(state.volumeRadius);
    w.playlist.applyOutline(state.playlistRadius);
    // 12-13. Knobs from the stored settings.
    w.volume.placeBalanceKnob(knobs.balance);
    w.volume.placeVolumeKnob(knobs.volume);
}

bool skinDressesWindows(const SkinDescription& skin)
{
    if (!skin.fileFound)
        return false;
    for (const SkinWindowData* window : {&skin.main, &skin.volume, &skin.playlist}) {
        if (!window->picture || readSkinPicture(*window->picture).isNull())
            return false;
    }
    return true;
}

}  // namespace velmora
