#pragma once
// SkinListView: the playlist window's list area (`Playlist`) as the skin
// styles it: no header, no frame, no scroll bars (the window's own skin
// elements scroll), the cut-out of the window picture as its background,
// the skin's font size, and one text colour per row (file, group or current
// colour). Two columns: the entry's text with its check box, and its time.
//
// The list shows exactly the rows it is given; rows are numbered from 1,
// as the playlist's projection numbers them. While `measuring()` is true
// (the skin loader counting how many rows fit) clicks and keys are ignored.
// UI thread only; owned by PlaylistForm.

#include <QPixmap>
#include <QString>
#include <QTreeWidget>

#include <cstdint>

namespace velmora {

struct ListRow {
    bool checked = true;
    QString text;      // indentation + the entry's text
    QString timeText;  // "HH:MM:SS" or empty
    std::uint32_t rgb = 0;  // 0xRRGGBB
};

class SkinListView : public QTreeWidget {
    Q_OBJECT
public:
    explicit SkinListView(QWidget* parent = nullptr);

    int rowCount() const { return topLevelItemCount(); }
    // The list gets exactly this many rows (new ones empty, checked).
    void setRowCount(int rows);
    // Writes both columns, the check box and the colour of row `row` (1-based).
    void setRow(int row, const ListRow& content);
    ListRow row(int row) const;
    void setRowColour(int row, std::uint32_t rgb);
    std::uint32_t rowColour(int row) const;
    bool rowChecked(int row) const;
    // The 1-based row under a point of the list, or 0.
    int rowAt(QPoint point) const;

    // Gives an in-place editor of the row the row's text colour on the
    // list's own ground, so that what is typed reads as the row did.
    void styleEditor(QWidget& editor, int row) const;

    // The picture the list shows behind its rows.
    void setBackgroundPicture(const QPixmap& picture);
    const QPixmap& backgroundPicture() const { return background_; }

    // Font size in points (the face is the program's list face).
    void setPointSize(double points);

    void setMeasuring(bool on) { measuring_ = on; }
    bool measuring() const { return measuring_; }

protected:
    bool viewportEvent(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    QTreeWidgetItem* itemOfRow(int row) const;
    QPixmap background_;
    bool measuring_ = false;
};

// The list's font face: a sans-serif that the bootstrap installs.
QString listFontFamily();

}  // namespace velmora
