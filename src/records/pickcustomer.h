#pragma once

class QWidget;

namespace corvane {

class ButtonEdit;
class CustomerStore;

// Runs the customer picker for `owner`: a new picker, shown modally, which on OK
// puts the chosen code into `box`, and is destroyed afterwards on every path.
void pickCustomerInto(QWidget *owner, CustomerStore &customers, ButtonEdit *box);

} // namespace corvane
