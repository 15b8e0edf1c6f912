#pragma once

namespace corvane {

class MainWindow;
class LineSettingsDialog;
class CustomerEntryForm;
class CallLogQueryForm;
class CustomerQueryForm;
class RingDialog;
class HelpWindow;

// The windows created once at start-up and alive until the end, by the names
// the rest of the program knows them by.
struct AppWindows
{
    MainWindow *Frm_main = nullptr;
    LineSettingsDialog *Frm_sz = nullptr;
    CustomerEntryForm *Form3 = nullptr;
    CallLogQueryForm *Form5 = nullptr;
    CustomerQueryForm *Form7 = nullptr;
    RingDialog *Form8 = nullptr;
    HelpWindow *Form10 = nullptr;
};

AppWindows &windows();

// Creates the stores and the windows in their fixed order; destroys them
// in the reverse order.
void createWindows();
void destroyWindows();

} // namespace corvane
