// What the user does with the play list's lines: play the selection as a
// queue, open one line, delete lines, select all; by menu, keys and the
// context menu.
#include "playlist/CListView_Table.h"

#include "app/CLumarestApp.h"
#include "app/SharedState.h"
#include "catalogue/CDao_PlayList.h"
#include "platform/dao/DaoException.h"
#include "platform/framework/DocTemplate.h"
#include "platform/framework/File.h"
#include "platform/framework/KeyState.h"
#include "platform/framework/MessageBox.h"
#include "platform/framework/Resources.h"
#include "platform/input/VirtualKeys.h"
#include "platform/listctrl/ListCtrl.h"
#include "player/CLumarestDoc.h"
#include "playlist/PlayListCells.h"
#include "res/Resource.h"

#include <QApplication>
#include <QMenu>
#include <QPointer>

namespace {
constexpr unsigned kKeyA = 0x41;
constexpr unsigned kKeyF = 0x46;

CListView_Table::MenuChooser& MenuChooserSlot() {
    static CListView_Table::MenuChooser chooser;
    return chooser;
}

QString LinePathOf(const CListCtrl& list, int line) {
    return playlist::LinePath(list.GetItemTextView(line, playlist::ColDirectory),
                              list.GetItemTextView(line, playlist::ColName));
}

// Hides the view's window while a deletion asks its question, then shows it
// again with the keyboard focus where it was. The focus is let go before the
// window hides: Qt would otherwise hand it on to some other window.
class ScopedHiddenView {
public:
    explicit ScopedHiddenView(QWidget& view) : m_view(&view) {
        QWidget* focus = QApplication::focusWidget();
        if (focus && (focus == &view || view.isAncestorOf(focus))) {
            m_focus = focus;
            focus->clearFocus();
        }
        view.hide();
    }
    ~ScopedHiddenView() {
        if (m_view)
            m_view->show();
        if (m_focus)
            m_focus->setFocus(Qt::OtherFocusReason);
    }
    ScopedHiddenView(const ScopedHiddenView&) = delete;
    ScopedHiddenView& operator=(const ScopedHiddenView&) = delete;

private:
    QPointer<QWidget> m_view;
    QPointer<QWidget> m_focus;
};

// Clears a flag for the lifetime of the object and sets it again afterwards.
class ScopedFlagOff {
public:
    explicit ScopedFlagOff(bool& flag) : m_flag(flag) { m_flag = false; }
    ~ScopedFlagOff() { m_flag = true; }
    ScopedFlagOff(const ScopedFlagOff&) = delete;
    ScopedFlagOff& operator=(const ScopedFlagOff&) = delete;

private:
    bool& m_flag;
};
} // namespace

void CListView_Table::RegisterCommands() {
    OnCommand(ID_PLAYLIST_PLAYSELECTED, [this] { OnPlaySelected(); });
    OnCommand(ID_RECORDS_PLAY, [this] { OnPlaySelected(); });
    OnCommand(ID_RECORDS_DELETE, [this] { OnDeleteSelected(); });
    OnCommand(ID_PLAYLIST_REMOVESELECTED, [this] { OnDeleteSelected(); });
    OnCommand(ID_RECORDS_DELETEALL, [this] { OnDeleteAll(); });
    OnCommand(ID_PLAYLIST_REMOVEALL, [this] { OnDeleteAll(); });
    OnCommand(ID_RECORDS_SELECTALL, [this] { OnSelectAll(); });
    OnCommand(ID_PLAYLIST_SAVESELECTION, [this] { OnSaveSelection(); });
}

void CListView_Table::OnPlaySelected() {
    const int first = m_pList->GetNextItem(-1, LVNI_SELECTED);
    if (first < 0) {
        m_strText = QStringLiteral("Please select a File(s) for play.");
        MessageBoxEx(this, m_strText, AfxGetApp() ? AfxGetApp()->m_pszAppName : QString(), MB_OK);
        return;
    }
    CLumarestApp* app = LumarestApp();
    if (!app || !app->m_pPlayerTemplate)
        return;
    auto* doc =
        dynamic_cast<CLumarestDoc*>(app->m_pPlayerTemplate->OpenDocumentFile(QString(), true));
    if (!doc)
        return;
    QStringList paths;
    std::vector<uint32_t> lines;
    for (int line = first; line >= 0; line = m_pList->GetNextItem(line, LVNI_SELECTED)) {
        paths.append(LinePathOf(*m_pList, line));
        lines.push_back(static_cast<uint32_t>(line));
    }
    m_pList->SetHotItem(static_cast<int>(lines.front()));
    doc->StartPlayQueue(paths, lines, m_pCListCtrl ? m_pCListCtrl : m_pList);
}

