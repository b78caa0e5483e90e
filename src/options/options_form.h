#pragma once
// OptionsForm: the options dialog, captioned "Опции". Three pages on the
// tab strip OptionsTab: "Проигрыватель" (seven check boxes), "Вид" (three
// opacity sliders and the skin) and "Типы файлов" (FileTypesPage). There is
// no OK or Cancel: each control writes its setting the moment it changes
// and applies it through OptionsEffects. Setting the controls when the
// dialog is made only shows the stored values and writes nothing.
//
// Coupling: turning "NotClose" on turns "Tray" on (Close only hides the
// windows, the tray icon brings them back); turning "Tray" off turns
// "NotClose" off. Slider values go through the settings' coalescing writer,
// so a drag sets the opacity continuously without a disk write per step.
//
// The skin is chosen with a file dialog filtered to "skin.ini" that does
// not block the other windows. A folder whose skin cannot dress the windows
// changes nothing: the old skin stays, "Skin" keeps its folder.
//
// Life: made when the video window's menu item opens it, deleted when the
// user or the program closes it (closeEvent stores "OptionsLeft" and
// "OptionsTop" and emits closed()). Losing activation to a window that is
// not its own file dialog sends it behind the other windows. UI thread
// only; settings and the interfaces outlive the dialog.

#include "options/option_controls.h"
#include "options/options_effects.h"

#include <QPointer>
#include <QWidget>

#include <array>

class QCheckBox;
class QFileDialog;
class QLabel;
class QLineEdit;
class QPushButton;
class QSlider;
class QTabWidget;

namespace velmora {

class FileTypesPage;
class Settings;
struct CheckBoxControl;
struct SliderControl;

class OptionsForm : public QWidget {
    Q_OBJECT
public:
    struct Options {
        QString defaultSkinFolder;  // "Skin" when none is stored, ending in "/"
    };

    OptionsForm(Settings& settings, OptionsEffects& effects, FileTypeOperations& fileTypes, Options options,
                QWidget* parent = nullptr);
    ~OptionsForm() override;

    QTabWidget& tabs() { return *tabs_; }
    QCheckBox& checkBox(const char* name);
    QSlider& slider(SeeThroughWindow window);
    QLabel& theme() { return *theme_; }
    QLineEdit& themePath() { return *themePath_; }
    QPushButton& themeSelect() { return *themeSelect_; }
    FileTypesPage& typesPage() { return *typesPage_; }

signals:
    void closed();

protected:
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    QWidget* buildPlayerPage();
    QWidget* buildLookPage();
    void showStoredValues();
    void checkBoxChanged(const CheckBoxControl& control, bool on);
    void sliderChanged(const SliderControl& control, int percent);
    void chooseSkin();
    void skinChosen(const QString& file);

    Settings& settings_;
    OptionsEffects& effects_;
    Options options_;
    QTabWidget* tabs_ = nullptr;
    std::array<QCheckBox*, kCheckBoxes.size()> checkBoxes_{};
    std::array<QSlider*, 3> sliders_{};
    QLabel* theme_ = nullptr;
    QLineEdit* themePath_ = nullptr;
    QPushButton* themeSelect_ = nullptr;
    QPointer<QFileDialog> skinSelect_;
    FileTypesPage* typesPage_ = nullptr;
};

}  // namespace velmora
