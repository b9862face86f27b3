#pragma once
// The pictures of the toolbar buttons and of the windows.
class CResources;

namespace res {
void InstallIcons(CResources& resources, bool lookUpWhenPainted);
}
