#pragma once
// The options dialog's controls as data: which setting each check box and
// slider stands for, with its caption, and the few rules that are not a
// plain "write the value". No widgets; the dialog builds its pages from
// these tables.

#include "options/options_effects.h"
#include "settings/settings_keys.h"

#include <QString>

#include <array>

namespace velmora {

struct CheckBoxControl {
    const char* name;  // the control's object name
    const char* caption;  // with "&" before the mnemonic letter
    SettingKey key;
};

// The check boxes of the "Проигрыватель" page, in their order.
inline constexpr std::array<CheckBoxControl, 7> kCheckBoxes{{
    {"AutoPlay", "Автоматически начинать &играть после открытия", keys::AutoPlay},
    {"AutoNext", "Автоматически переходить к &следующему клипу", keys::AutoNext},
    {"AutoClose",
     "Автоматически &закрывать программу после воспроизведения файлов, открытых из файлового менеджера.",
     keys::AutoClose},
    {"NotClose", "&Не закрывать программу (работает быстрее, но расходует ресурсы)", keys::NotClose},
    {"Tray", "&Показывать иконку в system tray", keys::Tray},
    {"Toolbar", "Показывать панель &управления программой", keys::Toolbar},
    {"RestoreList", "&Восстанавливать список воспроизведения при запуске", keys::RestoreList},
}};

struct SliderControl {
    const char* name;
    const char* label;
    SettingKey key;
    SeeThroughWindow window;
};

// The three opacity sliders of the "Вид" page.
inline constexpr std::array<SliderControl, 3> kSliders{{
    {"Main", "&Главное окно:", keys::MainTransparanted, SeeThroughWindow::Main},
    {"Volume", "Громкость/&баланс:", keys::VolumeTransparanted, SeeThroughWindow::Volume},
    {"Playlist", "&Список воспроизведения:", keys::PlaylistTransparanted, SeeThroughWindow::Playlist},
}};

inline constexpr int kOpacityMinimum = 10;
inline constexpr int kOpacityMaximum = 100;
inline constexpr int kOpacitySmallStep = 1;
inline constexpr int kOpacityLargeStep = 5;

// A stored opacity as the slider can show it.
int sliderOpacity(int stored);

// The skin folder of a chosen "skin.ini": its folder with a final "/".
QString skinFolderOfChosenFile(const QString& chosenFile);

// The check box another one's change sets, and to what: "NotClose" on needs
// the tray icon, "Tray" off cannot keep "NotClose". Null name: none.
struct CoupledChange {
    const char* name = nullptr;
    bool value = false;
};
CoupledChange coupledChange(const SettingKey& changed, bool value);

}  // namespace velmora
