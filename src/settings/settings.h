#pragma once
// Settings: typed access to the SettingsStore through the key table.
//
// Readers convert the stored text to the form the key has; text that does
// not convert gives the key's default. Writers produce the key's form:
// "True"/"False", "0"/"1", decimal digits, or a decimal fraction with ".".
// Fractions are read with "." or ",". UI thread only.

#include "settings/settings_keys.h"
#include "settings/settings_store.h"

#include <optional>

namespace velmora {

class Settings {
public:
    explicit Settings(SettingsStore& store) : store_(store) {}

    QString text(const SettingKey& key) const;
    QString text(const SettingKey& key, const QString& computedDefault) const;
    int whole(const SettingKey& key) const;
    int whole(const SettingKey& key, int computedDefault) const;
    double fraction(const SettingKey& key) const;
    double fraction(const SettingKey& key, double computedDefault) const;
    // True for "True" (any case) or a non-zero number.
    bool flag(const SettingKey& key) const;
    bool isStored(const SettingKey& key) const;

    void setText(const SettingKey& key, const QString& value);
    void setWhole(const SettingKey& key, int value);
    void setFraction(const SettingKey& key, double value);
    void setFlag(const SettingKey& key, bool value);
    // Coalesced write for values changed many times a second.
    void setWholeSoon(const SettingKey& key, int value);
    void remove(const SettingKey& key);

    SettingsStore& store() { return store_; }
    const SettingsStore& store() const { return store_; }

    // Conversions shared with other readers of stored text.
    static std::optional<double> parseNumber(const QString& text);
    static QString formatFraction(double value);

private:
    SettingsStore& store_;
};

}  // namespace velmora
