// The options dialog's costs: opening it (every page filled, 34 file types
// with their icons) and one step of an opacity slider while dragged (the
// setting written through the coalescing writer, the window's opacity set).
//   build/bench/options_bench   (offscreen; QT_QPA_PLATFORM=xcb for a real X server)

#include "options/options_form.h"
#include "options/option_controls.h"
#include "settings/settings.h"

#include <QCoreApplication>
#include <QImage>
#include <QSlider>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

using namespace velmora;

namespace {

class WindowEffects : public OptionsEffects {
public:
    void ShowTrayIcon(bool) override {}
    bool trayAvailable() const override { return true; }
    void ShowToolbar(bool) override {}
    void SetOpacity(SeeThroughWindow, int percent) override { window.setWindowOpacity(percent / 100.0); }
    bool LoadSkin(const QString&) override { return true; }
    QString skinName() const override { return QStringLiteral("Bench"); }
    QWidget window;
};

class Table : public FileTypeOperations {
public:
    explicit Table(const QString& folder)
    {
        QImage picture(48, 48, QImage::Format_ARGB32);
        picture.fill(Qt::darkCyan);
        for (int n = 1; n <= 34; ++n) {
            names << QStringLiteral("ext%1").arg(n);
            icons << folder + QStringLiteral("/ext%1.png").arg(n);
            picture.save(icons.back());
        }
    }
    int count() const override { return static_cast<int>(names.size()); }
    QString name(int n) const override { return names[n - 1]; }
    QStringList mimeTypes(int n) const override { return {QStringLiteral("audio/x-") + names[n - 1]}; }
    QString icon(int n) const override { return icons[n - 1]; }
    bool checked(int n) const override { return n % 3 == 0; }
    void AddFileType(const QString&) override {}
    void RemoveFileType(int) override {}
    void ReplaceTypeIcon(int, const QString&) override {}
    void RestoreTypeIcon(int) override {}
    void AssociateType(int) override {}
    void DissociateType(int) override {}
    QStringList names, icons;
};

struct Fixture {
    QTemporaryDir dir;
    SettingsStore store{dir.filePath(QStringLiteral("settings.ini"))};
    Settings settings{store};
    WindowEffects effects;
    Table table{dir.path()};
};

void BM_OpenOptionsDialog(benchmark::State& state)
{
    Fixture f;
    for (auto _ : state) {
        OptionsForm form(f.settings, f.effects, f.table, {QStringLiteral("/skin/")});
        form.show();
        QCoreApplication::processEvents();
        benchmark::DoNotOptimize(form.isVisible());
    }
}
BENCHMARK(BM_OpenOptionsDialog)->Unit(benchmark::kMillisecond);

void BM_OpacitySliderDragStep(benchmark::State& state)
{
    Fixture f;
    f.effects.window.show();
    OptionsForm form(f.settings, f.effects, f.table, {QStringLiteral("/skin/")});
    QSlider& slider = form.slider(SeeThroughWindow::Main);
    slider.setSliderDown(true);
    int v = kOpacityMinimum;
    for (auto _ : state) {
        v = v == kOpacityMaximum ? kOpacityMinimum : v + 1;
        slider.setSliderPosition(v);
    }
    slider.setSliderDown(false);
    f.store.flush();
}
BENCHMARK(BM_OpacitySliderDragStep)->Unit(benchmark::kMicrosecond);

}  // namespace
