// IIconFeatures: what the other features and pages ask of the desktop icon
// features: the hide switch (the tray command "Toggle Hide Icons") and the
// hide rule of one label (the Delete page's "Recycle Bin" switch).
#pragma once

class IIconFeatures {
public:
    virtual ~IIconFeatures() = default;

    // The hide switch: kept, sent to the hook library and written.
    virtual void SetHideEnabled(bool on) = 0;
    // A rule hiding the icon of that label (kind as the rules dialog's);
    // turns the hide switch on.
    virtual void HideByLabel(const char* label, int kind) = 0;
    virtual void UnhideByLabel(const char* label) = 0;
    virtual bool HasHideRule(const char* label) const = 0;
};
