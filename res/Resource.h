#pragma once
// Identifiers of the program's resources and commands.
#include "platform/framework/FrameworkIds.h"

#include <QString>

// Menus, toolbar, accelerators, icons and document strings.
constexpr UINT IDR_MAINFRAME = 128;
constexpr UINT IDR_PLAYERTYPE = 129;
constexpr UINT IDR_PLAYLISTTYPE = 130;
constexpr UINT IDR_RECORDS = 139;

// Dialogs and their controls.
constexpr UINT IDD_ABOUTBOX = 100;
constexpr UINT IDD_PARAMETERS = 140;
constexpr UINT IDC_EDIT_DELAY = 1001;

// Strings.
constexpr UINT IDP_OLE_INIT_FAILED = 100;

// Commands.
constexpr UINT ID_PLAYER_PLAY = 32774;
constexpr UINT ID_PLAYER_PAUSE = 32776;
constexpr UINT ID_VIEW_FULLSCREEN = 32783;
constexpr UINT ID_VIEW_PLAYLIST = 32786;
constexpr UINT ID_PLAYLIST_REMOVEALL = 32788;
constexpr UINT ID_PLAYLIST_PLAYSELECTED = 32789;
constexpr UINT ID_PLAYER_SOUND = 32792;
constexpr UINT ID_RECORDS_DELETE = 32793;
constexpr UINT ID_RECORDS_PLAY = 32794;
constexpr UINT ID_RECORDS_DELETEALL = 32795;
constexpr UINT ID_PLAYLIST_REMOVESELECTED = 32796;
constexpr UINT ID_RECORDS_SELECTALL = 32797;
constexpr UINT ID_WINDOW_CLOSEALL = 32798;
constexpr UINT ID_VIEW_PARAMETERS = 32799;
constexpr UINT ID_VIEW_SUBTITLES = 32800;
constexpr UINT ID_PLAYLIST_SAVESELECTION = 32870;
// The lists of a player's sound and subtitle tracks, filled as their menus open.
constexpr UINT ID_PLAYER_SOUNDTRACKS = 32810;
constexpr UINT ID_PLAYER_SUBTITLETRACKS = 32811;
constexpr UINT ID_PLAYER_STARTOVER = 32850;
constexpr UINT ID_PLAYER_NEXTCHAPTER = 32851;
constexpr UINT ID_PLAYER_PREVCHAPTER = 32852;
// The list of a player's chapters, filled as its menu opens.
constexpr UINT ID_PLAYER_CHAPTERS = 32853;
// The picture on screen saved as a file, as decoded or with its subtitles.
constexpr UINT ID_PLAYER_SAVEPICTURE = 32890;
constexpr UINT ID_PLAYER_SAVEPICTURESUBTITLED = 32891;
constexpr UINT ID_FILE_OPENLOCATION = 32875;

// Status-bar panes of the program's own.
// The player's volume level, beside the lock indicators so that NUM keeps a pane of its own.
constexpr UINT ID_INDICATOR_VOLUME = 32801;
// The player's speed while it is not the medium's own, after the lock indicators.
constexpr UINT ID_INDICATOR_SPEED = 32830;

namespace res {
// Puts the program's menus, toolbar, accelerators, strings and icons into the
// process's resources. Needs a QApplication (icons). The toolbar's theme icons are looked up
// at once, or when the toolbar is first painted.
void Install(bool lookUpIconsWhenPainted = false);
// Where the help page lives.
QString HelpPagePath();
} // namespace res
