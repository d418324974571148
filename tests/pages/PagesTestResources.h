// Resources of the page tests beside the pages' own.
#pragma once

#define IDD_TEST_BLANK 900
