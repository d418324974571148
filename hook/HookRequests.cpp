#include "hook/HookRequests.h"

#include "hook/HookSharedData.h"

DWORD DispatchHookRequest(const dervaneMsg_t& request) {
  switch (request.code) {
    case HOOKMSG_APPLY_SETTINGS:
    case HOOKMSG_LOAD_POSITIONS:
    case HOOKMSG_LOAD_SHORTCUTS:
    case HOOKMSG_SAVE_POSITIONS:
    case HOOKMSG_SAVE_SHORTCUTS:
    case HOOKMSG_ICONIFY_POSITIONS:
    case HOOKMSG_ICONIFY_SHORTCUTS:
    case HOOKMSG_RELOAD_HIDE_RULES:
    case HOOKMSG_SCREEN_CHANGED:
    default:
      return 0;
  }
}

bool FilterListViewMessage(HWND, UINT, WPARAM, LPARAM, LRESULT*) { return false; }

void ObserveListViewNotification(LPARAM) {}
