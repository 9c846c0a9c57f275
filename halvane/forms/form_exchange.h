// Small exchange helpers shared by the configuration forms: radio groups
// whose index may be "none", and the on/off values held as 1 and 2.
#pragma once

#include <QtGlobal>

class QButtonGroup;
class QAbstractButton;

namespace FormExchange
{

// Checks the button with the given id (0, 1, ...); any other index leaves
// every button of the group clear.
void SetRadioIndex(QButtonGroup* group, int index);
// The id of the checked button, -1 when none is checked.
int RadioIndex(const QButtonGroup* group);

// On/off settings: 1 on, 2 off.
inline bool IsOn(quint32 value)
{
    return value == 1;
}
inline quint32 OnOff(bool on)
{
    return on ? 1 : 2;
}

} // namespace FormExchange
