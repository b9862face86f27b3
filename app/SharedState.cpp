#include "app/SharedState.h"

int g_nSlideDelay = 1000;
bool g_bQueuePlaying = false;
bool g_bImportOnOpen = true;
RECT g_rcSlider;
int g_nSortColumn = 0;
bool g_bSortFlag = false;
