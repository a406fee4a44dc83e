#pragma once
// A header strip of captioned sections above side-by-side controls.
#include <QHeaderView>
#include <QStandardItemModel>
#include <QStringList>

namespace quilvane {

class THeaderControl : public QHeaderView {
    Q_OBJECT
    Q_PROPERTY(QStringList sections READ sections WRITE setSections)
public:
    explicit THeaderControl(QWidget* parent = nullptr);

    QStringList sections() const;
    void setSections(const QStringList& captions);

private:
    QStandardItemModel model_;
};

}  // namespace quilvane
