#pragma once
// SkinDescription: a skin's "skin.ini" read into plain data, nothing else.
//
// Every value is optional: a key that is missing, empty or does not convert
// to its kind stays unset, and the loader then leaves that one target as it
// was. Pictures are full paths (folder + value, "\" read as "/"); whether a
// picture loads is decided when the windows are dressed. Radii and window
// offsets are already rounded to whole pixels (halves to even); places and
// sizes keep their fractions. No widgets, no threads: plain values.

#include "settings/profile_document.h"
#include "skin/skin_keys.h"

#include <QString>

#include <array>
#include <cstdint>
#include <optional>

namespace velmora {

struct SkinWindowData {
    std::optional<QString> picture;  // background picture (full path)
    std::optional<double> width, height;
    std::optional<int> radius;
    std::optional<int> offsetX, offsetY;  // volume and playlist windows only
    friend bool operator==(const SkinWindowData&, const SkinWindowData&) = default;
};

struct SkinElementData {
    std::optional<QString> picture;  // full path
    std::optional<double> left, top;
    friend bool operator==(const SkinElementData&, const SkinElementData&) = default;
};

struct SkinLabelData {
    std::optional<double> pointSize;
    std::optional<std::uint32_t> colour;  // as stored: blue * 65536 + green * 256 + red
    std::optional<double> left, top;
    friend bool operator==(const SkinLabelData&, const SkinLabelData&) = default;
};

struct SkinListData {
    std::optional<double> left, top, width, height;
    std::optional<std::uint32_t> currentColour;  // "playlistlistcolor3"
    std::optional<double> pointSize;             // "playlistlistsize"
    std::optional<std::uint32_t> colour;         // "playlistlistcolor": file rows
    std::optional<std::uint32_t> groupColour;    // "playlistlistcolor2"
    friend bool operator==(const SkinListData&, const SkinListData&) = default;
};

struct SkinDescription {
    bool fileFound = false;  // "skin.ini" exists in the folder
    std::optional<QString> name;
    SkinWindowData main, volume, playlist;
    // In the order of kSkinElements.
    std::array<SkinElementData, kSkinElements.size()> elements{};
    // CurrentTime, Time (the order of kSkinLabels).
    std::array<SkinLabelData, kSkinLabels.size()> labels{};
    SkinListData list;

    const SkinElementData& element(std::string_view name) const;
    friend bool operator==(const SkinDescription&, const SkinDescription&) = default;
};

// The skin folder as used everywhere: "/" separators and a final "/".
QString normalizeSkinFolder(const QString& folder);

// Reads every key of the skin table from the parsed "skin.ini" of a skin
// folder. Never fails: what cannot be read stays unset.
SkinDescription parseSkinDescription(const ProfileDocument& ini, const QString& folder);

// Index of an element in kSkinElements, or -1.
int skinElementIndex(std::string_view name);

}  // namespace velmora
