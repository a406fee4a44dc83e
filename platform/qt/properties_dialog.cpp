#include "platform/qt/properties_dialog.h"

#include <QDateTime>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLocale>
#include <grp.h>
#include <pwd.h>
#include <sys/stat.h>

#include "platform/paths.h"
#include "platform/qt/qtext.h"

namespace quilvane {
namespace {

QString kindText(const struct stat& st) {
    if (S_ISDIR(st.st_mode)) return QStringLiteral("文件夹");
    if (S_ISLNK(st.st_mode)) return QStringLiteral("符号链接");
    if (S_ISREG(st.st_mode)) return QStringLiteral("文件");
    return QStringLiteral("特殊文件");
}

QString permissionText(mode_t mode) {
    const char* letters = "rwxrwxrwx";
    QString text;
    for (int bit = 0; bit < 9; ++bit) text += (mode & (0400 >> bit)) ? QChar(letters[bit]) : QChar('-');
    return text;
}

QString ownerText(const struct stat& st) {
    const passwd* user = ::getpwuid(st.st_uid);
    const group* grp = ::getgrgid(st.st_gid);
    return QStringLiteral("%1 / %2")
        .arg(user ? QString::fromLocal8Bit(user->pw_name) : QString::number(st.st_uid),
             grp ? QString::fromLocal8Bit(grp->gr_name) : QString::number(st.st_gid));
}

}  // namespace

PropertiesDialog::PropertiesDialog(QWidget* parent, const std::string& path) : QDialog(parent) {
    setWindowTitle(QStringLiteral("属性"));
    auto* form = new QFormLayout(this);
    form->addRow(QStringLiteral("名称："), new QLabel(displayQ(fileNameOf(path))));
    form->addRow(QStringLiteral("位置："), new QLabel(displayQ(folderOf(path))));
    struct stat st {};
    if (::lstat(path.c_str(), &st) == 0) {
        form->addRow(QStringLiteral("类型："), new QLabel(kindText(st)));
        form->addRow(QStringLiteral("大小："),
                     new QLabel(QStringLiteral("%1 字节").arg(static_cast<qlonglong>(st.st_size))));
        const auto modified = QDateTime::fromSecsSinceEpoch(st.st_mtim.tv_sec);
        form->addRow(QStringLiteral("修改时间："),
                     new QLabel(QLocale().toString(modified, QLocale::LongFormat)));
        form->addRow(QStringLiteral("权限："), new QLabel(permissionText(st.st_mode)));
        form->addRow(QStringLiteral("所有者："), new QLabel(ownerText(st)));
    } else {
        form->addRow(new QLabel(QStringLiteral("无法读取该项目的属性。")));
    }
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    form->addRow(buttons);
}

}  // namespace quilvane
