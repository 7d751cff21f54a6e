#include "dialog/DialogEntry.h"

#include "dialog/Form2.h"

namespace tavello {

void ShowSettingsDialog(const Services& services) {
    auto* form = new Form2(services);
    form->setAttribute(Qt::WA_DeleteOnClose);
    form->Form_Load();
    form->show();
}

}  // namespace tavello
