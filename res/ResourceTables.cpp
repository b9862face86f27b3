// The program's menus, toolbar, accelerators and string table.
#include "res/Resource.h"

#include "platform/framework/Resources.h"
#include "res/Icons.h"

// The help page is compiled into the program's static library, whose
// resources register only when asked to.
static void InitCompiledResources() {
    Q_INIT_RESOURCE(lumarest);
}

namespace res {
namespace {

using Item = MenuItemDef;
constexpr const char* kSaveSelection = "Save selection as\u2026";
constexpr const char* kOpenLocation = "Open &Location\u2026\tCtrl+L";

void InstallStrings(CResources& r) {
    const QString docString =
        QStringLiteral("\nLumarest\nLumarest\n\n\nLumarest.Document\nLumarest.Document");
    r.strings = {
        {IDR_MAINFRAME, QStringLiteral("Lumarest")},
        {IDR_PLAYERTYPE, docString},
        {IDR_PLAYLISTTYPE, docString},
        {AFX_IDS_APP_TITLE, QStringLiteral("Lumarest")},
        {AFX_IDS_IDLEMESSAGE, QStringLiteral(" ")},
        {ID_INDICATOR_CAPS, QStringLiteral("CAP")},
        {ID_INDICATOR_VOLUME, QStringLiteral(" ")},
        {ID_INDICATOR_NUM, QStringLiteral("NUM")},
        {ID_INDICATOR_SCRL, QStringLiteral("SCRL")},
        {ID_INDICATOR_SPEED, QStringLiteral(" ")},
        {ID_FILE_OPEN, QStringLiteral("Open an existing document\nOpen")},
        {ID_FILE_MRU_FILE1, QStringLiteral("Open this document")},
        {ID_FILE_CLOSE, QStringLiteral("Close the active document\nClose")},
        {ID_APP_EXIT, QStringLiteral("Quit the application")},
        {ID_VIEW_TOOLBAR, QStringLiteral("Show or hide the toolbar\nToggle ToolBar")},
        {ID_VIEW_STATUS_BAR, QStringLiteral("Show or hide the status bar\nToggle StatusBar")},
        {ID_VIEW_PLAYLIST, QStringLiteral("Show Play List")},
        {ID_VIEW_PARAMETERS, QStringLiteral("Show Parameters Dialog ")},
        {ID_PLAYLIST_PLAYSELECTED, QStringLiteral("Play all selected Files")},
        {ID_HELP_FINDER, QStringLiteral("List Help topics\nHelp Topics")},
        {ID_APP_ABOUT, QStringLiteral("Display program information")},
        {ID_VIEW_FULLSCREEN, QStringLiteral("Playing on a full screen")},
        {ID_VIEW_SUBTITLES, QStringLiteral("Show or hide the subtitles")},
        {ID_WINDOW_CASCADE, QStringLiteral("Cascade Windows")},
        {ID_WINDOW_TILE_HORZ, QStringLiteral("Tile Windows")},
        {ID_WINDOW_ARRANGE, QStringLiteral("Arrange icons at the bottom")},
        {ID_PLAYER_PLAY, QStringLiteral("Start playing")},
        {ID_PLAYER_PAUSE, QStringLiteral("Pause playing")},
        {ID_PLAYER_SOUND, QStringLiteral("Sound On / Off")},
        {ID_PLAYER_STARTOVER, QStringLiteral("Play from the start")},
        {ID_PLAYER_NEXTCHAPTER, QStringLiteral("Go to the next chapter")},
        {ID_PLAYER_PREVCHAPTER,
         QStringLiteral("Go back to this chapter's start, or the one before")},
        {ID_PLAYER_SAVEPICTURE, QStringLiteral("Save the picture shown in the Pictures folder")},
        {ID_PLAYER_SAVEPICTURESUBTITLED,
         QStringLiteral("Save the picture shown, with its subtitles, in the Pictures folder")},
        {ID_RECORDS_PLAY, QStringLiteral("Play selected media files")},
        {ID_RECORDS_DELETE, QStringLiteral("Delete selected lines from Table")},
        {ID_PLAYLIST_SAVESELECTION, QStringLiteral("Save the selected files as a play list")},
        {ID_FILE_OPENLOCATION,
         QStringLiteral("Play a stream from the network by its URL\nOpen Location")},
    };
}

MenuDef MainMenu() {
    return {{
        Item::Popup("&File",
                    {Item::Command(ID_FILE_OPEN, "&Open...\tCtrl+O"), Item::Separator(),
                     Item::RecentFiles("Recent File"), Item::Separator(),
                     Item::Command(ID_FILE_CLOSE, "&Close"), Item::Command(ID_APP_EXIT, "E&xit"),
                     Item::Separator(), Item::Command(ID_FILE_OPENLOCATION, kOpenLocation)}),
        Item::Popup("&View", {Item::Command(ID_VIEW_TOOLBAR, "&Toolbar"),
                              Item::Command(ID_VIEW_STATUS_BAR, "&Status Bar"), Item::Separator(),
                              Item::Command(ID_VIEW_PLAYLIST, "Play List"),
                              Item::Command(ID_VIEW_PARAMETERS, "Parameters")}),
        Item::Popup("Playlist", {Item::Command(ID_PLAYLIST_PLAYSELECTED, "Play selected"),
                                 Item::Command(ID_PLAYLIST_REMOVESELECTED, "Remove selected"),
                                 Item::Command(ID_PLAYLIST_REMOVEALL, "Remove all"),
                                 Item::Command(ID_PLAYLIST_SAVESELECTION, kSaveSelection)}),
        Item::Popup("&Help", {Item::Command(ID_HELP_FINDER, "&Help Topics"), Item::Separator(),
                              Item::Command(ID_APP_ABOUT, "&About Lumarest...")}),
    }};
}

MenuDef PlayerMenu() {
    return {{
        Item::Popup("&File", {Item::Command(ID_FILE_OPEN, "&Open...\tCtrl+O"),
                              Item::Command(ID_FILE_CLOSE, "&Close"), Item::Separator(),
                              Item::RecentFiles("Recent File"), Item::Separator(),
                              Item::Command(ID_APP_EXIT, "E&xit"), Item::Separator(),
                              Item::Command(ID_FILE_OPENLOCATION, kOpenLocation)}),
        Item::Popup("&View", {Item::Command(ID_VIEW_TOOLBAR, "&Toolbar"),
                              Item::Command(ID_VIEW_STATUS_BAR, "&Status Bar"), Item::Separator(),
                              Item::Command(ID_VIEW_FULLSCREEN, "Full screen"),
                              Item::Command(ID_VIEW_PLAYLIST, "Play List"), Item::Separator(),
                              Item::Command(ID_VIEW_SUBTITLES, "Subtitles")}),
        Item::Popup("&Window", {Item::Command(ID_WINDOW_CASCADE, "&Cascade"),
                                Item::Command(ID_WINDOW_TILE_HORZ, "&Tile"),
                                Item::Command(ID_WINDOW_ARRANGE, "&Arrange Icons"),
                                Item::Command(ID_WINDOW_CLOSEALL, "Close all"),
                                {MenuItemDef::Kind::WindowList, 0, {}, {}}}),
        Item::Popup(
            "Player",
            {Item::Command(ID_PLAYER_PLAY, "Play"), Item::Command(ID_PLAYER_PAUSE, "Pause"),
             Item::Command(ID_PLAYER_SOUND, "Sound"),
             Item::Command(ID_PLAYER_STARTOVER, "Start over"),
             Item::Command(ID_PLAYER_NEXTCHAPTER, "Next chapter"),
             Item::Command(ID_PLAYER_PREVCHAPTER, "Previous chapter"), Item::Separator(),
             Item::Popup("Sound track", {Item::CommandList(ID_PLAYER_SOUNDTRACKS, "None")}),
             Item::Popup("Subtitle track", {Item::CommandList(ID_PLAYER_SUBTITLETRACKS, "None")}),
             Item::Popup("Chapters", {Item::CommandList(ID_PLAYER_CHAPTERS, "None")}),
             Item::Separator(), Item::Command(ID_PLAYER_SAVEPICTURE, "Save picture\tS"),
             Item::Command(ID_PLAYER_SAVEPICTURESUBTITLED,
                           "Save picture with subtitles\tShift+S")}),
        Item::Popup("Playlist", {Item::Command(ID_PLAYLIST_REMOVEALL, "Remove all"),
                                 Item::Command(ID_PLAYLIST_PLAYSELECTED, "Play selected Files")}),
        Item::Popup("&Help", {Item::Command(ID_HELP_FINDER, "&Help Topics"), Item::Separator(),
                              Item::Command(ID_APP_ABOUT, "&About Lumarest...")}),
    }};
}

MenuDef RecordsMenu() {
    return {{Item::Popup("Records", {Item::Command(ID_RECORDS_PLAY, "Play"),
                                     Item::Command(ID_RECORDS_DELETE, "Delete"),
                                     Item::Command(ID_RECORDS_DELETEALL, "Delete all"),
                                     Item::Command(ID_RECORDS_SELECTALL, "Select all"),
                                     Item::Command(ID_PLAYLIST_SAVESELECTION, kSaveSelection)})}};
}

std::vector<AcceleratorDef> MainAccelerators() {
    return {
        {QKeySequence("Ctrl+N"), ID_FILE_NEW},
        {QKeySequence("Ctrl+O"), ID_FILE_OPEN},
        {QKeySequence("Ctrl+S"), ID_FILE_SAVE},
        {QKeySequence("Ctrl+P"), ID_FILE_PRINT},
        {QKeySequence("Ctrl+Z"), ID_EDIT_UNDO},
        {QKeySequence("Alt+Backspace"), ID_EDIT_UNDO},
        {QKeySequence("Ctrl+X"), ID_EDIT_CUT},
        {QKeySequence("Shift+Del"), ID_EDIT_CUT},
        {QKeySequence("Ctrl+C"), ID_EDIT_COPY},
        {QKeySequence("Ctrl+Ins"), ID_EDIT_COPY},
        {QKeySequence("Ctrl+V"), ID_EDIT_PASTE},
        {QKeySequence("Shift+Ins"), ID_EDIT_PASTE},
        {QKeySequence("F6"), ID_NEXT_PANE},
        {QKeySequence("Shift+F6"), ID_PREV_PANE},
        {QKeySequence("Shift+F1"), ID_CONTEXT_HELP},
        {QKeySequence("F1"), ID_HELP},
        {QKeySequence("Ctrl+L"), ID_FILE_OPENLOCATION},
    };
}

} // namespace

void Install(bool lookUpIconsWhenPainted) {
    InitCompiledResources();
    CResources& r = AfxResources();
    InstallStrings(r);
    r.menus = {
        {IDR_MAINFRAME, MainMenu()}, {IDR_PLAYERTYPE, PlayerMenu()}, {IDR_RECORDS, RecordsMenu()}};
    r.toolbars = {{IDR_MAINFRAME,
                   {QSize(21, 19),
                    {ID_FILE_OPEN, ID_VIEW_PLAYLIST, ID_PLAYLIST_PLAYSELECTED, ID_SEPARATOR,
                     ID_PLAYER_PLAY, ID_PLAYER_PAUSE, ID_VIEW_FULLSCREEN, ID_PLAYER_SOUND,
                     ID_SEPARATOR, ID_VIEW_PARAMETERS}}}};
    r.accelerators = {{IDR_MAINFRAME, MainAccelerators()}};
    InstallIcons(r, lookUpIconsWhenPainted);
}

QString HelpPagePath() {
    return QStringLiteral(":/help/index.html");
}

} // namespace res
