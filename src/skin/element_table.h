#pragma once
// The tool-tips and starting states of the skin image elements. They belong
// to the windows, not to the skin. Internal to the skin library.

#include <array>
#include <string_view>

namespace velmora {

struct ElementLook {
    std::string_view element;
    const char* toolTip;  // UTF-8, nullptr: none
    bool enabledAtStart;
};

inline constexpr std::array<ElementLook, 30> kElementLooks{{
    {"Play", "Воспроизведение", false},
    {"Pause", "Пауза", false},
    {"Stop", "Стоп", false},
    {"Back", "Перемотка назад", false},
    {"Forward", "Перемотать вперед", false},
    {"StepBack", "Предыдущий клип", false},
    {"StepForward", "Следующий клип", false},
    {"Close", "Закрыть программу", true},
    {"Minimize", "Свернуть окно", true},
    {"Menu", "Меню", true},
    {"SliderPlay", "Позиция", false},
    {"SliderPlayBack", nullptr, true},
    {"BalanceLeft", "Баланс влево", true},
    {"BalanceRight", "Баланс вправо", true},
    {"VolumeLeft", "Уменьшить громкость", true},
    {"VolumeRight", "Увеличить громкость", true},
    {"SliderBalance", "Баланс", true},
    {"SliderVolume", "Громкость", true},
    {"SliderBalanceBack", nullptr, true},
    {"SliderVolumeBack", nullptr, true},
    {"Plus", "Добавить клип...", true},
    {"Minus", "Удалить клип", true},
    {"Up", "Переместить вверх", true},
    {"Down", "Переместить вниз", true},
    {"ScrollUp", "Вверх", false},
    {"ScrollDown", "Вниз", false},
    {"Scroll", nullptr, false},
    {"ScrollBack", nullptr, true},
    {"Save", "Сохранить список воспроизведения", true},
    {"Untree", "Удалить информацию о вложенности", true},
}};

}  // namespace velmora
