#include "playlist/adding/natural_order.h"

#include <QCollatorSortKey>

#include <algorithm>
#include <vector>

namespace velmora {

namespace {
QLocale collationLocale()
{
    const QLocale locale;
    if (locale.language() == QLocale::C)
        return QLocale(QLocale::English, QLocale::UnitedStates);
    return locale;
}
}  // namespace

NaturalOrder::NaturalOrder() : collator_(collationLocale())
{
    collator_.setNumericMode(true);
    collator_.setCaseSensitivity(Qt::CaseInsensitive);
}

int NaturalOrder::compare(const QString& a, const QString& b) const
{
    const int c = collator_.compare(a, b);
    if (c != 0)
        return c;
    return a.compare(b);
}

void NaturalOrder::sort(QStringList& names) const
{
    if (names.size() < 2)
        return;
    // Sort keys make each comparison a byte compare; worth it past a few names.
    struct Keyed {
        QCollatorSortKey key;
        QString name;
    };
    std::vector<Keyed> keyed;
    keyed.reserve(static_cast<size_t>(names.size()));
    for (QString& name : names) {
        QCollatorSortKey key = collator_.sortKey(name);
        keyed.push_back({std::move(key), std::move(name)});
    }
    std::sort(keyed.begin(), keyed.end(), [](const Keyed& x, const Keyed& y) {
        const int c = x.key.compare(y.key);
        return c != 0 ? c < 0 : x.name.compare(y.name) < 0;
    });
    for (qsizetype i = 0; i < names.size(); ++i)
        names[i] = std::move(keyed[static_cast<size_t>(i)].name);
}

}  // namespace velmora
