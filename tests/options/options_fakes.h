#pragma once
// Fakes of what the options dialog acts on, noting every call.

#include "options/options_effects.h"
#include "support/test_support.h"

#include <QFileDialog>
#include <QStringList>

#include <gtest/gtest.h>

#include <utility>
#include <vector>

namespace velmora::test {

class FakeEffects : public OptionsEffects {
public:
    void ShowTrayIcon(bool show) override { calls << QStringLiteral("tray %1").arg(show); }
    bool trayAvailable() const override { return hasTray; }
    void ShowToolbar(bool show) override { calls << QStringLiteral("toolbar %1").arg(show); }
    void SetOpacity(SeeThroughWindow window, int percent) override { opacity.emplace_back(window, percent); }
    bool LoadSkin(const QString& folder) override
    {
        calls << QStringLiteral("skin ") + folder;
        if (!skinLoads)
            return false;
        name = nextName;
        return true;
    }
    QString skinName() const override { return name; }

    bool hasTray = true;
    bool skinLoads = true;
    QString name = QStringLiteral("Old skin");
    QString nextName = QStringLiteral("New skin");
    QStringList calls;
    std::vector<std::pair<SeeThroughWindow, int>> opacity;
};

// A table that behaves as the real one does on the page's calls.
class FakeFileTypes : public FileTypeOperations {
public:
    struct Entry {
        QString name, icon;
        bool checked = false;
    };

    int count() const override { return static_cast<int>(entries.size()); }
    QString name(int n) const override { return at(n).name; }
    QString icon(int n) const override { return at(n).icon; }
    bool checked(int n) const override { return at(n).checked; }
    QStringList mimeTypes(int n) const override { return {QStringLiteral("audio/x-") + at(n).name}; }

    void AddFileType(const QString& text) override
    {
        calls << QStringLiteral("add ") + text;
        if (text.isEmpty())
            return;
        for (const Entry& e : entries) {
            if (e.name == text)
                return;
        }
        entries.push_back({text, {}, true});
    }
    void RemoveFileType(int n) override
    {
        calls << QStringLiteral("remove %1").arg(n);
        entries.erase(entries.begin() + (n - 1));
    }
    void ReplaceTypeIcon(int n, const QString& file) override { calls << QStringLiteral("icon %1 ").arg(n) + file; }
    void RestoreTypeIcon(int n) override { calls << QStringLiteral("default icon %1").arg(n); }
    void AssociateType(int n) override
    {
        calls << QStringLiteral("associate %1").arg(n);
        entries[static_cast<std::size_t>(n - 1)].checked = true;
    }
    void DissociateType(int n) override
    {
        calls << QStringLiteral("dissociate %1").arg(n);
        entries[static_cast<std::size_t>(n - 1)].checked = false;
    }

    std::vector<Entry> entries;
    QStringList calls;

private:
    const Entry& at(int n) const { return entries.at(static_cast<std::size_t>(n - 1)); }
};

// Picks `file` (empty: cancels) in the file dialog `name` that `owner`
// opened, as a user would.
inline void chooseInFileDialog(QWidget& owner, const char* name, const QString& file)
{
    QFileDialog* dialog = nullptr;
    ASSERT_TRUE(waitFor([&] {
        // An earlier dialog may linger hidden until its deletion.
        for (QFileDialog* d : owner.findChildren<QFileDialog*>(QString::fromLatin1(name))) {
            if (d->isVisible())
                dialog = d;
        }
        return dialog != nullptr;
    }));
    QDialog& asDialog = *dialog;  // accept() is public there
    if (file.isEmpty()) {
        asDialog.reject();
        return;
    }
    dialog->selectFile(file);
    asDialog.accept();
}

}  // namespace velmora::test