CDocument* CListView_Table::OpenLine(int line) {
    if (line < 0 || line >= m_pList->GetItemCount())
        return nullptr; // no line there: nothing to open
    m_strText = LinePathOf(*m_pList, line);
    const QString path = m_strText; // whole: no buffer cuts a long path short
    {
        CFile file;
        if (!file.Open(path, CFile::modeRead | CFile::shareDenyNone)) {
            m_strText = QStringLiteral("File not found: \"%1\"").arg(path);
            AfxMessageBox(m_strText, MB_OK);
            return nullptr;
        }
    }
    CLumarestApp* app = LumarestApp();
    if (!app || !app->m_pPlayerTemplate)
        return nullptr;
    return app->m_pPlayerTemplate->OpenDocumentFile(path, true);
}

void CListView_Table::OnDblClk(int item) {
    if (item < 0)
        return; // a double-click beside the lines
    ScopedFlagOff noImport(g_bImportOnOpen);
    OpenLine(item);
}

void CListView_Table::OnKeyDown(unsigned nChar, unsigned, unsigned) {
    switch (nChar) {
    case vk::VK_RETURN:
        OpenLine(m_nCurrentLine);
        break;
    case vk::VK_DELETE:
        OnDeleteSelected();
        break;
    case kKeyA:
        if (GetKeyState(vk::VK_CONTROL) < 0)
            OnSelectAll();
        break;
    case kKeyF:
        if (GetKeyState(vk::VK_CONTROL) < 0)
            OpenFilter();
        break;
    default:
        break;
    }
}

CListView_Table::MenuChooser CListView_Table::SetMenuChooser(MenuChooser chooser) {
    MenuChooser old = std::move(MenuChooserSlot());
    MenuChooserSlot() = std::move(chooser);
    return old;
}

UINT CListView_Table::ChooseFromMenu(QMenu& menu, QPoint globalPos) {
    if (MenuChooserSlot())
        return MenuChooserSlot()(menu, globalPos);
    QAction* chosen = menu.exec(globalPos);
    return chosen ? chosen->data().toUInt() : 0;
}

// The list has already handled the button (its selection); the menu comes after.
void CListView_Table::OnRButtonDown(QPoint point) {
    const MenuDef* def = AfxResources().FindMenu(IDR_RECORDS);
    if (!def || def->popups.empty() || def->popups.front().kind != MenuItemDef::Kind::Popup)
        return;
    const MenuItemDef& popup = def->popups.front();
    QMenu menu(popup.text, this);
    for (const MenuItemDef& item : popup.items) {
        if (item.kind == MenuItemDef::Kind::Separator) {
            menu.addSeparator();
        } else if (item.kind == MenuItemDef::Kind::Command) {
            QAction* action = menu.addAction(item.text);
            action->setData(item.id);
        }
    }
    const QPoint global = m_pList->mapToGlobal(point);
    if (const UINT id = ChooseFromMenu(menu, global))
        OnCmdMsg(id, nullptr);
}

void CListView_Table::OnDeleteSelected() {
    DeleteLines(&CDao_PlayList::DeleteSelectedLines);
}

void CListView_Table::OnDeleteAll() {
    DeleteLines(&CDao_PlayList::DeleteAllLines);
}

// The catalogue asks, deletes the records and removes their lines; a filter
// keeps the lines it hides, and the count of lines shown is told anew.
void CListView_Table::DeleteLines(LinesDeletion deletion) {
    CDao_PlayList* catalogue = Catalogue();
    if (!catalogue)
        return;
    const int before = m_pList->GetItemCount();
    try {
        const ScopedHiddenView hidden(*this);
        (catalogue->*deletion)(*m_pList, QStringLiteral("FILES"), QStringLiteral("ID_Files"));
    } catch (const CDaoException& e) {
        AfxMessageBox(e.m_strDescription, MB_OK | MB_ICONEXCLAMATION);
    }
    if (m_pList->GetItemCount() == before)
        return;
    m_nCurrentLine = -1; // the line it named may be gone, or another
    if (!FilterText().isEmpty())
        ShowShownCount();
}

void CListView_Table::OnSelectAll() {
    m_pList->SetItemState(-1, LVIS_SELECTED, LVIS_SELECTED);
}
