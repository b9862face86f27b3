// Random runs of what the user and the desktop do to two player windows and a play list at
// once: keys, menu and toolbar commands, the sound menu, focus moves, menus opened and left,
// the media's ends and time going by. After each step every player must agree with itself:
// what the desktop reports, what the graph does and what the status bar shows.
#include "PlayerTestSupport.h"
#include "PlayerViewProbe.h"

#include "app/CMainFrame.h"
#include "app/SharedState.h"
#include "desktop/MprisProperties.h"
#include "desktop/MprisService.h"
#include "desktop/PlayerState.h"
#include "desktop/PlayerWatch.h"
#include "platform/framework/MDIChildWnd.h"
#include "platform/framework/StatusBar.h"
#include "platform/input/KeyStateTable.h"
#include "platform/media/GraphFailures.h"
#include "player/CLumarestDoc.h"
#include "player/CLumarestView.h"
#include "player/PlayerGlobals.h"
#include "player/PlayerTexts.h"
#include "res/Resource.h"

#include <QApplication>
#include <QTest>
#include <QTextStream>
#include <QToolBar>
#include <gst/gst.h>

#include <array>
#include <cmath>
#include <optional>
#include <random>
#include <utility>

using fixtures::Media;
using playertest::MediaFolder;

namespace {

using Status = CLumarestView::PlayStatus;

// What a step does: arg picks one of the kind's choices, or is its amount.
enum class Kind { Key, Menu, Toolbar, Desktop, Volume, Seek, Focus, MenuBar, ToEnd, Wait, Tick };
struct KindInfo {
    const char* name;
    int weight; // how often it comes
    int low, high;
    const char* choices; // '|' between them; none for an amount
};
constexpr std::array<KindInfo, 11> kKinds = {{
    {"key", 24, 0, 7, "Space|F|Escape|Left|Right|M|Up|Down"},
    {"menu", 6, 0, 3, "Play|Pause|Full screen|Sound"},
    {"toolbar", 6, 0, 3, "Play|Pause|Full screen|Sound"},
    {"sound menu", 8, 0, 4, "Play|Pause|PlayPause|Stop|Next"},
    {"sound menu Volume %", 3, 0, 100, nullptr},
    {"sound menu Seek by s", 2, -4, 4, nullptr},
    {"focus to", 12, 0, 3, "the video|the sound queue|the play list|another program"},
    {"open a menu and Escape:", 2, 0, 2, "Alt+F|Alt+V|Alt+H"},
    {"play to the end:", 1, 0, 1, "the video|the sound queue"},
    {"wait ms", 3, 100, 300, nullptr},
    {"tick", 6, 0, 0, "now"},
}};
constexpr std::array<Qt::Key, 8> kKeys = {Qt::Key_Space, Qt::Key_F, Qt::Key_Escape, Qt::Key_Left,
                                          Qt::Key_Right, Qt::Key_M, Qt::Key_Up,     Qt::Key_Down};
constexpr std::array<UINT, 4> kCommands = {ID_PLAYER_PLAY, ID_PLAYER_PAUSE, ID_VIEW_FULLSCREEN,
                                           ID_PLAYER_SOUND};
constexpr std::array<Qt::Key, 3> kMenuKeys = {Qt::Key_F, Qt::Key_V, Qt::Key_H};

struct Step {
    Kind kind;
    int arg;
};

std::string NameOf(const Step& s) {
    const KindInfo& info = kKinds[static_cast<size_t>(s.kind)];
    if (!info.choices)
        return std::string(info.name) + " " + std::to_string(s.arg);
    const QStringList choices = QString::fromLatin1(info.choices).split('|');
    return std::string(info.name) + " " + choices.value(s.arg).toStdString();
}

std::vector<Step> RandomSteps(unsigned seed, int count) {
    std::mt19937 random(seed);
    std::array<int, kKinds.size()> weights{};
    for (size_t i = 0; i < kKinds.size(); ++i)
        weights[i] = kKinds[i].weight;
    std::discrete_distribution<int> pick(weights.begin(), weights.end());
    std::vector<Step> steps;
    for (int i = 0; i < count; ++i) {
        const int kind = pick(random);
        const KindInfo& info = kKinds[static_cast<size_t>(kind)];
        steps.push_back({Kind(kind), std::uniform_int_distribution(info.low, info.high)(random)});
    }
    return steps;
}

struct Failure {
    size_t step = 0;
    std::string check; // which promise was broken
    std::string detail;
};

QString StatusName(Status s) {
    constexpr std::array<const char*, 5> names = {"Stopped", "Starting", "Playing", "Paused",
                                                  "Ended"};
    return QString::fromLatin1(names[static_cast<size_t>(s)]);
}

template <class... Parts> QString Say(const Parts&... parts) {
    QString text;
    QTextStream out(&text);
    (out << ... << parts).flush();
    return text;
}

bool IsMenu(const QWidget* w) {
    return w && (w->inherits("QMenu") || w->inherits("QMenuBar"));
}

bool Within(const QWidget* focus, const QWidget* target) {
    return focus && (focus == target || target->isAncestorOf(focus));
}

// The keyboard is the player's in its view, or in its picture's full-screen window.
bool HeldBy(const QWidget* focus, CLumarestView* v) {
    QWidget* video = Probe(v).m_pVW ? Probe(v).m_pVW->VideoWidget() : nullptr;
    return Within(focus, v) || (focus && v->IsFullScreen() && video && focus == video->window());
}

void Give(QWidget* target) {
    QApplication::setActiveWindow(target->window());
    target->setFocus(Qt::OtherFocusReason);
    AppHarness::waitFor([target] { return Within(QApplication::focusWidget(), target); }, 2000);
}

class Sequences : public playertest::PlayerTest {
protected:
    // Two players (a video, and a queue of two sounds) and a play list in a program of their
    // own, with the sound menu's service beside them.
    struct World {
        std::array<CLumarestView*, 2> players{};
        QWidget* list = nullptr;
        std::unique_ptr<desktop::PlayerWatch> watch;
        std::unique_ptr<desktop::MprisService> mpris;
        QObject guard;
        QPointer<QWidget> lastFocus;    // of the program's windows, the one that had it last
        size_t step = 0;                // steps done
        bool levelStep = false;         // the step moved a volume or the focus
        CLumarestView* timed = nullptr; // its tick just showed its time
    };

