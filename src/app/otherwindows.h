#pragma once

class QString;

namespace corvane {

// What the main window's commands reach beyond the main window itself: the
// windows its menus open and the customer entry form a new number goes to.
class OtherWindows
{
public:
    virtual ~OtherWindows() = default;

    virtual void showLineSettings() = 0;
    virtual void showRingSettings() = 0;
    virtual void showCustomerEntry() = 0;
    virtual void showCustomerQuery() = 0;
    virtual void showCallLog() = 0;
    virtual void showRecentCalls() = 0;
    virtual void showCallStats() = 0;
    virtual void showHelp() = 0;
    virtual void importCustomers() = 0;
    virtual void exportCustomers() = 0;
    virtual void backupDatabase() = 0;

    // "保存新号码": the entry form takes up the number as a new customer.
    virtual void enterNewNumber(const QString &number) = 0;

    // Every way out runs this first: a customer row typed and not saved is
    // saved, dropped or kept as the user answers (offerCancel: staying is one
    // of the answers; without, the row is saved when it can be). Returns
    // whether the program may end.
    virtual bool settleUnsavedEntry(bool offerCancel) = 0;
};

} // namespace corvane
