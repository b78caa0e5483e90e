#pragma once
// OptionsWindow: the options dialog as the program opens it. It makes the
// OptionsForm on first show (each opening shows the stored values afresh),
// raises the one already open on a second, and deletes it when it closes.
// The dialog's effects reach the tray icon, the toolbar and the skinned
// windows; its file type page reaches the program's file type table.
// The minimise rule and the hide-to-tray path follow it through
// SkinnedWindows::setOptionsWindow. UI thread only; the parts outlive it.

#include "options/options_effects.h"
#include "options/shell_file_types.h"

#include <QObject>
#include <QPointer>

namespace velmora {

class OptionsForm;
class Settings;
class SkinnedWindows;
class Toolbar;
class TrayIcon;

class OptionsWindow : public QObject, private OptionsEffects {
    Q_OBJECT
public:
    struct Parts {
        Settings& settings;
        TrayIcon& tray;
        Toolbar& toolbar;
        SkinnedWindows& windows;
        FileTypes& fileTypes;
        QString defaultSkinFolder;
    };

    explicit OptionsWindow(Parts parts, QObject* parent = nullptr);
    ~OptionsWindow() override;

    // The video window's menu item "Опции...": shows the dialog, not modal.
    void show();
    // Close and shutdown: closes the dialog (its place is stored).
    void unload();
    // The dialog while it is loaded, else null.
    OptionsForm* form() const;

private:
    // OptionsEffects
    void ShowTrayIcon(bool show) override;
    bool trayAvailable() const override;
    void ShowToolbar(bool show) override;
    void SetOpacity(SeeThroughWindow window, int percent) override;
    bool LoadSkin(const QString& folder) override;
    QString skinName() const override;

    Parts parts_;
    ShellFileTypes fileTypes_;
    QPointer<OptionsForm> form_;
};

}  // namespace velmora