    bool build(World& w) {
        harness.reset();
        media::clearGraphFailures();
        keystate::ReleaseAll();
        g_bQueuePlaying = false;
        g_bSeeking = false;
        harness = std::make_unique<AppHarness>();
        MediaFolder& media = MediaFolder::instance();
        w.players[0] = open(media.copy(Media::AviMjpeg, QStringLiteral("clip.avi"), 3));
        w.players[1] = emptyPlayer();
        if (!harness->started() || !w.players[0] || !w.players[1])
            return false;
        auto* doc = dynamic_cast<CLumarestDoc*>(w.players[1]->GetDocument());
        doc->m_arrPaths = {media.copy(Media::Wav, QStringLiteral("one.wav"), 2),
                           media.copy(Media::OggVorbis, QStringLiteral("two.ogg"), 2)};
        doc->m_arrLines = {0, 1};
        doc->SetTitle(doc->m_arrPaths.front());
        doc->StartPlayQueue();
        if (!harness->frame().SendCommand(ID_VIEW_PLAYLIST) || !harness->frame().MDIGetActive())
            return false;
        w.list = harness->frame().MDIGetActive()->GetActiveView();
        QObject::connect(qApp, &QApplication::focusChanged, &w.guard, [&w](QWidget*, QWidget* now) {
            if (now && !IsMenu(now))
                w.lastFocus = now;
        });
        w.watch = std::make_unique<desktop::PlayerWatch>(harness->frame(), nullptr);
        w.mpris = std::make_unique<desktop::MprisService>(QDBusConnection(QStringLiteral("no bus")),
                                                          *w.watch, harness->frame(), nullptr);
        Give(w.players[0]);
        return w.list && w.players[0]->HasKeyboardFocus();
    }

