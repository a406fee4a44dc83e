#pragma once
// The windows that live for the whole run, created in this order at start-up.
#include <memory>

namespace quilvane {

class TForm1;
class TSortForm;
class TV1V2Dialog;
class TForm4;

struct ApplicationWindows {
    ApplicationWindows();
    ~ApplicationWindows();

    // Opens the main window maximized.
    void showMainWindow();

    std::unique_ptr<TForm1> Form1;  // the main window: closing it ends the program
    std::unique_ptr<TSortForm> SortForm;
    std::unique_ptr<TV1V2Dialog> V1V2Dialog;
    std::unique_ptr<TForm4> Form4;
};

}  // namespace quilvane
