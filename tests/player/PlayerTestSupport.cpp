#include "PlayerTestSupport.h"
#include "PlayerViewProbe.h"

#include "app/CLumarestApp.h"
#include "app/CMainFrame.h"
#include "app/SharedState.h"
#include "platform/framework/DocTemplate.h"
#include "platform/framework/StatusBar.h"
#include "platform/input/KeyStateTable.h"
#include "platform/media/GraphFailures.h"
#include "player/CLumarestDoc.h"
#include "player/CLumarestView.h"
#include "player/PlayerGlobals.h"

#include <QApplication>
#include <QFile>
#include <QMenu>

namespace playertest {

MediaFolder& MediaFolder::instance() {
    static MediaFolder folder;
    return folder;
}

QString MediaFolder::path(fixtures::Media kind) {
    auto it = m_made.find(kind);
    if (it == m_made.end())
        it = m_made.emplace(kind, fixtures::makeMedia(kind, m_dir.path())).first;
    return it->second;
}

QString MediaFolder::copy(fixtures::Media kind, const QString& name, int seconds) {
    auto it = m_named.find(name);
    if (it == m_named.end())
        it = m_named.emplace(name, fixtures::makeMedia(kind, m_dir.path(), name, seconds)).first;
    return it->second;
}

namespace {
void putLe(QByteArray& out, quint32 value, int bytes) {
    for (int i = 0; i < bytes; ++i)
        out.append(static_cast<char>((value >> (8 * i)) & 0xFF));
}
} // namespace

QString MediaFolder::pcm(int seconds, int rate) {
    const QString name = QStringLiteral("pcm-%1s-%2hz.wav").arg(seconds).arg(rate);
    auto it = m_named.find(name);
    if (it != m_named.end())
        return it->second;
    const quint32 samples = static_cast<quint32>(seconds) * static_cast<quint32>(rate);
    QByteArray wav("RIFF");
    putLe(wav, 36 + samples, 4);
    wav.append("WAVEfmt ");
    putLe(wav, 16, 4);
    putLe(wav, 1, 2); // PCM
    putLe(wav, 1, 2); // mono
    putLe(wav, static_cast<quint32>(rate), 4);
    putLe(wav, static_cast<quint32>(rate), 4); // bytes a second
    putLe(wav, 1, 2);                          // block size
    putLe(wav, 8, 2);                          // bits a sample
    wav.append("data");
    putLe(wav, samples, 4);
    wav.append(QByteArray(static_cast<qsizetype>(samples), char(0x80))); // silence
    return m_named.emplace(name, fixtures::writeFile(m_dir.path(), name, wav)).first->second;
}

CLumarestView* ViewOf(CLumarestDoc* doc) {
    if (!doc || doc->GetViews().empty())
        return nullptr;
    return dynamic_cast<CLumarestView*>(doc->GetViews().front());
}

void TickAtTheEnd(CLumarestView* view) {
    // Only the test's ticks count: the view's own clock would move on by itself meanwhile.
    view->KillTimer(CLumarestView::kTickTimer);
    if (Probe(view).m_nDuration > 0 && Probe(view).m_pME) {
        const bool ended =
            AppHarness::waitFor([&] { return Probe(view).m_pME->HasEnded(); }, 10000);
        EXPECT_TRUE(ended) << "the medium never came to its end";
    }
    view->OnTimer(CLumarestView::kTickTimer);
}

void PlayerTest::SetUp() {
    g_nSlideDelay = 1000;
    g_bQueuePlaying = false;
    g_bImportOnOpen = false; // these tests are about playing, not the catalogue
    harness = std::make_unique<AppHarness>();
    ASSERT_TRUE(harness->started());
}

void PlayerTest::TearDown() {
    harness.reset();
    media::clearGraphFailures();
    keystate::ReleaseAll();
    g_nSlideDelay = 1000;
    g_bQueuePlaying = false;
    g_bImportOnOpen = true;
    g_bSeeking = false;
}

CLumarestView* PlayerTest::open(const QString& path) {
    CMultiDocTemplate* player = harness->app().m_pPlayerTemplate;
    return ViewOf(dynamic_cast<CLumarestDoc*>(player->OpenDocumentFile(path)));
}

CLumarestView* PlayerTest::emptyPlayer() {
    return open(QString());
}

CStatusBar& PlayerTest::bar() {
    return *harness->frame().m_wndStatusBar;
}

QString PlayerTest::pane(int index) {
    return bar().GetPaneText(index);
}

void PlayerTest::focus(CLumarestView* view) {
    QWidget* window = view->window();
    window->activateWindow();
    QApplication::setActiveWindow(window);
    view->setFocus(Qt::OtherFocusReason);
    AppHarness::waitFor([view] { return view->HasKeyboardFocus(); }, 2000);
}

QStringList submenu(CMainFrame& frame, const QString& title, QAction** choose,
                    const QString& chosen) {
    QMenu* player = frame.FindPopup(QStringLiteral("Player"));
    QMenu* menu = nullptr;
    for (QAction* action : player ? player->actions() : QList<QAction*>{})
        if (action->menu() && action->text() == title)
            menu = action->menu();
    QStringList entries;
    if (menu == nullptr)
        return entries;
    emit menu->aboutToShow();
    for (QAction* action : menu->actions()) {
        if (!action->isVisible())
            continue;
        entries << (action->isChecked() ? QStringLiteral("*") : QString()) + action->text();
        if (choose != nullptr && action->text() == chosen)
            *choose = action;
    }
    return entries;
}

long PlayerTest::graphVolume(CLumarestView* view) {
    long volume = 1;
    if (Probe(view).m_pBA)
        Probe(view).m_pBA->get_Volume(&volume);
    return volume;
}

} // namespace playertest
