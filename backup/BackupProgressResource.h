// The backup progress dialog's template. Its controls are the shared
// progress controls of files/FilesResource.h.
#pragma once

#define IDD_BACKUP_PROGRESS 1700
