// The main frame at work: the slider and progress rectangles in the status
// bar, its window commands, menus that follow the active window, greying of
// commands nobody handles, help and About.
#include "AppHarness.h"
#include "MediaFixtures.h"

#include "app/CLumarestApp.h"
#include "app/CMainFrame.h"
#include "app/SharedState.h"
#include "platform/framework/Dialog.h"
#include "platform/framework/DocTemplate.h"
#include "platform/framework/Document.h"
#include "platform/framework/HelpWindow.h"
#include "platform/framework/MDIChildWnd.h"
#include "platform/framework/NewTypeDlg.h"
#include "platform/framework/StatusBar.h"
#include "player/CLumarestDoc.h"
#include "player/CLumarestView.h"
#include "res/Resource.h"

#include <QApplication>
#include <QFile>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QProgressBar>
#include <QRegularExpression>
#include <QStatusTipEvent>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBrowser>
#include <QTimer>
#include <QToolBar>
#include <gtest/gtest.h>

namespace {

void Resize(CMainFrame& frame, int width) {
    frame.resize(width, 600);
    QApplication::processEvents();
}

TEST(MainFrame, PutsTheSliderAfterTheMessageShownAtTheLastResize) {
    AppHarness h;
    CMainFrame& frame = h.frame();
    CStatusBar* bar = frame.m_wndStatusBar;

    bar->SetPaneText(0, " ");
    Resize(frame, 900);
    const QRect pane = bar->GetItemRect(0);
    EXPECT_EQ(g_rcSlider.left, 6);
    EXPECT_EQ(g_rcSlider.top, pane.top());
    EXPECT_EQ(g_rcSlider.right, pane.x() + pane.width());
    EXPECT_EQ(g_rcSlider.bottom, pane.y() + pane.height());

    bar->SetPaneText(0, "");
    Resize(frame, 950);
    EXPECT_EQ(g_rcSlider.left, 150);

    bar->SetPaneText(0, QString(22, 'x'));
    Resize(frame, 1000);
    EXPECT_EQ(g_rcSlider.left, 132);
    EXPECT_EQ(g_rcSlider.right, bar->GetItemRect(0).x() + bar->GetItemRect(0).width());
}

TEST(MainFrame, ProgressBarFollowsItsCaption) {
    AppHarness h;
    CDao_PlayList& catalogue = h.frame().m_PlayList;
    CStatusBar* bar = h.frame().m_wndStatusBar;
    const QString caption = QString(60, 'c');

    catalogue.StartProgress(caption);
    EXPECT_EQ(catalogue.m_strBuffer, caption.left(50));
    EXPECT_EQ(bar->GetPaneText(0), caption.left(50));
    ASSERT_TRUE(catalogue.m_CProgressCtrl.IsWindow());
    const QRect r = catalogue.m_CProgressCtrl.GetRect();
    const QRect pane = bar->GetItemRect(0);
    EXPECT_EQ(r.left(), 300);
    EXPECT_EQ(r.top(), 2);
    EXPECT_EQ(r.x() + r.width(), pane.x() + pane.width() - 5);
    EXPECT_EQ(r.y() + r.height(), 16);
    EXPECT_EQ(catalogue.m_CProgressCtrl.Widget()->parentWidget(), bar);
    EXPECT_EQ(catalogue.m_CProgressCtrl.GetPos(), 0);
    EXPECT_EQ(catalogue.m_CProgressCtrl.Widget()->maximum(), 100);

    catalogue.StartProgress("");
    EXPECT_EQ(catalogue.m_CProgressCtrl.GetRect().left(), 2);
    // Only one bar at a time.
    EXPECT_EQ(bar->findChildren<QProgressBar*>().size(), 1);
    catalogue.m_CProgressCtrl.DestroyWindow();
    EXPECT_FALSE(catalogue.m_CProgressCtrl.IsWindow());
}

TEST(MainFrame, PlayListTwiceOpensTwoWindowsTitledPlayList) {
    AppHarness h;
    CMainFrame& frame = h.frame();
    ASSERT_TRUE(frame.SendCommand(ID_VIEW_PLAYLIST));
    ASSERT_TRUE(frame.SendCommand(ID_VIEW_PLAYLIST));
    const auto frames = frame.ChildFrames();
    ASSERT_EQ(frames.size(), 2u);
    for (CMDIChildWnd* child : frames) {
        EXPECT_EQ(child->GetActiveDocument()->GetTitle(), "Play List");
        EXPECT_EQ(child->windowTitle(), "Play List");
    }
    EXPECT_EQ(frame.windowTitle(), "Lumarest - Play List");
    // A play list keeps the main frame's menu.
    EXPECT_EQ(frame.CurrentMenuID(), IDR_MAINFRAME);
}

TEST(MainFrame, CloseAllClosesEveryWindowWithoutAQuestion) {
    AppHarness h;
    CMainFrame& frame = h.frame();
    frame.SendCommand(ID_VIEW_PLAYLIST);
    h.app().m_pPlayerTemplate->OpenDocumentFile(QString(), true);
    frame.SendCommand(ID_VIEW_PLAYLIST);
    ASSERT_EQ(frame.ChildFrames().size(), 3u);
    ASSERT_TRUE(frame.SendCommand(ID_WINDOW_CLOSEALL));
    QApplication::processEvents();
    EXPECT_TRUE(frame.ChildFrames().empty());
    EXPECT_TRUE(h.app().m_pPlayerTemplate->Documents().empty());
    EXPECT_TRUE(h.app().m_pPlayListTemplate->Documents().empty());
    EXPECT_TRUE(h.messages.empty());
    EXPECT_EQ(frame.windowTitle(), "Lumarest");
}

TEST(MainFrame, PlayerWindowShowsThePlayerMenu) {
    AppHarness h;
    CMainFrame& frame = h.frame();
    h.app().m_pPlayerTemplate->OpenDocumentFile(QString(), true);
    QApplication::processEvents();
    EXPECT_EQ(frame.CurrentMenuID(), IDR_PLAYERTYPE);
    QStringList titles;
    for (QAction* a : frame.menuBar()->actions())
        titles << a->text();
    EXPECT_EQ(titles, QStringList({"&File", "&View", "&Window", "Player", "Playlist", "&Help"}));
    // "Parameters" stands on the main menu only, "Close all" on the player's only.
    QStringList view;
    for (QAction* a : frame.FindPopup("&View")->actions())
        view << a->text();
    EXPECT_FALSE(view.contains("Parameters"));
    EXPECT_TRUE(view.contains("Full screen"));
}

TEST(MainFrame, GreysCommandsThatNothingOnTheRouteHandles) {
    AppHarness h;
    CMainFrame& frame = h.frame();
    // No window: the application and the frame answer, nothing else.
    EXPECT_TRUE(frame.QueryCommand(ID_FILE_OPEN).m_bEnabled);
    EXPECT_TRUE(frame.QueryCommand(ID_VIEW_PLAYLIST).m_bEnabled);
    EXPECT_TRUE(frame.QueryCommand(ID_VIEW_PARAMETERS).m_bEnabled);
    EXPECT_TRUE(frame.QueryCommand(ID_APP_ABOUT).m_bEnabled);
    EXPECT_FALSE(frame.QueryCommand(ID_FILE_CLOSE).m_bEnabled);
    EXPECT_FALSE(frame.QueryCommand(ID_PLAYER_PLAY).m_bEnabled);
    EXPECT_FALSE(frame.QueryCommand(ID_EDIT_COPY).m_bEnabled);
    EXPECT_FALSE(frame.QueryCommand(ID_FILE_PRINT).m_bEnabled);
    // A greyed command does not run.
    EXPECT_FALSE(frame.SendCommand(ID_FILE_CLOSE));

    // The menu shows the same when it opens.
    QMenu* file = frame.FindPopup("&File");
    ASSERT_NE(file, nullptr);
    emit file->aboutToShow();
    for (QAction* a : file->actions()) {
        if (a->text() == "&Close") {
            EXPECT_FALSE(a->isEnabled());
        }
        if (a->text() == "&Open...\tCtrl+O") {
            EXPECT_TRUE(a->isEnabled());
            EXPECT_EQ(a->statusTip(), "Open an existing document");
        }
    }

    // With a window, the document handles Close.
    frame.SendCommand(ID_VIEW_PLAYLIST);
    EXPECT_TRUE(frame.QueryCommand(ID_FILE_CLOSE).m_bEnabled);
    EXPECT_TRUE(frame.SendCommand(ID_FILE_CLOSE));
    QApplication::processEvents();
    EXPECT_TRUE(frame.ChildFrames().empty());
}

// The toolbar shows what a player does when it changes by itself or by a call from outside
// (the sound menu), not only after the user's own input; and nothing polls for it at rest.
TEST(MainFrame, TheToolbarFollowsAPlayerWithoutAnyInput) {
    AppHarness h;
    CMainFrame& frame = h.frame();
    QTemporaryDir media;
    const QString tone = fixtures::makeMedia(fixtures::Media::Wav, media.path(), "tone.wav", 20);
    auto* doc = dynamic_cast<CLumarestDoc*>(h.app().OpenDocumentFile(tone));
    ASSERT_NE(doc, nullptr);
    QAction* play = nullptr;
    for (QToolBar* bar : frame.findChildren<QToolBar*>())
        for (QAction* action : bar->actions())
            if (action->property("lumarestCommand").toUInt() == ID_PLAYER_PLAY)
                play = action;
    ASSERT_NE(play, nullptr);
    EXPECT_TRUE(AppHarness::waitFor([&] { return play->isChecked(); }));
    doc->m_pCLumarestView->OnPlayerPlay(); // stops, as the sound menu's Stop does
    EXPECT_TRUE(AppHarness::waitFor([&] { return !play->isChecked(); }));
    doc->m_pCLumarestView->OnPlayerPlay();
    EXPECT_TRUE(AppHarness::waitFor([&] { return play->isChecked(); }));
    EXPECT_TRUE(frame.findChildren<QTimer*>(Qt::FindDirectChildrenOnly).empty())
        << "the frame keeps a timer of its own";
}

TEST(MainFrame, ToolbarAndStatusBarToggleWithCheckMarks) {
    AppHarness h;
    CMainFrame& frame = h.frame();
    EXPECT_EQ(frame.QueryCommand(ID_VIEW_TOOLBAR).m_nCheck, 1);
    frame.SendCommand(ID_VIEW_TOOLBAR);
    EXPECT_FALSE(frame.m_wndToolBar->isVisible());
    EXPECT_EQ(frame.QueryCommand(ID_VIEW_TOOLBAR).m_nCheck, 0);
    frame.SendCommand(ID_VIEW_STATUS_BAR);
    EXPECT_FALSE(frame.m_wndStatusBar->isVisible());
    EXPECT_EQ(frame.QueryCommand(ID_VIEW_STATUS_BAR).m_nCheck, 0);
    frame.SendCommand(ID_VIEW_STATUS_BAR);
    EXPECT_TRUE(frame.m_wndStatusBar->isVisible());
}

TEST(MainFrame, PromptsShowInTheMessagePane) {
    AppHarness h;
    CMainFrame& frame = h.frame();
    QStatusTipEvent tip("Show Play List");
    QApplication::sendEvent(&frame, &tip);
    EXPECT_EQ(frame.m_wndStatusBar->GetPaneText(0), "Show Play List");
    QStatusTipEvent idle("");
    QApplication::sendEvent(&frame, &idle);
    EXPECT_EQ(frame.m_wndStatusBar->GetPaneText(0), " ");
}

// Pixels of the pane darker than the bar's background: its text.
int TextPixels(CStatusBar& bar, int pane) {
    const QImage image = bar.grab(bar.GetItemRect(pane).adjusted(2, 2, -2, -2)).toImage();
    int dark = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            dark += qGray(image.pixel(x, y)) < 128 ? 1 : 0;
    return dark;
}

void KeyAtTheWindow(QWidget& window, QEvent::Type type, int key, quint32 scanCode = 0,
                    quint32 nativeModifiers = 0) {
    QKeyEvent event(type, key, Qt::NoModifier, scanCode, 0, nativeModifiers);
    QApplication::sendEvent(window.windowHandle(), &event);
}

TEST(MainFrame, LockPanesShowTheirTextOnlyWhileTheLockIsOn) {
    AppHarness h;
    CMainFrame& frame = h.frame();
    frame.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&frame));
    CStatusBar& bar = *frame.m_wndStatusBar;
    // Pane 2 is the player's volume level; CAP, NUM and SCRL follow it.
    constexpr int caps = 1, level = 2, num = 3, scroll = 4;
    EXPECT_EQ(bar.GetPaneText(caps), "CAP"); // the text stays; only its showing follows the lock
    for (int pane : {caps, level, num, scroll})
        EXPECT_EQ(TextPixels(bar, pane), 0) << pane;
    // The loudest level fits its pane.
    EXPECT_GE(bar.GetItemRect(level).width(),
              bar.TextRight(level, " 100") - bar.GetItemRect(level).x());

    const auto click = [&](int key) {
        KeyAtTheWindow(frame, QEvent::KeyPress, key);
        KeyAtTheWindow(frame, QEvent::KeyRelease, key);
    };
    click(Qt::Key_CapsLock);
    click(Qt::Key_ScrollLock);
    EXPECT_GT(TextPixels(bar, caps), 10);
    EXPECT_EQ(TextPixels(bar, num), 0);
    EXPECT_GT(TextPixels(bar, scroll), 10);
    click(Qt::Key_CapsLock);
    click(Qt::Key_ScrollLock);
    EXPECT_EQ(TextPixels(bar, caps), 0);
    EXPECT_EQ(TextPixels(bar, scroll), 0);

    // Locks changed while another program had the keyboard: the next key the window
    // system delivers carries them (Lock and Mod2 of its keyboard state).
    KeyAtTheWindow(frame, QEvent::KeyPress, Qt::Key_A, 38, (1u << 1) | (1u << 4));
    EXPECT_GT(TextPixels(bar, caps), 10);
    EXPECT_GT(TextPixels(bar, num), 10);
    KeyAtTheWindow(frame, QEvent::KeyRelease, Qt::Key_A, 38, 0);
    EXPECT_EQ(TextPixels(bar, caps), 0);
    EXPECT_EQ(TextPixels(bar, num), 0);

    // A player's volume level takes nothing from NUM: it still shows only while Num Lock is on.
    bar.SetPaneText(level, " 98");
    EXPECT_GT(TextPixels(bar, level), 10);
    EXPECT_EQ(TextPixels(bar, num), 0);
    click(Qt::Key_NumLock);
    EXPECT_GT(TextPixels(bar, num), 10);
    click(Qt::Key_NumLock);
    EXPECT_EQ(TextPixels(bar, num), 0);
}

