#include "settings/settings_store.h"

#include "base/atomic_save.h"
#include "settings/ini_line.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLoggingCategory>

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

Q_LOGGING_CATEGORY(lcSettings, "velmora.settings", QtWarningMsg)

namespace velmora {

namespace {

constexpr std::chrono::milliseconds kRecheckInterval{20};

// Holds an exclusive flock on the store's lock file for one save.
class FileLock {
public:
    explicit FileLock(const QString& path)
    {
        fd_ = ::open(QFile::encodeName(path).constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
        if (fd_ >= 0 && ::flock(fd_, LOCK_EX) != 0) {
            ::close(fd_);
            fd_ = -1;
        }
    }
    ~FileLock()
    {
        if (fd_ >= 0) {
            ::flock(fd_, LOCK_UN);
            ::close(fd_);
        }
    }
    bool held() const { return fd_ >= 0; }

private:
    int fd_ = -1;
};

}  // namespace

SettingsStore::SettingsStore(QString filePath) : SettingsStore(std::move(filePath), Options{}) {}

SettingsStore::SettingsStore(QString filePath, Options options)
    : filePath_(std::move(filePath)), options_(std::move(options))
{
    coalesce_.setSingleShot(true);
    coalesce_.setInterval(options_.coalesceInterval);
    connect(&coalesce_, &QTimer::timeout, this, &SettingsStore::flush);
    reload();
}

SettingsStore::~SettingsStore()
{
    flush();
}

// Escaping: names and values are written percent-encoded wherever a
// character would change how the line reads back: "%" itself, "=", "[", "]",
// ";", both quote marks, "\", every control character (line breaks
// included), and blanks at either end. Each such character is written as
// "%" and two hex digits per UTF-8 byte; everything else is written as is.
QString SettingsStore::escape(const QString& text)
{
    QString out;
    out.reserve(text.size());
    const qsizetype n = text.size();
    qsizetype firstInner = 0;
    while (firstInner < n && text.at(firstInner) == QLatin1Char(' '))
        ++firstInner;
    qsizetype lastInner = n - 1;
    while (lastInner >= firstInner && text.at(lastInner) == QLatin1Char(' '))
        --lastInner;
    for (qsizetype i = 0; i < n; ++i) {
        const QChar c = text.at(i);
        const ushort u = c.unicode();
        const bool edgeBlank = u == ' ' && (i < firstInner || i > lastInner);
        const bool special = u < 0x20 || u == 0x7f || u == '%' || u == '=' || u == '[' || u == ']'
            || u == ';' || u == '"' || u == '\'' || u == '\\';
        if (edgeBlank || special)
            out += QStringLiteral("%%1").arg(u, 2, 16, QLatin1Char('0')).toUpper();
        else
            out += c;
    }
    return out;
}

QString SettingsStore::unescape(const QString& text)
{
    if (!text.contains(QLatin1Char('%')))
        return text;
    QByteArray bytes = text.toUtf8();
    QByteArray out;
    out.reserve(bytes.size());
    auto hex = [](char c) -> int {
        if (c >= '0' && c <= '9') return c - '0';
        if (c >= 'a' && c <= 'f') return c - 'a' + 10;
        if (c >= 'A' && c <= 'F') return c - 'A' + 10;
        return -1;
    };
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        if (bytes[i] == '%' && i + 2 < bytes.size() + 0 && hex(bytes[i + 1]) >= 0 && hex(bytes[i + 2]) >= 0) {
            out += static_cast<char>(hex(bytes[i + 1]) * 16 + hex(bytes[i + 2]));
            i += 2;
        } else {
            out += bytes[i];
        }
    }
    return QString::fromUtf8(out);
}

size_t SettingsStore::NameHash::operator()(const NameView& n) const
{
    size_t h = 1469598103934665603ULL;
    auto mix = [&h](QStringView s) {
        for (QChar c : s) {
            h ^= c.toCaseFolded().unicode();
            h *= 1099511628211ULL;
        }
    };
    mix(n.section);
    h ^= 0x1f;
    h *= 1099511628211ULL;
    mix(n.key);
    return h;
}

bool SettingsStore::NameEqual::operator()(const NameView& a, const NameView& b) const
{
    return a.section.compare(b.section, Qt::CaseInsensitive) == 0
        && a.key.compare(b.key, Qt::CaseInsensitive) == 0;
}

void SettingsStore::rebuildIndex() const
{
    index_.clear();
    index_.reserve(entries_.size());
    for (size_t i = 0; i < entries_.size(); ++i)
        index_.emplace(NameView{entries_[i].section, entries_[i].key}, static_cast<qsizetype>(i));
}

FileIdentity SettingsStore::identity() const
{
    return FileIdentity::of(filePath_);
}

void SettingsStore::reloadIfChanged() const
{
    const auto now = std::chrono::steady_clock::now();
    if (now - lastCheck_ < kRecheckInterval)
        return;
    lastCheck_ = now;
    if (!(identity() == loaded_))
        reload();
}

void SettingsStore::reload() const
{
    lastCheck_ = std::chrono::steady_clock::now();
    loaded_ = identity();
    entries_.clear();
    index_.clear();
    QFile file(filePath_);
    if (file.open(QIODevice::ReadOnly)) {
        const QString text = QString::fromUtf8(file.readAll());
        QString section;
        for (QStringView raw : QStringView(text).split(QLatin1Char('\n'))) {
            const IniLine line = readIniLine(raw);
            if (line.kind == IniLine::Kind::Section) {
                section = unescape(line.name.toString());
                continue;
            }
            if (line.kind != IniLine::Kind::Key)
                continue;
            const QString key = unescape(line.name.toString());
            const QString value = unescape(line.value.toString());
            if (index_.find(NameView{section, key}) != index_.end())
                continue;  // first occurrence counts
            entries_.push_back({section, key, value});
            // The views point at the strings' shared data, which stays put
            // when entries_ grows.
            index_.emplace(NameView{entries_.back().section, entries_.back().key},
                           static_cast<qsizetype>(entries_.size() - 1));
        }
    }
    // Our own changes that have not reached the disk still hold.
    for (const Change& change : pending_)
        applyToMemory(change);
}

void SettingsStore::applyToMemory(const Change& change) const
{
    const auto it = index_.find(NameView{change.section, change.key});
    if (change.kind == ChangeKind::Set) {
        if (it != index_.end()) {
            entries_[static_cast<size_t>(it->second)].value = change.value;
        } else {
            entries_.push_back({change.section, change.key, change.value});
            index_.emplace(NameView{entries_.back().section, entries_.back().key},
                           static_cast<qsizetype>(entries_.size() - 1));
        }
        return;
    }
    if (it == index_.end())
        return;
    entries_.erase(entries_.begin() + it->second);
    rebuildIndex();
}

QString SettingsStore::get(const QString& section, const QString& key, const QString& defaultValue) const
{
    reloadIfChanged();
    const auto it = index_.find(NameView{section, key});
    if (it == index_.end())
        return defaultValue;
    return entries_[static_cast<size_t>(it->second)].value;
}

void SettingsStore::save(const QString& section, const QString& key, const QString& value)
{
    Change change{ChangeKind::Set, section, key, value};
    applyToMemory(change);
    pending_.push_back(std::move(change));
    coalesce_.stop();
    writeChanges();
}

void SettingsStore::saveSoon(const QString& section, const QString& key, const QString& value)
{
    Change change{ChangeKind::Set, section, key, value};
    applyToMemory(change);
    pending_.push_back(std::move(change));
    if (!coalesce_.isActive())
        coalesce_.start();
}

void SettingsStore::deleteKey(const QString& section, const QString& key)
{
    Change change{ChangeKind::Remove, section, key, {}};
    applyToMemory(change);
    pending_.push_back(std::move(change));
    coalesce_.stop();
    writeChanges();
}

void SettingsStore::flush()
{
    coalesce_.stop();
    if (!pending_.empty())
        writeChanges();
}

void SettingsStore::deleteApplication()
{
    coalesce_.stop();
    pending_.clear();
    const QString folder = QFileInfo(filePath_).absolutePath();
    {
        FileLock lock(folder + QStringLiteral("/settings.lock"));
        QFile::remove(filePath_);
    }
    QFile::remove(folder + QStringLiteral("/settings.lock"));
    QDir().rmdir(folder);  // only when empty
    reload();
}

bool SettingsStore::writeChanges()
{
    const QString folder = QFileInfo(filePath_).absolutePath();
    if (!QDir().mkpath(folder)) {
        qCDebug(lcSettings) << "cannot create" << folder;
        return false;
    }
    FileLock lock(folder + QStringLiteral("/settings.lock"));
    if (!lock.held()) {
        qCDebug(lcSettings) << "cannot lock" << folder;
        return false;
    }
    if (!(identity() == loaded_))
        reload();  // another copy wrote meanwhile; pending changes are re-applied

    // Group by section in first-seen order so the file stays readable.
    QByteArray text;
    std::vector<QString> order;
    QHash<QString, QString> bodies;
    for (const Entry& e : entries_) {
        const QString ls = e.section.toCaseFolded();
        auto it = bodies.find(ls);
        if (it == bodies.end()) {
            order.push_back(ls);
            it = bodies.insert(ls, QLatin1Char('[') + escape(e.section) + QStringLiteral("]\n"));
        }
        *it += escape(e.key) + QLatin1Char('=') + escape(e.value) + QLatin1Char('\n');
    }
    for (const QString& ls : order)
        text += bodies.value(ls).toUtf8() + '\n';

    AtomicSaveOptions save;
    save.mode = 0600;
    // A linked settings file (kept with the user's dotfiles) stays a link.
    save.followLinks = true;
    save.beforeRename = options_.beforeRename;
    if (!saveFileAtomically(filePath_, text, save)) {
        qCDebug(lcSettings) << "cannot replace" << filePath_;
        return false;
    }
    pending_.clear();
    loaded_ = identity();
    lastCheck_ = std::chrono::steady_clock::now();
    return true;
}

}  // namespace velmora
