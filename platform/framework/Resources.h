#pragma once
// The program's resources as tables: menus, toolbars, accelerators, string
// table and icons, each under its numeric identifier. The program installs its
// tables once at start-up; frames, templates and dialogs look them up here.
#include "platform/framework/FrameworkIds.h"

#include <QIcon>
#include <QKeySequence>
#include <QString>

#include <map>
#include <vector>

struct MenuItemDef {
    enum class Kind { Command, Separator, Popup, RecentFiles, WindowList, CommandList };
    Kind kind = Kind::Command;
    UINT id = 0;
    QString text;
    std::vector<MenuItemDef> items; // a popup's entries

    static MenuItemDef Command(UINT id, QString text) {
        return {Kind::Command, id, std::move(text), {}};
    }
    static MenuItemDef Separator() { return {Kind::Separator, 0, {}, {}}; }
    static MenuItemDef Popup(QString text, std::vector<MenuItemDef> items) {
        return {Kind::Popup, 0, std::move(text), std::move(items)};
    }
    // The recent-file list: its entries take the place of this item.
    static MenuItemDef RecentFiles(QString text) {
        return {Kind::RecentFiles, ID_FILE_MRU_FILE1, std::move(text), {}};
    }
    // Entries the command's update handler lists (CCmdUI::AddItem) as the menu is about to
    // show take the place of this item; it shows, greyed, while there are none.
    static MenuItemDef CommandList(UINT id, QString emptyText) {
        return {Kind::CommandList, id, std::move(emptyText), {}};
    }
};

struct MenuDef {
    std::vector<MenuItemDef> popups;
};

struct ToolbarDef {
    QSize buttonSize;
    std::vector<UINT> buttons; // ID_SEPARATOR for a gap
};

struct AcceleratorDef {
    QKeySequence key;
    UINT id;
};

class CResources {
public:
    std::map<UINT, MenuDef> menus;
    std::map<UINT, ToolbarDef> toolbars;
    std::map<UINT, std::vector<AcceleratorDef>> accelerators;
    std::map<UINT, QString> strings;
    std::map<UINT, QIcon> icons; // by command for toolbar buttons, by resource for windows

    const MenuDef* FindMenu(UINT id) const;
    const ToolbarDef* FindToolbar(UINT id) const;
    QString LoadString(UINT id) const; // empty when absent
    QIcon LoadIcon(UINT id) const;
    // A command's status-bar prompt and tool tip: the string under its id, split at "\n".
    QString Prompt(UINT id) const;
    QString ToolTip(UINT id) const;
};

// The resources of this process.
CResources& AfxResources();
