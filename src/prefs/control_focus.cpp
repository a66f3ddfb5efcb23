#include "prefs/control_focus.h"

void SetControlEnabled(HWND control, bool enable)
{
    if (!control)
        return;
    if (!enable && GetFocus() == control) {
        // The dialog that runs the keyboard: a page's is the frame around it.
        HWND dialog = GetParent(control);
        while (dialog && (GetWindowLongW(dialog, GWL_STYLE) & WS_CHILD))
            dialog = GetParent(dialog);
        if (dialog)
            SendMessageW(dialog, WM_NEXTDLGCTL, 0, FALSE);
    }
    EnableWindow(control, enable ? TRUE : FALSE);
}
