#pragma once
// ShellRegistration: the program's file classes, the extensions' handlers
// and the folder verb "Play clips", written into the class root
// (class_root.h), which carries them onto the desktop.
//
// Class "vlmr4_<name>file": "DefaultIcon" = the icon path and
// "shell\open\command" = the command that opens the selected files.
// Extension ".<name>": its default value names the handler (the class name
// while the program holds the extension). Folder verb: "Folder\shell\Play
// clips\command". Every failure is silent. UI thread only.

#include "shell/class_root.h"

#include <QString>

namespace velmora {

class SettingsStore;

class ShellRegistration {
public:
    // program: the program the commands start (the front program).
    ShellRegistration(ClassRoot& root, QString program);

    void RegisterFileClass(const QString& name, const QString& iconPath);
    // Deletes the class key bottom-up; the extension key is left alone.
    void UnregisterFileClass(const QString& name);
    // True exactly when the extension's handler is the program's class
    // (compared with case).
    bool IsTypeAssociated(const QString& name) const;
    void WriteFolderVerb();
    void RemoveFolderVerb();

    // The default value of ".<name>": the extension's handler now.
    QString extensionHandler(const QString& name) const;
    void setExtensionHandler(const QString& name, const QString& handler);
    // The icon's pictures changed under the same path: the desktop shows
    // the new ones.
    void refreshIcon(const QString& name, const QString& iconPath);
    // Brings the desktop's files up to date with the class root, the record.
    void refreshDesktop() { root_.projectAll(); }
    // Ends a batch of changes: the class root reaches its file and the
    // desktop's caches are told.
    void commit();

    static QString className(const QString& name);
    // The open command: the program, quoted, and the selected paths.
    QString command() const;
    ClassRoot& root() { return root_; }

private:
    ClassRoot& root_;
    QString program_;
};

// The maintenance verbs' clean-up, in order: each stored type the program
// holds is given back its earlier handler (one another program took since
// is left alone), its record and its class removed; the program's settings
// are deleted; the folder verb goes. The class root's file goes last, and
// with it the settings folder when nothing else is left in it.
void UndoShellRegistration(SettingsStore& store, ShellRegistration& shell);

}  // namespace velmora
