#pragma once

namespace corvane {

class MainWindow;
class DataModule;

// The objects created once at start-up and alive until the end, by the names
// the rest of the program knows them by.
struct AppWindows
{
    MainWindow *Frm_main = nullptr;
    DataModule *dm = nullptr;
};

AppWindows &windows();

// Creates the windows and the data module in their fixed order; destroys them
// in the reverse order.
void createWindows();
void destroyWindows();

} // namespace corvane
