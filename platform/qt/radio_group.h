#pragma once
// A captioned group of exclusive radio items addressed by index, as the windows' forms
// use them: no item is checked until one is chosen, and clicked() follows every change
// of the checked item, whether the user or the program made it.
#include <QButtonGroup>
#include <QGroupBox>
#include <QStringList>

class QRadioButton;

namespace quilvane {

class TRadioGroup : public QGroupBox {
    Q_OBJECT
    Q_PROPERTY(QStringList items READ items WRITE setItems)
    Q_PROPERTY(int columns READ columns WRITE setColumns)
public:
    explicit TRadioGroup(QWidget* parent = nullptr);

    QStringList items() const { return items_; }
    void setItems(const QStringList& items);
    int columns() const { return columns_; }
    void setColumns(int columns);

    // -1 when no item is checked.
    int itemIndex() const;
    void setItemIndex(int index);
    bool isItemChecked(int index) const;
    QRadioButton* button(int index) const;

signals:
    void clicked();

private:
    void rebuild();

    QStringList items_;
    int columns_ = 1;
    QButtonGroup group_;
};

}  // namespace quilvane
