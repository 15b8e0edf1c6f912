#pragma once

namespace corvane {

class MainWindow;
class CallLogQueryForm;
class CustomerQueryForm;

// The windows created once at start-up and alive until the end, by the names
// the rest of the program knows them by. The data module is the global dm.
struct AppWindows
{
    MainWindow *Frm_main = nullptr;
    CallLogQueryForm *Form5 = nullptr;
    CustomerQueryForm *Form7 = nullptr;
};

AppWindows &windows();

// Creates the windows and the data module in their fixed order; destroys them
// in the reverse order.
void createWindows();
void destroyWindows();

} // namespace corvane
