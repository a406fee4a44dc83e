#pragma once
#include <QDialog>
#include <string>

namespace quilvane {

// The program's own properties window of a file or folder: name, folder, type, size,
// modification time, permissions and owner.
class PropertiesDialog : public QDialog {
    Q_OBJECT
public:
    PropertiesDialog(QWidget* parent, const std::string& path);
};

}  // namespace quilvane
