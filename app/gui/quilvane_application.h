#pragma once
// The application object. An error that a command does not handle itself ends that
// command, is shown in the standard error box, and the program carries on.
#include <QApplication>

namespace quilvane {

class QuilvaneApplication : public QApplication {
    Q_OBJECT
public:
    QuilvaneApplication(int& argc, char** argv);
    bool notify(QObject* receiver, QEvent* event) override;

private:
    void speakChinese();
};

}  // namespace quilvane
