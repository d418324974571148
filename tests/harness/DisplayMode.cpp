// DisplayMode WIDTH HEIGHT: changes the display of the desktop it runs on
// (a Wine virtual desktop, for tests) and exits with the result of
// ChangeDisplaySettingsA (0 = DISP_CHANGE_SUCCESSFUL; 2 = bad arguments).
#include <windows.h>

#include <cstdio>
#include <cstdlib>

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: DisplayMode WIDTH HEIGHT\n");
        return 2;
    }
    int width = std::atoi(argv[1]);
    int height = std::atoi(argv[2]);
    if (width <= 0 || height <= 0 || width > 16384 || height > 16384) {
        std::fprintf(stderr, "DisplayMode: bad size %s x %s\n", argv[1], argv[2]);
        return 2;
    }
    DEVMODEA mode = {};
    mode.dmSize = sizeof(mode);
    mode.dmPelsWidth = static_cast<DWORD>(width);
    mode.dmPelsHeight = static_cast<DWORD>(height);
    mode.dmFields = DM_PELSWIDTH | DM_PELSHEIGHT;
    LONG result = ChangeDisplaySettingsA(&mode, 0);
    std::printf("ChangeDisplaySettingsA %dx%d: %ld, screen now %dx%d\n", width, height, result,
                GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN));
    // Negative results (DISP_CHANGE_BADMODE = -2, ...) as exit codes 100 + n.
    return result >= 0 ? static_cast<int>(result) : 100 - static_cast<int>(result);
}
