#include "pages/FeaturePage.h"

#include "pages/PageHelp.h"

CFeaturePage::CFeaturePage(const PageArgs& args, IPageHost& host)
    : CPropertyPage(args.templateId), m_host(host), m_hasPicture(args.picture != 0),
      m_picture(args.picture, args.lowColourPicture, args.picturePlace, args.pictureKey)
{
    SetOwnButtons(args.buttons);
}

int CFeaturePage::OnSetActive()
{
    if (OnActivate() && m_hasPicture)
        m_picture.Load(GetHwnd());
    return 1;
}

int CFeaturePage::OnKillActive()
{
    OnDeactivate();
    m_picture.Free();
    return 1;
}

INT_PTR CFeaturePage::DialogProc(UINT msg, WPARAM wp, LPARAM lp)
{
    if (msg == WM_PAINT && m_picture.Paint(GetHwnd()))
        return TRUE;
    if ((msg == WM_HELP || msg == WM_CONTEXTMENU) && HandleContextHelp(GetHwnd(), GetTemplateId(), msg, wp, lp))
        return TRUE;
    return CPropertyPage::DialogProc(msg, wp, lp);
}