    void act(World& w, const Step& s) {
        CMainFrame& frame = harness->frame();
        w.levelStep = s.kind == Kind::Volume || s.kind == Kind::Focus ||
                      (s.kind == Kind::Key && s.arg >= 5) ||
                      ((s.kind == Kind::Menu || s.kind == Kind::Toolbar) && s.arg == 3);
        w.timed = nullptr;
        switch (s.kind) {
        case Kind::Key: // where the keyboard is; none come while another program has it
            if (QWidget* target = QApplication::focusWidget())
                QTest::keyClick(target, kKeys[s.arg]);
            break;
        case Kind::Menu:
            frame.SendCommand(kCommands[s.arg]);
            break;
        case Kind::Toolbar:
            for (QAction* a : frame.m_wndToolBar->actions())
                if (a->property("lumarestCommand").toUInt() == kCommands[s.arg])
                    a->trigger();
            break;
        case Kind::Desktop: {
            using Call = void (desktop::MprisService::*)();
            constexpr std::array<Call, 5> calls = {
                &desktop::MprisService::Play, &desktop::MprisService::Pause,
                &desktop::MprisService::PlayPause, &desktop::MprisService::Stop,
                &desktop::MprisService::Next};
            (w.mpris.get()->*calls[s.arg])();
            break;
        }
        case Kind::Volume:
            w.mpris->SetVolume(s.arg / 100.0);
            break;
        case Kind::Seek:
            w.mpris->Seek(s.arg * 1'000'000LL);
            break;
        case Kind::Focus:
            if (s.arg < 3)
                Give(s.arg == 2 ? w.list : w.players[s.arg]);
            else
                QApplication::setActiveWindow(nullptr);
            AppHarness::waitFor([&] { return s.arg < 3 || !QApplication::focusWidget(); }, 2000);
            break;
        case Kind::MenuBar: {
            if (QApplication::activeWindow() != &frame)
                break; // the menu bar's keys reach only the active main window
            const auto popup = [] { return QApplication::activePopupWidget(); };
            QTest::keyClick(&frame, kMenuKeys[s.arg], Qt::AltModifier);
            if (!AppHarness::waitFor([&] { return popup() != nullptr; }, 1000))
                break;
            QTest::keyClick(popup(), Qt::Key_Escape); // the menu closes, the bar stays lit
            AppHarness::waitFor([&] { return popup() == nullptr; }, 1000);
            if (IsMenu(QApplication::focusWidget()))
                QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
            AppHarness::waitFor([] { return !IsMenu(QApplication::focusWidget()); }, 2000);
            break;
        }
        case Kind::ToEnd: {
            CLumarestView* v = w.players[s.arg];
            const auto over = [v] { return !v->HasGraph() || Probe(v).m_pME->HasEnded(); };
            if (v->Status() == Status::Playing && v->SeekTo(v->DurationSeconds() - 1))
                AppHarness::waitFor([&] { return v->Status() != Status::Playing || over(); }, 3000);
            break;
        }
        case Kind::Wait:
            AppHarness::pump(s.arg);
            break;
        case Kind::Tick: {
            // The status bar's owner ticks last: its time is what pane 0 then shows.
            CLumarestView* owner = w.players[w.players[1]->OwnsStatusBar() ? 1 : 0];
            w.players[owner == w.players[0] ? 1 : 0]->OnTimer(CLumarestView::kTickTimer);
            // A single file's window shows its time only while it has the keyboard; a queue
            // shows it wherever the keyboard is.
            const bool shows = HeldBy(QApplication::focusWidget(), owner) ||
                               (g_bQueuePlaying && owner == w.players[1]);
            const bool counts =
                shows && owner->OwnsStatusBar() && owner->Status() == Status::Playing;
            const int entry = owner->QueueIndex();
            owner->OnTimer(CLumarestView::kTickTimer);
            if (counts && owner->Status() == Status::Playing && owner->QueueIndex() == entry)
                w.timed = owner;
            break;
        }
        }
    }

