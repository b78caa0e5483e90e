#pragma once
// What the options dialog changes outside itself. Every control of the
// dialog writes its setting and then calls one of these, so the change is
// seen at once. The program implements them with the tray icon, the
// toolbar, the skinned windows and the file type table; tests with fakes.
//
// All calls come on the UI thread, from the dialog's control handlers; none
// may block. Failures are the implementation's to skip silently.

#include <QString>
#include <QStringList>

namespace velmora {

// The three windows whose opacity the dialog sets.
enum class SeeThroughWindow { Main, Volume, Playlist };

class OptionsEffects {
public:
    virtual ~OptionsEffects() = default;

    // Adds or removes the notification-area icon.
    virtual void ShowTrayIcon(bool show) = 0;
    // Whether the desktop has a notification area to show it in.
    virtual bool trayAvailable() const = 0;
    // Docks or removes the toolbar.
    virtual void ShowToolbar(bool show) = 0;
    // Whole-window opacity in percent (10..100 from the dialog).
    virtual void SetOpacity(SeeThroughWindow window, int percent) = 0;
    // Dresses the windows with the skin in folder (ending in "/"). A folder
    // whose skin cannot dress them (no readable "skin.ini", a window picture
    // that does not load) changes nothing and gives false.
    virtual bool LoadSkin(const QString& folder) = 0;
    // The "Name" of the skin the windows wear now.
    virtual QString skinName() const = 0;
};

// The file type table as the "Типы файлов" page uses it: read access and
// the edits. Entries are numbered 1..count(); every edit keeps the stored
// table, the icons and the desktop's associations in step.
class FileTypeOperations {
public:
    virtual ~FileTypeOperations() = default;

    virtual int count() const = 0;
    virtual QString name(int n) const = 0;
    // Full path of entry n's current icon picture (may not exist).
    virtual QString icon(int n) const = 0;
    // The program holds the extension.
    virtual bool checked(int n) const = 0;
    // The MIME types that marking entry n claims on the desktop (several
    // extensions may share one).
    virtual QStringList mimeTypes(int n) const = 0;

    // Appends a type and takes it over; refused text adds nothing.
    virtual void AddFileType(const QString& text) = 0;
    // Gives entry n back and removes it; later entries move up.
    virtual void RemoveFileType(int n) = 0;
    virtual void ReplaceTypeIcon(int n, const QString& sourceFile) = 0;
    virtual void RestoreTypeIcon(int n) = 0;
    virtual void AssociateType(int n) = 0;
    virtual void DissociateType(int n) = 0;
};

}  // namespace velmora
