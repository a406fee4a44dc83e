// The window's proportions and limits, the collapsible information panel, and the
// enlarged picture over the right half.

#include "app/gui/form1.h"
#include "platform/qt/picture.h"

namespace quilvane {
namespace {

constexpr int kLeftHalfLimit = 387;
constexpr int kPanelLimit = 150;
const QString kExpanded = QStringLiteral("︾");
const QString kCollapsed = QStringLiteral("︽");

}  // namespace

void TForm1::setUpLayoutRules() {
    ui.Panel2->installEventFilter(this);
    ui.Panel7->installEventFilter(this);
    // The splitters cannot make the left half wider, the bottom panel taller, or the
    // information panel taller than its limit or lower than its button; nor the left half
    // narrower than the information panel's contents (its file and tag panels side by
    // side), which the panel's layout asks for.
    ui.Panel6->setMaximumWidth(kLeftHalfLimit);
    ui.Panel7->setMinimumHeight(ui.BitBtn2->height());
    ui.Panel7->setMaximumHeight(kPanelLimit);
}

void TForm1::Panel2Resize() {
    // A limit, not a fixed width: the splitter must stay free to make the half smaller.
    const int half = ui.Panel2->width() / 2;
    ui.FileListBox1->setMaximumWidth(half);
    ui.Memo1->setMaximumWidth(half);
    ui.HeaderControl1->resizeSection(0, half);
    ui.HeaderControl1->resizeSection(1, half);
}

void TForm1::Panel7Resize() {
    ui.BitBtn2->setText(ui.Panel7->height() <= ui.BitBtn2->width() ? kCollapsed : kExpanded);
}

void TForm1::BitBtn2Click() {
    const int total = ui.Splitter3->height();
    const bool collapse = ui.BitBtn2->text() == kExpanded || ui.Panel7->height() > ui.BitBtn2->height();
    const int height = collapse ? ui.BitBtn2->height() : 190;  // 190 is held to the limit
    ui.Splitter3->setSizes({total - height, height});
    ui.BitBtn2->setText(collapse ? kCollapsed : kExpanded);
}

void TForm1::Image2DblClick() {
    ui.BitBtn3->show();
    const QImage image = loadPicture(ui.FileListBox1->selectedPath());
    if (image.isNull()) return;  // the list stays; 图像返回 restores the view
    ui.Image3->setPixmap(QPixmap::fromImage(image));
    ui.Image3->show();
    for (QWidget* w : {static_cast<QWidget*>(ui.FileListBox1), static_cast<QWidget*>(ui.HeaderControl1),
                       static_cast<QWidget*>(ui.Memo1)})
        w->hide();
}

void TForm1::BitBtn3Click() {
    ui.BitBtn3->hide();
    ui.Image3->hide();
    for (QWidget* w : {static_cast<QWidget*>(ui.FileListBox1), static_cast<QWidget*>(ui.HeaderControl1),
                       static_cast<QWidget*>(ui.Memo1)})
        w->show();
}

}  // namespace quilvane