TEST(MainFrame, TheStatusBarIsAsHighAsItsFontNeeds) {
    AppHarness h;
    CStatusBar& bar = *h.frame().m_wndStatusBar;
    EXPECT_EQ(bar.height(), 22);
    QFont large = bar.font();
    large.setPointSize(20);
    bar.setFont(large);
    EXPECT_GE(bar.GetItemRect(0).height(), bar.fontMetrics().height());
    EXPECT_EQ(bar.height(), bar.sizeHint().height());
}

TEST(MainFrame, HelpShowsTheProgramsHelpPage) {
    AppHarness h;
    ASSERT_TRUE(h.frame().SendCommand(ID_HELP));
    auto windows = h.frame().findChildren<CHelpWindow*>();
    ASSERT_EQ(windows.size(), 1);
    EXPECT_TRUE(windows.front()->isVisible());
    EXPECT_TRUE(windows.front()->Source().endsWith("help/index.html"));
    EXPECT_EQ(windows.front()->windowTitle(), "Lumarest Help");

    // Every key the README lists is on the help page.
    const QString page = windows.front()->findChild<QTextBrowser*>()->toPlainText();
    QFile readme(QStringLiteral(LUMAREST_README));
    ASSERT_TRUE(readme.open(QIODevice::ReadOnly));
    const QString keys = QString::fromUtf8(readme.readAll()).section(QStringLiteral("## Keys"), 1);
    int rows = 0;
    for (const QString& line : keys.section(QStringLiteral("\n## "), 0, 0).split('\n')) {
        const QStringList cells = line.split('|');
        if (cells.size() < 4 || cells[2].contains(QStringLiteral("---")) ||
            cells[2].trimmed() == "Key")
            continue;
        ++rows;
        static const QRegularExpression between(QStringLiteral(" / |,? or |, "));
        for (const QString& key : cells[2].trimmed().split(between)) {
            const auto options = key.size() == 1 ? QRegularExpression::NoPatternOption
                                                 : QRegularExpression::CaseInsensitiveOption;
            const QRegularExpression word("(?<!\\w)" + QRegularExpression::escape(key) + "(?!\\w)",
                                          options);
            EXPECT_TRUE(page.contains(word)) << "the help page leaves out " << qPrintable(key);
        }
    }
    EXPECT_GE(rows, 10);
    windows.front()->close();
}

