#pragma once
// Every settings key the program uses, with its section, form and default,
// in one place: callers name a key constant and never spell a key or a
// default twice. Keys whose default is computed at run time (the skin folder,
// the centred window place) carry an empty default here; their one reader
// passes the computed value.
//
// Keys built from data ("3 name" of "File Types", "<text>@<length>" of
// "Save") are made by the functions at the end.

#include <QString>

#include <string_view>

namespace velmora {

enum class SettingForm {
    Text,        // any text
    FolderPath,  // a folder, ending in "/"
    Whole,       // whole number as decimal digits
    ZeroOne,     // "0" or "1"
    TrueFalse,   // "True" or "False"
    Fraction,    // decimal number, written with "."
};

struct SettingKey {
    std::string_view section;
    std::string_view name;
    SettingForm form;
    std::string_view defaultText;
};

namespace keys {
// Section "Settings".
inline constexpr SettingKey Skin{"Settings", "Skin", SettingForm::FolderPath, ""};
inline constexpr SettingKey Volume{"Settings", "Volume", SettingForm::Whole, "100"};
inline constexpr SettingKey Balance{"Settings", "Balance", SettingForm::Whole, "50"};
inline constexpr SettingKey AutoNext{"Settings", "AutoNext", SettingForm::ZeroOne, "1"};
inline constexpr SettingKey AutoClose{"Settings", "AutoClose", SettingForm::ZeroOne, "1"};
inline constexpr SettingKey AutoPlay{"Settings", "AutoPlay", SettingForm::ZeroOne, "1"};
inline constexpr SettingKey NotClose{"Settings", "NotClose", SettingForm::ZeroOne, "0"};
inline constexpr SettingKey Tray{"Settings", "Tray", SettingForm::ZeroOne, "0"};
inline constexpr SettingKey Toolbar{"Settings", "Toolbar", SettingForm::ZeroOne, "0"};
// The playlist saved at Close and loaded at the next start ("last.pml").
inline constexpr SettingKey RestoreList{"Settings", "RestoreList", SettingForm::ZeroOne, "0"};
inline constexpr SettingKey MainTransparanted{"Settings", "MainTransparanted", SettingForm::Whole, "75"};
inline constexpr SettingKey VolumeTransparanted{"Settings", "VolumeTransparanted", SettingForm::Whole, "75"};
inline constexpr SettingKey PlaylistTransparanted{"Settings", "PlaylistTransparanted", SettingForm::Whole, "75"};
inline constexpr SettingKey VolumeOpen{"Settings", "VolumeOpen", SettingForm::TrueFalse, "False"};
inline constexpr SettingKey PlaylistOpen{"Settings", "PlaylistOpen", SettingForm::TrueFalse, "False"};
inline constexpr SettingKey OpenPath{"Settings", "OpenPath", SettingForm::FolderPath, ""};
// Written with the section spelled in small letters; it is the same section.
inline constexpr SettingKey MailslotName{"settings", "MailslotName", SettingForm::Text, ""};

// Section "Position": pixels.
inline constexpr SettingKey Left{"Position", "Left", SettingForm::Fraction, ""};
inline constexpr SettingKey Top{"Position", "Top", SettingForm::Fraction, ""};
inline constexpr SettingKey PlayLeft{"Position", "PlayLeft", SettingForm::Fraction, "0"};
inline constexpr SettingKey PlayTop{"Position", "PlayTop", SettingForm::Fraction, "0"};
inline constexpr SettingKey AddLeft{"Position", "AddLeft", SettingForm::Fraction, "0"};
inline constexpr SettingKey AddTop{"Position", "AddTop", SettingForm::Fraction, "0"};
inline constexpr SettingKey OptionsLeft{"Position", "OptionsLeft", SettingForm::Fraction, "0"};
inline constexpr SettingKey OptionsTop{"Position", "OptionsTop", SettingForm::Fraction, "0"};

// Section "File Types": the count; the numbered keys come from fileTypeKey().
inline constexpr SettingKey FileTypeCount{"File Types", "Num", SettingForm::Whole, "0"};
}  // namespace keys

inline constexpr std::string_view kFileTypesSection = "File Types";
inline constexpr std::string_view kSaveSection = "Save";

// "<n> name", "<n> type", "<n> icon", "<n> checked" of section "File Types".
QString fileTypeKey(int n, std::string_view field);
// The remembered-position key of section "Save": entry text, "@", length.
QString rememberedPositionKey(const QString& entryText, long long lengthSeconds);

}  // namespace velmora
