#pragma once
// NaturalOrder: names in the order a file manager lists them: by the user's
// collation, ignoring case, with runs of digits compared as numbers
// ("track2" before "track10"). Names that collate equal are ordered by
// their characters, so the order is total and stable.
//
// The "C" locale collates by code points and ignores the numeric mode, so it
// is replaced by English collation. One instance per thread (QCollator is
// not shared between threads).

#include <QCollator>
#include <QString>
#include <QStringList>

namespace velmora {

class NaturalOrder {
public:
    NaturalOrder();

    // Negative, zero or positive as a sorts before, equal to or after b.
    int compare(const QString& a, const QString& b) const;
    bool operator()(const QString& a, const QString& b) const { return compare(a, b) < 0; }
    void sort(QStringList& names) const;

private:
    QCollator collator_;
};

}  // namespace velmora
