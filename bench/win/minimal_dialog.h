#pragma once
// Resource ids of the benchmark's minimal dialog.
#define IDD_MINIMAL 100
#define IDC_MINIMAL_TEXT 1000
#define IDC_MINIMAL_BAR 1001
