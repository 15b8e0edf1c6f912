#include "records/pickcustomer.h"

#include "desktop/modalshow.h"
#include "records/customerpicker.h"
#include "widgets/buttonedit/buttonedit.h"

#include <memory>

namespace corvane {

void pickCustomerInto(QWidget *owner, CustomerStore &customers, ButtonEdit *box)
{
    const auto picker = std::make_unique<CustomerPicker>(customers, owner);
    if (execModal(*picker) == int(ModalResult::Ok))
        box->setText(picker->chosenCode());
}

} // namespace corvane
