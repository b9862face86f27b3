#include "platform/framework/Resources.h"

const MenuDef* CResources::FindMenu(UINT id) const {
    auto it = menus.find(id);
    return it == menus.end() ? nullptr : &it->second;
}

const ToolbarDef* CResources::FindToolbar(UINT id) const {
    auto it = toolbars.find(id);
    return it == toolbars.end() ? nullptr : &it->second;
}

QString CResources::LoadString(UINT id) const {
    auto it = strings.find(id);
    return it == strings.end() ? QString() : it->second;
}

QIcon CResources::LoadIcon(UINT id) const {
    auto it = icons.find(id);
    return it == icons.end() ? QIcon() : it->second;
}

QString CResources::Prompt(UINT id) const {
    return LoadString(id).section(QLatin1Char('\n'), 0, 0);
}

QString CResources::ToolTip(UINT id) const {
    const QString s = LoadString(id);
    return s.contains(QLatin1Char('\n')) ? s.section(QLatin1Char('\n'), 1) : QString();
}

CResources& AfxResources() {
    static CResources resources;
    return resources;
}
