#include "settings/settings.h"

#include <cmath>
#include <optional>

namespace velmora {

namespace {
QString str(std::string_view v)
{
    return QString::fromUtf8(v.data(), static_cast<qsizetype>(v.size()));
}
}  // namespace

QString fileTypeKey(int n, std::string_view field)
{
    return QString::number(n) + QLatin1Char(' ') + str(field);
}

QString rememberedPositionKey(const QString& entryText, long long lengthSeconds)
{
    return entryText + QLatin1Char('@') + QString::number(lengthSeconds);
}

std::optional<double> Settings::parseNumber(const QString& text)
{
    QString t = text.trimmed();
    t.replace(QLatin1Char(','), QLatin1Char('.'));
    bool ok = false;
    const double v = t.toDouble(&ok);
    if (!ok || !std::isfinite(v))
        return std::nullopt;
    return v;
}

QString Settings::formatFraction(double value)
{
    return QString::number(value, 'g', 15);
}

QString Settings::text(const SettingKey& key) const
{
    return text(key, str(key.defaultText));
}

QString Settings::text(const SettingKey& key, const QString& computedDefault) const
{
    return store_.get(str(key.section), str(key.name), computedDefault);
}

int Settings::whole(const SettingKey& key) const
{
    return whole(key, str(key.defaultText).toInt());
}

int Settings::whole(const SettingKey& key, int computedDefault) const
{
    const QString t = store_.get(str(key.section), str(key.name));
    if (t.isNull())
        return computedDefault;
    const auto v = parseNumber(t);
    if (!v || *v < -2147483648.0 || *v > 2147483647.0)
        return computedDefault;
    return static_cast<int>(std::lround(*v));
}

double Settings::fraction(const SettingKey& key) const
{
    return fraction(key, parseNumber(str(key.defaultText)).value_or(0.0));
}

double Settings::fraction(const SettingKey& key, double computedDefault) const
{
    const QString t = store_.get(str(key.section), str(key.name));
    if (t.isNull())
        return computedDefault;
    return parseNumber(t).value_or(computedDefault);
}

bool Settings::flag(const SettingKey& key) const
{
    const QString t = store_.get(str(key.section), str(key.name), str(key.defaultText)).trimmed();
    if (t.compare(QLatin1String("true"), Qt::CaseInsensitive) == 0)
        return true;
    if (t.compare(QLatin1String("false"), Qt::CaseInsensitive) == 0)
        return false;
    const auto v = parseNumber(t);
    return v && *v != 0.0;
}

bool Settings::isStored(const SettingKey& key) const
{
    return !store_.get(str(key.section), str(key.name)).isNull();
}

void Settings::setText(const SettingKey& key, const QString& value)
{
    store_.save(str(key.section), str(key.name), value);
}

void Settings::setWhole(const SettingKey& key, int value)
{
    store_.save(str(key.section), str(key.name), QString::number(value));
}

void Settings::setWholeSoon(const SettingKey& key, int value)
{
    store_.saveSoon(str(key.section), str(key.name), QString::number(value));
}

void Settings::setFraction(const SettingKey& key, double value)
{
    store_.save(str(key.section), str(key.name), formatFraction(value));
}

void Settings::setFlag(const SettingKey& key, bool value)
{
    QString text;
    if (key.form == SettingForm::TrueFalse)
        text = value ? QStringLiteral("True") : QStringLiteral("False");
    else
        text = value ? QStringLiteral("1") : QStringLiteral("0");
    store_.save(str(key.section), str(key.name), text);
}

void Settings::remove(const SettingKey& key)
{
    store_.deleteKey(str(key.section), str(key.name));
}

}  // namespace velmora
