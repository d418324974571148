// A progress dialog held in its work, for a screenshot of its collapsed
// look: the status given, the bar at four tenths, until Cancel or the end of
// the program (tests/harness/ShotTimers.h).
#pragma once

#include <windows.h>

#include <string>

template <typename Dialog> class CHeldProgressDlg : public Dialog {
public:
    using Dialog::Dialog;
    std::string status;

protected:
    void RunWork() override
    {
        this->SetStatus(status.c_str());
        this->SetProgressRange(10);
        for (int i = 0; i < 4; ++i)
            this->StepProgress();
        MSG msg = {};
        while (!this->IsCancelled() && GetMessageA(&msg, nullptr, 0, 0) > 0) {
            if (!IsDialogMessageA(this->GetHwnd(), &msg)) {
                TranslateMessage(&msg);
                DispatchMessageA(&msg);
            }
        }
    }
};