TEST(MainFrame, AboutBoxNamesTheProgramAndItsVersion) {
    AppHarness h;
    QString title;
    QStringList texts;
    CDialog::ModalHandler old = CDialog::SetModalHandler([&](CDialog& d) {
        title = d.windowTitle();
        for (QLabel* label : d.findChildren<QLabel*>())
            texts << label->text();
        d.OnOK();
    });
    EXPECT_TRUE(h.frame().SendCommand(ID_APP_ABOUT));
    CDialog::SetModalHandler(std::move(old));
    EXPECT_EQ(title, "About Lumarest");
    EXPECT_TRUE(texts.contains("LUMAREST Version 1.0"));
}

// The user answers in the real type dialog with keys: both kinds are named
// alike, so only the line's position tells them apart.
TEST(MainFrame, NewDocumentAsksForTheKindOfWindow) {
    AppHarness h;
    QStringList offered;
    QList<Qt::Key> keys;
    CDialog::ModalHandler old = CDialog::SetModalHandler([&](CDialog& d) {
        auto& dialog = dynamic_cast<CNewTypeDlg&>(d);
        for (int i = 0; i < dialog.TypeList()->count(); ++i)
            offered << dialog.TypeList()->item(i)->text();
        dialog.show();
        for (Qt::Key key : keys)
            QTest::keyClick(dialog.focusWidget() ? dialog.focusWidget() : &dialog, key);
        dialog.hide();
    });
    keys = {Qt::Key_Down, Qt::Key_Return};
    EXPECT_TRUE(h.frame().SendCommand(ID_FILE_NEW));
    EXPECT_EQ(offered, QStringList({"Lumarest", "Lumarest"}));
    ASSERT_EQ(h.frame().ChildFrames().size(), 1u);
    // The play-list window made this way keeps the default title.
    EXPECT_EQ(h.frame().ChildFrames().front()->GetActiveDocument()->GetTitle(), "Lumarest1");
    EXPECT_EQ(h.frame().ChildFrames().front()->GetDocTemplate(), h.app().m_pPlayListTemplate);

    keys = {Qt::Key_Return};
    EXPECT_TRUE(h.frame().SendCommand(ID_FILE_NEW));
    ASSERT_EQ(h.frame().ChildFrames().size(), 2u);
    EXPECT_EQ(h.frame().ChildFrames().back()->GetDocTemplate(), h.app().m_pPlayerTemplate);

    keys = {Qt::Key_Down, Qt::Key_Escape};
    EXPECT_TRUE(h.frame().SendCommand(ID_FILE_NEW));
    EXPECT_EQ(h.frame().ChildFrames().size(), 2u);
    CDialog::SetModalHandler(std::move(old));
}

} // namespace
