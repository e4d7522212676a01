#pragma once
// The program's own drop-down selector: an edit field, a "▼" button and a list
// that opens over the whole main window (a list inside a slot would be cut off at
// the slot's edge) at a top edge the owner gives in main-window twips.
#include <QStringList>
#include <QWidget>
#include <cstdint>

class QLineEdit;
class QListView;
class QPushButton;
class QStringListModel;
class QTimer;

namespace keeprun {

class DropDownBox : public QWidget {
    Q_OBJECT
  public:
    explicit DropDownBox(QWidget* parent = nullptr);
    ~DropDownBox() override;

    // Top edge of the open list, in main-window twips.
    void set_list_top(std::int32_t twips) { list_top_ = twips; }
    // Replaces the items with `items` and shows items[index]; an index outside `items`
    // throws std::out_of_range after the list was filled and the field emptied.
    // The box keeps `items` itself, so boxes given the same list share its texts.
    void set_items(const QStringList& items, int index);
    void add_item(const QString& text);
    // Shows item `index`; above 32767 throws std::overflow_error, an index
    // outside the list leaves the field as it is.
    void select_index(std::int32_t index);
    // The edit field's text without surrounding blanks.
    QString text() const;
    int count() const;
    // Item `index`; "" outside the list. Above 32767 throws std::overflow_error.
    QString item_text(std::int32_t index) const;
    void set_back_colour(std::int32_t colour);
    void set_fore_colour(std::int32_t colour);

    bool is_open() const;
    void open_list();
    void close_list();

  protected:
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void choose(int row);
    void lay_out();

    std::int32_t list_top_ = 0;
    QLineEdit* edit_;
    QPushButton* drop_button_;
    QStringListModel* items_;
    QListView* item_list_;
    QTimer* layout_timer_;
};

} // namespace keeprun
