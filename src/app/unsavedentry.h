#pragma once

namespace corvane {

class CustomerEntryForm;

// Before the program ends, a customer row typed into the entry form and not
// saved yet is not silently lost. With offerCancel the user is asked: save it
// (the program stays when the database refuses it), drop it, or do not end.
// Without (the tray's immediate exit) it is saved when the database takes it.
// Returns whether the program may end.
bool settleUnsavedEntry(CustomerEntryForm &form, bool offerCancel);

} // namespace corvane
