#include "form_exchange.h"

#include <QAbstractButton>
#include <QButtonGroup>

namespace FormExchange
{

void SetRadioIndex(QButtonGroup* group, int index)
{
    // An exclusive group cannot clear its last checked button.
    const bool exclusive = group->exclusive();
    group->setExclusive(false);
    for (QAbstractButton* button : group->buttons())
        button->setChecked(group->id(button) == index);
    group->setExclusive(exclusive);
}

int RadioIndex(const QButtonGroup* group)
{
    return group->checkedId();
}

} // namespace FormExchange
