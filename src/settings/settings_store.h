#pragma once
// SettingsStore: the per-user store of every option, window place and
// remembered value, kept as one "settings.ini" in the per-user folder.
//
// Text values under (section, key); names compare without regard to case.
// Several copies of the program share the file:
//  - save() takes an exclusive flock on "settings.lock", re-reads the file if
//    another copy changed it, applies the change, writes a temporary file in
//    the same folder, fsyncs it and renames it over the old one;
//  - get() re-reads only when the file's identity, size or modification time
//    changed (checked at most every kRecheckInterval, so a cached get is a
//    hash lookup).
// A save that cannot reach the disk is not reported: the value is kept in
// memory and written with the next successful save.
//
// saveSoon() is for values that change many times a second (a dragged knob):
// memory is exact at once, the disk is written at most every 200 ms, and
// flush() (called at shutdown and by the destructor) writes what is pending.
//
// UI thread only (the coalescing timer lives on the creating thread).

#include "base/atomic_save.h"

#include <QHash>
#include <QStringView>
#include <QObject>
#include <QString>
#include <QTimer>

#include <chrono>
#include <functional>
#include <unordered_map>
#include <vector>

namespace velmora {

class SettingsStore : public QObject {
    Q_OBJECT
public:
    struct Options {
        // For tests of interrupted saves: called after the temporary file is
        // written and synced; returning false abandons the save there, as a
        // crash at that moment would.
        std::function<bool(const QString& tempPath)> beforeRename;
        std::chrono::milliseconds coalesceInterval{200};
    };

    // filePath: the settings file; its folder is created on the first save.
    explicit SettingsStore(QString filePath);
    SettingsStore(QString filePath, Options options);
    ~SettingsStore() override;

    // The stored text, or defaultValue when the key is missing.
    QString get(const QString& section, const QString& key, const QString& defaultValue = {}) const;
    // Creates section and key as needed and overwrites the value.
    void save(const QString& section, const QString& key, const QString& value);
    // Like save(), but the disk write is coalesced (see above).
    void saveSoon(const QString& section, const QString& key, const QString& value);
    // Removes one key; harmless when it does not exist.
    void deleteKey(const QString& section, const QString& key);
    // Removes every section and key: the file is deleted.
    void deleteApplication();
    // Writes values queued by saveSoon() now.
    void flush();

    const QString& filePath() const { return filePath_; }

    // Exposed for tests of the file text.
    static QString escape(const QString& text);
    static QString unescape(const QString& text);

private:
    struct Entry {
        QString section;
        QString key;
        QString value;
    };
    enum class ChangeKind { Set, Remove };
    struct Change {
        ChangeKind kind;
        QString section, key, value;
    };

    // Index of (section, key) that compares without regard to case and is
    // looked up without building a string.
    struct NameView {
        QStringView section, key;
    };
    struct NameHash {
        using is_transparent = void;
        size_t operator()(const NameView& n) const;
    };
    struct NameEqual {
        using is_transparent = void;
        bool operator()(const NameView& a, const NameView& b) const;
    };
    using Index = std::unordered_map<NameView, qsizetype, NameHash, NameEqual>;

    void rebuildIndex() const;
    FileIdentity identity() const;
    void reloadIfChanged() const;
    void reload() const;
    void applyToMemory(const Change& change) const;
    // Applies the pending changes under the lock and writes the file.
    bool writeChanges();

    QString filePath_;
    Options options_;
    // The parsed file plus our not yet written changes. mutable: get() is
    // logically const but refreshes the cache from disk.
    mutable std::vector<Entry> entries_;
    mutable Index index_;  // views into entries_
    mutable FileIdentity loaded_;
    mutable std::chrono::steady_clock::time_point lastCheck_{};
    std::vector<Change> pending_;  // not on disk yet
    QTimer coalesce_;
};

}  // namespace velmora