    // The promises broken once the events now waiting have been handled.
    std::vector<Failure> check(World& w) {
        QCoreApplication::processEvents();
        QCoreApplication::processEvents();
        QWidget* focus = QApplication::focusWidget();
        std::vector<Failure> found;
        const auto fail = [&](const char* check, const QString& detail) {
            found.push_back({w.step, check, detail.toStdString()});
        };
        for (CLumarestView* v : w.players)
            v->OnTimer(CLumarestView::kSliderTimer); // the 10 ms slider tick, now
        CLumarestView* owner = nullptr;
        int sliders = 0;
        for (CLumarestView* v : w.players) {
            const char* who = v == w.players[0] ? "video: " : "sound: ";
            const Status status = v->Status();
            const QVariantMap props = desktop::PlayerProperties(desktop::SnapshotOf(v), 0);
            const bool going = status == Status::Playing || status == Status::Starting;
            const QString meant = status == Status::Paused ? "Paused"
                                  : going                  ? "Playing"
                                                           : "Stopped";
            const int32_t inForce = v->VolumeInForce();
            const double amplitude = inForce <= -10000 ? 0.0 : std::pow(10.0, inForce / 2000.0);
            const double told = props.value("Volume").toDouble();
            if (props.value("PlaybackStatus") != meant || std::abs(told - amplitude) > 1e-9)
                fail("desktop", Say(who, StatusName(status), " at ", inForce, " told as ",
                                    props.value("PlaybackStatus").toString(), " at ", told));
            if (GstElement* pipeline = Probe(v).m_pGB ? Probe(v).m_pGB->Pipeline() : nullptr) {
                gdouble heard = -1;
                g_object_get(pipeline, "volume", &heard, nullptr);
                // The player with the keyboard is heard at its level, as is the one that had it
                // last when another program took it; a player the focus left may be muted.
                const bool keyboard = HeldBy(focus, v) || (!focus && HeldBy(w.lastFocus, v));
                const bool silent = std::abs(heard) < 1e-9;
                if (std::abs(heard - amplitude) > 1e-6 && (keyboard || !silent))
                    fail("graph volume",
                         Say(who, "playbin at ", heard, ", volume in force ", inForce, " (",
                             amplitude, keyboard ? "), with the keyboard" : "), without it"));
                GstState now = GST_STATE_VOID_PENDING;
                GstState pending = GST_STATE_VOID_PENDING;
                const auto settled = [&] {
                    return gst_element_get_state(pipeline, &now, &pending, 0) !=
                           GST_STATE_CHANGE_ASYNC;
                };
                const bool playing = status == Status::Playing;
                const GstState want = playing ? GST_STATE_PLAYING : GST_STATE_PAUSED;
                if ((playing || status == Status::Paused) &&
                    (!AppHarness::waitFor(settled, 3000) || now != want))
                    fail("graph state", Say(who, StatusName(status), " but the playbin is ",
                                            gst_element_state_get_name(now), ", pending ",
                                            gst_element_state_get_name(pending)));
            }
            QWidget* video = Probe(v).m_pVW ? Probe(v).m_pVW->VideoWidget() : nullptr;
            if (v->IsFullScreen() != (video && video->window() != v->window()))
                fail("full screen", Say(who, "IsFullScreen ", v->IsFullScreen(),
                                        " but the picture is not where that puts it"));
            if (v->OwnsStatusBar() && std::exchange(owner, v))
                fail("status bar", "both players own the status bar");
            if (v->Slider() && v->Slider()->isVisible() && ++sliders && !v->OwnsStatusBar())
                fail("slider", Say(who, "its slider shows, but the status bar is not its"));
        }
        if (sliders > 1)
            fail("slider", "two sliders show");
        // What the sound menu was last told of the player it acts on is that player's state.
        if (CLumarestView* active = w.watch->ActivePlayer()) {
            const QVariantMap now = desktop::PlayerProperties(desktop::SnapshotOf(active), 0);
            for (const char* key : {"PlaybackStatus", "Volume"})
                if (w.mpris->Properties().value(key) != now.value(key))
                    fail("desktop told",
                         Say(key, " told ", w.mpris->Properties().value(key).toString(), ", now ",
                             now.value(key).toString()));
        }
        const QString level = bar().GetPaneText(2);
        if (owner && w.levelStep && level != VolumeText(owner->VolumeInForce()))
            fail("level pane", Say("pane 2 shows '", level, "', its owner's '",
                                   VolumeText(owner->VolumeInForce()), "'"));
        if (w.timed && w.timed == owner && owner->Status() == Status::Playing) {
            const QString time = TimeText(owner->ElapsedSeconds(), owner->DurationSeconds());
            if (bar().GetPaneText(0) != time)
                fail("time pane",
                     Say("pane 0 shows '", bar().GetPaneText(0), "', its owner's '", time, "'"));
        }
        return found;
    }

