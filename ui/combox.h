#pragma once
// The program's own drop-down selector: an edit field, a "▼" button and a list
// that opens over the whole main window (a list inside a slot would be cut off at
// the slot's edge) at a top edge the owner gives in main-window twips.
#include <QStringList>
#include <QWidget>
#include <cstdint>

class QLineEdit;
class QListWidget;
class QPushButton;
class QTimer;

namespace keeprun {

class ucf_combox : public QWidget {
    Q_OBJECT
  public:
    explicit ucf_combox(QWidget* parent = nullptr);
    ~ucf_combox() override;

    // Top edge of the open list, in main-window twips.
    void a_zb_top(std::int32_t zb) { zb_ = zb; }
    // Replaces the items with `zd` and shows zd[Index]; an Index outside `zd`
    // throws std::out_of_range after the list was filled and the field emptied.
    void a_add_zd(const QStringList& zd, int Index);
    void a_add_one(const QString& vstr);
    // Shows item `Index`; above 32767 throws std::overflow_error, an index
    // outside the list leaves the field as it is.
    void a_set_index(std::int32_t Index);
    // The edit field's text without surrounding blanks.
    QString a_txt() const;
    int a_Count() const;
    // Item `Index`; "" outside the list. Above 32767 throws std::overflow_error.
    QString a_list_txt(std::int32_t Index) const;
    void BackColor(std::int32_t ys);
    void ForeColor(std::int32_t ys);

    bool is_open() const;
    void open_list();
    void close_list();

  protected:
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void choose(int row);
    void lay_out();

    std::int32_t zb_ = 0;
    QLineEdit* T_dd_;
    QPushButton* C_xiala_;
    QListWidget* Listdi_list_;
    QTimer* Timer1_;
};

} // namespace keeprun
