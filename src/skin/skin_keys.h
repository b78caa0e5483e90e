#pragma once
// The complete key table of a skin description ("skin.ini"), as data, and
// the conversions of its value kinds. Every key lives in section "Skin"
// (any letter case). The loader walks these tables in their order.

#include <QString>

#include <array>
#include <cstdint>
#include <optional>
#include <string_view>

namespace velmora {

inline constexpr std::string_view kSkinSection = "Skin";
inline constexpr std::string_view kSkinFileName = "skin.ini";

enum class SkinValueKind {
    Text,    // used unchanged
    File,    // picture file relative to the skin folder
    Pixels,  // decimal number; fractions kept for places and sizes
    Points,  // font size in points
    Colour,  // 0..16777215, decimal or "&H" + hex; red in the low byte
};

enum class SkinWindow { Main, Volume, Playlist };

struct SkinKey {
    std::string_view name;
    SkinValueKind kind;
};

// Window keys in the order the loader reads them.
namespace skinkey {
inline constexpr SkinKey Name{"Name", SkinValueKind::Text};
inline constexpr SkinKey Main{"Main", SkinValueKind::File};
inline constexpr SkinKey MainWidth{"MainWidth", SkinValueKind::Pixels};
inline constexpr SkinKey MainHeight{"MainHeight", SkinValueKind::Pixels};
inline constexpr SkinKey MainRadius{"MainRadius", SkinValueKind::Pixels};
inline constexpr SkinKey Volume{"Volume", SkinValueKind::File};
inline constexpr SkinKey VolumeWidth{"VolumeWidth", SkinValueKind::Pixels};
inline constexpr SkinKey VolumeHeight{"VolumeHeight", SkinValueKind::Pixels};
inline constexpr SkinKey VolumeRadius{"VolumeRadius", SkinValueKind::Pixels};
inline constexpr SkinKey Volumex{"Volumex", SkinValueKind::Pixels};
inline constexpr SkinKey Volumey{"Volumey", SkinValueKind::Pixels};
inline constexpr SkinKey Playlist{"playlist", SkinValueKind::File};
inline constexpr SkinKey PlaylistWidth{"playlistWidth", SkinValueKind::Pixels};
inline constexpr SkinKey PlaylistHeight{"playlistheight", SkinValueKind::Pixels};
inline constexpr SkinKey PlaylistRadius{"playlistRadius", SkinValueKind::Pixels};
inline constexpr SkinKey Playlistx{"playlistx", SkinValueKind::Pixels};
inline constexpr SkinKey Playlisty{"playlisty", SkinValueKind::Pixels};
inline constexpr SkinKey ListLeft{"playlistlistleft", SkinValueKind::Pixels};
inline constexpr SkinKey ListTop{"playlistlisttop", SkinValueKind::Pixels};
inline constexpr SkinKey ListWidth{"playlistlistwidth", SkinValueKind::Pixels};
inline constexpr SkinKey ListHeight{"playlistlistheight", SkinValueKind::Pixels};
inline constexpr SkinKey ListColorCurrent{"playlistlistcolor3", SkinValueKind::Colour};
inline constexpr SkinKey ListSize{"playlistlistsize", SkinValueKind::Points};
inline constexpr SkinKey ListColor{"playlistlistcolor", SkinValueKind::Colour};
inline constexpr SkinKey ListColorGroup{"playlistlistcolor2", SkinValueKind::Colour};
}  // namespace skinkey

// One skin image element: its name in the code and its picture key (the
// position keys are the picture key + "left" and + "top"), and what the
// window gives it before any state is known: its tool-tip and whether it
// starts enabled.
struct SkinElementKey {
    SkinWindow window;
    std::string_view element;
    std::string_view picture;
    const char* toolTip;  // UTF-8, nullptr: none
    bool enabledAtStart;
};

inline constexpr std::array<SkinElementKey, 30> kSkinElements{{
    {SkinWindow::Main, "Play", "play", "Воспроизведение", false},
    {SkinWindow::Main, "Pause", "pause", "Пауза", false},
    {SkinWindow::Main, "Stop", "stop", "Стоп", false},
    {SkinWindow::Main, "Back", "back", "Перемотка назад", false},
    {SkinWindow::Main, "Forward", "forward", "Перемотать вперед", false},
    {SkinWindow::Main, "StepBack", "stepback", "Предыдущий клип", false},
    {SkinWindow::Main, "StepForward", "stepforward", "Следующий клип", false},
    {SkinWindow::Main, "Close", "close", "Закрыть программу", true},
    {SkinWindow::Main, "Minimize", "minimize", "Свернуть окно", true},
    {SkinWindow::Main, "Menu", "menu", "Меню", true},
    {SkinWindow::Main, "SliderPlay", "sliderplay", "Позиция", false},
    {SkinWindow::Main, "SliderPlayBack", "sliderplayback", nullptr, true},
    {SkinWindow::Volume, "BalanceLeft", "balanceleft", "Баланс влево", true},
    {SkinWindow::Volume, "BalanceRight", "balanceright", "Баланс вправо", true},
    {SkinWindow::Volume, "VolumeLeft", "volumeleft", "Уменьшить громкость", true},
    {SkinWindow::Volume, "VolumeRight", "volumeright", "Увеличить громкость", true},
    {SkinWindow::Volume, "SliderBalance", "sliderbalance", "Баланс", true},
    {SkinWindow::Volume, "SliderVolume", "slidervolume", "Громкость", true},
    {SkinWindow::Volume, "SliderBalanceBack", "sliderbalanceback", nullptr, true},
    {SkinWindow::Volume, "SliderVolumeBack", "slidervolumeback", nullptr, true},
    {SkinWindow::Playlist, "Plus", "plus", "Добавить клип...", true},
    {SkinWindow::Playlist, "Minus", "minus", "Удалить клип", true},
    {SkinWindow::Playlist, "Up", "up", "Переместить вверх", true},
    {SkinWindow::Playlist, "Down", "down", "Переместить вниз", true},
    {SkinWindow::Playlist, "ScrollUp", "scrollup", "Вверх", false},
    {SkinWindow::Playlist, "ScrollDown", "scrolldown", "Вниз", false},
    {SkinWindow::Playlist, "Scroll", "scroll", nullptr, false},
    {SkinWindow::Playlist, "ScrollBack", "scrollback", nullptr, true},
    {SkinWindow::Playlist, "Save", "save", "Сохранить список воспроизведения", true},
    {SkinWindow::Playlist, "Untree", "untree", "Удалить информацию о вложенности", true},
}};

// The main window's two time labels: size (points), colour, left, top.
struct SkinLabelKeys {
    std::string_view label;
    std::string_view size, colour, left, top;
};
inline constexpr std::array<SkinLabelKeys, 2> kSkinLabels{{
    {"CurrentTime", "currenttimesize", "currenttimecolor", "currenttimeleft", "currenttimetop"},
    {"Time", "timesize", "timecolor", "timeleft", "timetop"},
}};

// Conversions of the value kinds; nullopt when the text does not convert.
// Numbers: optional sign, digits, and a fraction after "." or ",".
std::optional<double> parseSkinNumber(const QString& text);
// Colours: decimal or "&H" + hex, 0..16777215.
std::optional<std::uint32_t> parseSkinColour(const QString& text);
// A skin colour (blue * 65536 + green * 256 + red) as 0xRRGGBB.
constexpr std::uint32_t skinColourToRgb(std::uint32_t c)
{
    return ((c & 0xFF) << 16) | (c & 0xFF00) | ((c >> 16) & 0xFF);
}

QString skinString(std::string_view v);

}  // namespace velmora
