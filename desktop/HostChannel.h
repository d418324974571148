// The kernel objects of one desktop host's query channel (see
// DesktopHostProtocol.h), held alike by the host that makes them and by a
// client that opens them.
#pragma once

#include "framework/ScopedHandles.h"

struct HostChannel {
    ScopedHandle mapping;  // of the shared block
    ScopedMapView view;  // the shared block itself
    ScopedHandle request;  // event: a request is written
    ScopedHandle answer;  // event: its answer is written
    ScopedHandle lock;  // mutex: one client at a time
};
