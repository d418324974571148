#include "pages/FeaturePage.h"

#include "pages/PageHelp.h"

INT_PTR CFeaturePage::DialogProc(UINT msg, WPARAM wp, LPARAM lp)
{
    if ((msg == WM_HELP || msg == WM_CONTEXTMENU) && HandleContextHelp(GetHwnd(), GetTemplateId(), msg, wp, lp))
        return TRUE;
    return CPropertyPage::DialogProc(msg, wp, lp);
}
