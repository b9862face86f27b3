#pragma once
// The play-list view: the catalogue's FILES table as a sortable table of one
// line per record, and the commands that play, open and delete its lines.
#include "platform/dao/DaoDatabase.h"
#include "platform/framework/View.h"
#include "platform/listctrl/ListCtrlTypes.h"
#include "playlist/MissingFiles.h"

#include <QString>

#include <functional>

class CDao_PlayList;
class CDocument;
class CListCtrl;
class CLumarestDoc;
class FilterBox;
class QMenu;

class CListView_Table : public CView, private CListCtrlListener {
    Q_OBJECT
public:
    CListView_Table();
    ~CListView_Table() override;

    // Makes the report-style list control that fills the view: several lines
    // selectable, the selection shown without focus.
    bool PreCreateWindow();
    void OnInitialUpdate() override;
    // Fills the table again from the catalogue; leaves it as it is when the
    // catalogue is empty. False when nothing was filled.
    bool FillList();
    // Writes the text into the message pane of the main frame's status bar.
    void ShowStatusText(const QString& text);

    // Notifications of the list control.
    void OnColumnClick(int column) override;
    void OnItemChanged(int item) override;
    void OnDblClk(int item) override;
    void OnKeyDown(unsigned nChar, unsigned nRepCnt, unsigned nFlags) override;
    void OnRButtonDown(QPoint point) override;
    void OnKillFocus() override;
    void OnKillFocus(QWidget* newFocus) override;

    // Commands.
    void OnPlaySelected();
    // Opens the line's file in a new player window; null when none opened.
    CDocument* OpenLine(int line);
    void OnDeleteSelected();
    void OnDeleteAll();
    void OnSelectAll();
    // Writes the selected lines' files as an M3U8 play list where the user says.
    void OnSaveSelection();
    // Ctrl+F: the filter box shows above the table with the keyboard in it.
    void OpenFilter();
    // Escape in the box: every line shown again, the box gone, the table keyed.
    void CloseFilter();
    // The lines whose name or folder hold the box's text, the others hidden.
    void ApplyFilter();
    QString FilterText() const;

    // Stands in for the user at the context menu (tests): given the menu and
    // the screen point where it opens, returns the chosen command, 0 for none.
    // An empty chooser restores the real popup. Returns the one it replaces.
    using MenuChooser = std::function<UINT(QMenu& menu, QPoint globalPos)>;
    static MenuChooser SetMenuChooser(MenuChooser chooser);
    // Stands in for the user at the save dialog (tests): given the suggested
    // folder, returns the file chosen, empty for none. Returns the one it replaces.
    using SaveFileChooser = std::function<QString(const QString& folder)>;
    static SaveFileChooser SetSaveFileChooser(SaveFileChooser chooser);

    // The list control, from construction on (m_pCListCtrl is set at initial update).
    CListCtrl* ListCtrl() const { return m_pList; }
    // True while a status-line text waits for the next event-loop turn.
    bool IsStatusTextPending() const { return m_bStatusPending; }

    int m_nCurrentLine = -1; // the line last reported changed; -1: none
    QString m_strText;
    CLumarestDoc* m_pCLumarestDoc = nullptr;
    CListCtrl* m_pCListCtrl = nullptr;

private:
    CDao_PlayList* Catalogue() const;
    void InsertColumns();
    void FillLines(int count);
    // Takes the lines of another play-list window whose lines are still those
    // of a fill from the catalogue as it is now; false when there is none.
    bool ShareFillOfAnotherWindow(const CDaoDatabase::ChangeStamp& stamp, int count);
    void RenumberLines();
    // " Lines shown: n of m", m counting the lines the filter hides.
    void ShowShownCount();
    using LinesDeletion = void (CDao_PlayList::*)(CListCtrl&, const QString&, const QString&);
    void DeleteLines(LinesDeletion deletion);
    void SortByColumn(int column);
    void FlushStatusText();
    void ShowIdleTextIfActive();
    void RegisterCommands();
    UINT ChooseFromMenu(QMenu& menu, QPoint globalPos);

    CListCtrl* m_pList = nullptr;     // child widget
    FilterBox* m_pFilter = nullptr;   // child widget
    playlist::MissingFiles m_missing; // lines drawn greyed
    int m_nStatusLine = 0;
    int m_nStatusCount = 0;
    bool m_bStatusPending = false;
    // The catalogue's state when the lines were last filled whole, and the
    // lines' version just after: while both hold, another window may share them.
    CDaoDatabase::ChangeStamp m_fillStamp;
    uint64_t m_nFillVersion = 0;
    bool m_bFillWhole = false;
};
