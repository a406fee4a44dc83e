#include "platform/qt/radio_group.h"

#include <QGridLayout>
#include <QRadioButton>

namespace quilvane {

TRadioGroup::TRadioGroup(QWidget* parent) : QGroupBox(parent) {
    group_.setExclusive(true);
    connect(&group_, &QButtonGroup::idToggled, this, [this](int, bool checked) {
        if (checked) emit clicked();
    });
    new QGridLayout(this);
    layout()->setContentsMargins(4, 2, 4, 2);
    layout()->setSpacing(2);
}

void TRadioGroup::setItems(const QStringList& items) {
    items_ = items;
    rebuild();
}

void TRadioGroup::setColumns(int columns) {
    columns_ = columns < 1 ? 1 : columns;
    rebuild();
}

void TRadioGroup::rebuild() {
    for (QAbstractButton* b : group_.buttons()) {
        group_.removeButton(b);
        delete b;
    }
    auto* grid = static_cast<QGridLayout*>(layout());
    const int rows = (static_cast<int>(items_.size()) + columns_ - 1) / columns_;
    for (int i = 0; i < items_.size(); ++i) {
        auto* b = new QRadioButton(items_[i], this);
        b->setObjectName(objectName() + QStringLiteral("_item%1").arg(i));
        group_.addButton(b, i);
        grid->addWidget(b, rows ? i % rows : 0, rows ? i / rows : 0);
    }
}

int TRadioGroup::itemIndex() const { return group_.checkedId(); }

void TRadioGroup::setItemIndex(int index) {
    if (QAbstractButton* b = group_.button(index)) {
        b->setChecked(true);
        return;
    }
    // Unchecking an exclusive group needs the exclusivity off for a moment.
    if (QAbstractButton* checked = group_.checkedButton()) {
        group_.setExclusive(false);
        checked->setChecked(false);
        group_.setExclusive(true);
    }
}

bool TRadioGroup::isItemChecked(int index) const {
    const QAbstractButton* b = group_.button(index);
    return b && b->isChecked();
}

QRadioButton* TRadioGroup::button(int index) const {
    return static_cast<QRadioButton*>(group_.button(index));
}

}  // namespace quilvane
