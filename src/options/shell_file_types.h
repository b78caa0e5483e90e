#pragma once
// The "Типы файлов" page's operations on the program's file type table
// (shell/file_types.h), one call each. The table outlives this object.

#include "options/options_effects.h"
#include "shell/file_types.h"
#include "shell/freedesktop_files.h"

namespace velmora {

class ShellFileTypes : public FileTypeOperations {
public:
    explicit ShellFileTypes(FileTypes& types) : types_(types) {}

    int count() const override { return types_.count(); }
    QString name(int n) const override { return types_.entry(n).name; }
    QString icon(int n) const override { return types_.entry(n).icon; }
    bool checked(int n) const override { return types_.entry(n).checked; }
    QStringList mimeTypes(int n) const override { return mimeTypesForExtension(types_.entry(n).name); }

    void AddFileType(const QString& text) override { types_.AddFileType(text); }
    void RemoveFileType(int n) override { types_.RemoveFileType(n); }
    void ReplaceTypeIcon(int n, const QString& sourceFile) override { types_.ReplaceTypeIcon(n, sourceFile); }
    void RestoreTypeIcon(int n) override { types_.RestoreTypeIcon(n); }
    void AssociateType(int n) override { types_.AssociateType(n); }
    void DissociateType(int n) override { types_.DissociateType(n); }

private:
    FileTypes& types_;
};

}  // namespace velmora
