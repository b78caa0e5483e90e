#pragma once
// FileTypes: the table of the file types the program handles (section "File
// Types" of the settings, entries numbered densely from 1) with its edits,
// the associations of its entries, and the media pattern by which folders
// are searched for clips. This is the facade the options dialog uses.
//
// Entry n of the table always matches the keys "<n> name", "<n> icon",
// "<n> checked" and "<n> type" of the settings; every edit keeps both in
// step and ends by letting the desktop know (ShellRegistration::commit).
// Icon steps never stop an edit; failures are skipped silently.
//
// UI thread only. Settings, shell and icons outlive the object.

#include <QString>

#include <functional>
#include <vector>

namespace velmora {

class Settings;
class ShellRegistration;
class TypeIcons;

struct FileTypeEntry {
    QString name;  // the extension without the dot
    QString icon;  // full path of the icon picture
    bool checked = false;  // the program holds the extension
    bool operator==(const FileTypeEntry&) const = default;
};
using FileTypeTable = std::vector<FileTypeEntry>;  // entry n at [n - 1]

class FileTypes {
public:
    FileTypes(Settings& settings, ShellRegistration& shell, TypeIcons& icons);

    // Start-up: writes the default table (and registers its classes) when
    // none is stored, brings the desktop's files up to date with the class
    // root, writes the folder verb, reads the table and recomputes
    // every checked mark from the desktop, builds the media pattern.
    void LoadFileTypes();
    // Appends a type and takes it over at once. Text that is empty, equal
    // to an entry's name apart from case or unfit for a name
    // (file_type_name.h) adds nothing; a leading "." is dropped.
    void AddFileType(const QString& text);
    // Gives entry n (1-based) back, removes its class and icons, and moves
    // the later entries up. Out of range: nothing.
    void RemoveFileType(int n);
    // Entry n's current icon becomes the picture in sourceFile.
    void ReplaceTypeIcon(int n, const QString& sourceFile);
    // Entry n's current icon becomes its factory icon again.
    void RestoreTypeIcon(int n);
    // Takes extension n over (the earlier handler is saved once as its
    // type), or gives it back (only while the program still holds it). A
    // take-over the desktop could not record leaves the entry unchecked
    // and says so in the log.
    void AssociateType(int n);
    void DissociateType(int n);

    int count() const { return static_cast<int>(table_.size()); }
    const FileTypeEntry& entry(int n) const { return table_[static_cast<size_t>(n - 1)]; }
    const FileTypeTable& table() const { return table_; }
    // "*.<name>" per entry, in table order, joined by ";".
    const QString& MediaPattern() const { return mediaPattern_; }
    // Called whenever the media pattern changes (add, remove, load).
    void setPatternHandler(std::function<void(const QString& pattern)> handler) { onPattern_ = std::move(handler); }

private:
    QString read(int n, const char* field) const;
    void write(int n, const char* field, const QString& value);
    void writeCount(int count);
    void writeDefaults();
    void rebuildPattern();
    bool inRange(int n) const { return n >= 1 && n <= count(); }

    Settings& settings_;
    ShellRegistration& shell_;
    TypeIcons& icons_;
    FileTypeTable table_;
    QString mediaPattern_;
    std::function<void(const QString&)> onPattern_;
};

}  // namespace velmora