    // Plays the steps in a fresh program: the first broken promise, if any.
    std::optional<Failure> run(const std::vector<Step>& steps) {
        World w;
        if (!build(w))
            return Failure{0, "set-up", "the windows did not open"};
        std::vector<Failure> found = check(w);
        while (found.empty() && w.step < steps.size()) {
            act(w, steps[w.step++]);
            found = check(w);
        }
        return found.empty() ? std::nullopt : std::optional(found.front());
    }

    static std::string Listed(const std::vector<Step>& steps) {
        std::string text;
        for (size_t i = 0; i < steps.size(); ++i)
            text += "  " + std::to_string(i + 1) + ". " + NameOf(steps[i]) + "\n";
        return text;
    }

    // Fewer steps that still break the same promise: halves, then ever smaller pieces taken
    // out while the run still fails, within a bounded number of runs.
    std::vector<Step> shorten(std::vector<Step> steps, const std::string& check) {
        int runs = 0;
        for (size_t piece = std::max<size_t>(1, steps.size() / 2); runs < 30; piece /= 2) {
            for (size_t at = 0; at < steps.size() && runs < 30; ++runs) {
                std::vector<Step> fewer(steps.begin(), steps.begin() + at);
                fewer.insert(fewer.end(), steps.begin() + std::min(at + piece, steps.size()),
                             steps.end());
                const std::optional<Failure> failed = run(fewer);
                if (failed && failed->check == check)
                    steps.assign(fewer.begin(), fewer.begin() + failed->step);
                else
                    at += piece;
            }
            if (piece == 1)
                break;
        }
        return steps;
    }
};

TEST_F(Sequences, EverySurfaceKeepsThePlayersConsistent) {
    for (unsigned seed : {11u, 23u, 37u, 41u}) {
        const std::vector<Step> steps = RandomSteps(seed, 200);
        const std::optional<Failure> failed = run(steps);
        if (!failed)
            continue;
        const std::vector<Step> done(steps.begin(), steps.begin() + failed->step);
        const std::vector<Step> shortest = shorten(done, failed->check);
        const std::optional<Failure> again = run(shortest);
        ADD_FAILURE() << "seed " << seed << ", step " << failed->step << ": " << failed->check
                      << ": " << failed->detail << "\nsteps:\n"
                      << Listed(done) << "shortest sequence found (" << shortest.size()
                      << " steps):\n"
                      << Listed(shortest)
                      << (again ? "  which ends in: " + again->detail : "  (it passed then)");
    }
}

} // namespace
