#include "options/options_form.h"

#include "base/window_place.h"
#include "base/rounding.h"
#include "options/file_choice.h"
#include "options/file_types_page.h"
#include "options/option_controls.h"
#include "options/options_log.h"
#include "settings/settings.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QFileDialog>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QKeySequence>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QShortcut>
#include <QSlider>
#include <QTabWidget>
#include <QVBoxLayout>

namespace velmora {

namespace {

QString text(const char* utf8) { return QString::fromUtf8(utf8); }

int slot(SeeThroughWindow window) { return static_cast<int>(window); }

}  // namespace

OptionsForm::OptionsForm(Settings& settings, OptionsEffects& effects, FileTypeOperations& fileTypes,
                         Options options, QWidget* parent)
    : QWidget(parent, Qt::Window), settings_(settings), effects_(effects), options_(std::move(options))
{
    setObjectName(QStringLiteral("OptionsForm"));
    setWindowTitle(QStringLiteral("Опции"));

    tabs_ = new QTabWidget(this);
    tabs_->setObjectName(QStringLiteral("OptionsTab"));
    tabs_->addTab(buildPlayerPage(), QStringLiteral("П&роигрыватель"));
    tabs_->addTab(buildLookPage(), QStringLiteral("&Вид"));
    typesPage_ = new FileTypesPage(fileTypes, tabs_);
    typesPage_->setObjectName(QStringLiteral("Frame2"));
    tabs_->addTab(typesPage_, QStringLiteral("&Типы файлов"));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(tabs_);

    // A dialog without OK or Cancel still closes on Escape.
    auto* escape = new QShortcut(QKeySequence::Cancel, this);
    connect(escape, &QShortcut::activated, this, &QWidget::close);

    placeFrame(*this, QPoint(roundHalfEven(settings_.fraction(keys::OptionsLeft)),
                             roundHalfEven(settings_.fraction(keys::OptionsTop))));
    showStoredValues();
}

OptionsForm::~OptionsForm() = default;

QWidget* OptionsForm::buildPlayerPage()
{
    auto* page = new QWidget;
    page->setObjectName(QStringLiteral("Frame0"));
    auto* layout = new QVBoxLayout(page);
    for (std::size_t i = 0; i < kCheckBoxes.size(); ++i) {
        const CheckBoxControl& control = kCheckBoxes[i];
        auto* box = new QCheckBox(text(control.caption), page);
        box->setObjectName(QString::fromLatin1(control.name));
        checkBoxes_[i] = box;
        layout->addWidget(box);
        connect(box, &QCheckBox::toggled, this, [this, &control](bool on) { checkBoxChanged(control, on); });
    }
    layout->addStretch(1);
    return page;
}

QWidget* OptionsForm::buildLookPage()
{
    auto* page = new QWidget;
    page->setObjectName(QStringLiteral("Frame1"));
    auto* layout = new QVBoxLayout(page);

    auto* frame = new QGroupBox(QStringLiteral("Прозрачность"), page);
    auto* sliders = new QFormLayout(frame);
    for (const SliderControl& control : kSliders) {
        auto* slider = new QSlider(Qt::Horizontal, frame);
        slider->setObjectName(QString::fromLatin1(control.name));
        slider->setRange(kOpacityMinimum, kOpacityMaximum);
        slider->setSingleStep(kOpacitySmallStep);
        slider->setPageStep(kOpacityLargeStep);
        slider->setMinimumWidth(slider->fontMetrics().horizontalAdvance(QLatin1Char('0')) * 24);
        auto* label = new QLabel(text(control.label), frame);
        label->setBuddy(slider);
        sliders->addRow(label, slider);
        sliders_[static_cast<std::size_t>(slot(control.window))] = slider;
        // valueChanged comes on every step of a drag too (tracking is on).
        connect(slider, &QSlider::valueChanged, this, [this, &control](int v) { sliderChanged(control, v); });
    }
    layout->addWidget(frame);

    auto* skin = new QGridLayout;
    auto* current = new QLabel(QStringLiteral("Текущая т&ема:"), page);
    theme_ = new QLabel(page);
    theme_->setObjectName(QStringLiteral("Theme"));
    theme_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    themePath_ = new QLineEdit(page);
    themePath_->setObjectName(QStringLiteral("ThemePath"));
    themePath_->setReadOnly(true);
    themeSelect_ = new QPushButton(QStringLiteral("..."), page);
    themeSelect_->setObjectName(QStringLiteral("ThemeSelect"));
    themeSelect_->setToolTip(QStringLiteral("Выбрать тему"));
    themeSelect_->setAccessibleName(QStringLiteral("Выбрать тему"));
    current->setBuddy(themeSelect_);
    skin->addWidget(current, 0, 0);
    skin->addWidget(theme_, 0, 1, 1, 2);
    skin->addWidget(themePath_, 1, 0, 1, 2);
    skin->addWidget(themeSelect_, 1, 2);
    skin->setColumnStretch(1, 1);
    layout->addLayout(skin);
    layout->addStretch(1);
    connect(themeSelect_, &QPushButton::clicked, this, &OptionsForm::chooseSkin);
    return page;
}

// Opening, step 2 and 3: the stored values, written nowhere.
void OptionsForm::showStoredValues()
{
    for (std::size_t i = 0; i < kCheckBoxes.size(); ++i) {
        const QSignalBlocker quiet(checkBoxes_[i]);
        checkBoxes_[i]->setChecked(settings_.whole(kCheckBoxes[i].key) != 0);
    }
    for (const SliderControl& control : kSliders) {
        QSlider* s = sliders_[static_cast<std::size_t>(slot(control.window))];
        const QSignalBlocker quiet(s);
        s->setValue(sliderOpacity(settings_.whole(control.key)));
    }
    themePath_->setText(settings_.text(keys::Skin, options_.defaultSkinFolder));
    theme_->setText(effects_.skinName());
    checkBox("NotClose").setToolTip(
        effects_.trayAvailable()
            ? QStringLiteral("Кнопка закрытия только прячет окна. Их возвращает щелчок по иконке в system tray "
                             "(на панелях, где щелчок открывает меню, — двойной щелчок) или повторный запуск "
                             "программы без файлов.")
            : QStringLiteral("Кнопка закрытия только прячет окна. Области уведомлений нет, поэтому их "
                             "возвращает повторный запуск программы без файлов."));
    typesPage_->fill();
}

QCheckBox& OptionsForm::checkBox(const char* name)
{
    for (std::size_t i = 0; i < kCheckBoxes.size(); ++i) {
        if (qstrcmp(kCheckBoxes[i].name, name) == 0)
            return *checkBoxes_[i];
    }
    Q_UNREACHABLE();
}

QSlider& OptionsForm::slider(SeeThroughWindow window) { return *sliders_[static_cast<std::size_t>(slot(window))]; }

void OptionsForm::checkBoxChanged(const CheckBoxControl& control, bool on)
{
    settings_.setFlag(control.key, on);
    if (control.key.name == keys::Tray.name)
        effects_.ShowTrayIcon(on);
    else if (control.key.name == keys::Toolbar.name)
        effects_.ShowToolbar(on);
    // The other box's own handler writes and applies its change.
    const CoupledChange coupled = coupledChange(control.key, on);
    if (coupled.name)
        checkBox(coupled.name).setChecked(coupled.value);
}

void OptionsForm::sliderChanged(const SliderControl& control, int percent)
{
    settings_.setWholeSoon(control.key, percent);
    effects_.SetOpacity(control.window, percent);
}

void OptionsForm::chooseSkin()
{
    chooseFile(*this, skinSelect_,
               {"SkinSelect", QStringLiteral("Выбрать тему"), themePath_->text(), QStringLiteral("skin.ini (skin.ini)")},
               [this](const QString& file) { skinChosen(file); });
}

// The skin is tried before anything is stored, so a folder that cannot
// dress the windows leaves them, "Skin" and the page as they were.
void OptionsForm::skinChosen(const QString& file)
{
    if (file.isEmpty())
        return;
    const QString folder = skinFolderOfChosenFile(file);
    if (!effects_.LoadSkin(folder)) {
        qCDebug(lcOptions) << "skin refused:" << folder;
        return;
    }
    settings_.setText(keys::Skin, folder);
    themePath_->setText(folder);
    theme_->setText(effects_.skinName());
}

void OptionsForm::closeEvent(QCloseEvent* event)
{
    settings_.setFraction(keys::OptionsLeft, pos().x());
    settings_.setFraction(keys::OptionsTop, pos().y());
    event->accept();
    emit closed();
}

void OptionsForm::changeEvent(QEvent* event)
{
    QWidget::changeEvent(event);
    if (event->type() != QEvent::ActivationChange || isActiveWindow() || !isVisible())
        return;
    // Only another program's window sends us back. Our own windows do not:
    // the window manager stacks them as they are clicked, and the main
    // window takes the focus back by itself when the menu that opened us
    // lets go of the keyboard, which would bury the dialog just opened.
    if (QApplication::activeWindow())
        return;
    lower();
}

}  // namespace velmora
