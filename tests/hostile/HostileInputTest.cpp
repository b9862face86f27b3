// What a hostile user can hand the program: a pipe (or a device) where a file
// should be, a video cut short before its first frame, a picture too large to
// decode, a name that begins with a dash, a name that holds a line feed. Nothing
// may hang, nothing may end the program.
#include "PlayerTestSupport.h"
#include "PlayerViewProbe.h"

#include "app/CLumarestApp.h"
#include "app/CMainFrame.h"
#include "app/SharedState.h"
#include "catalogue/CDao_PlayList.h"
#include "platform/framework/DocTemplate.h"
#include "platform/framework/MDIChildWnd.h"
#include "platform/framework/RecentFileList.h"
#include "player/CLumarestDoc.h"
#include "player/CLumarestView.h"
#include "player/FailureLog.h"
#include "playlist/CListView_Table.h"
#include "res/Resource.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <gst/gst.h>
#include <zlib.h>

#include <atomic>
#include <chrono>
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

using fixtures::Media;
using playertest::MediaFolder;
using playertest::PlayerTest;

namespace {

// A pipe with no writer. A reader that is still waiting in its open after a few
// seconds is let go (it reads an empty stream), so that a program that blocks
// fails the test instead of hanging it.
class Fifo {
public:
    explicit Fifo(const QString& path) : m_path(QFile::encodeName(path)) {
        m_made = mkfifo(m_path.constData(), 0644) == 0;
        m_releaser = std::thread([this] { ReleaseReaders(); });
    }
    ~Fifo() {
        m_stop = true;
        m_releaser.join();
    }
    Fifo(const Fifo&) = delete;
    Fifo& operator=(const Fifo&) = delete;
    bool made() const { return m_made; }

private:
    void ReleaseReaders() {
        const auto release = std::chrono::steady_clock::now() + std::chrono::seconds(6);
        while (!m_stop) {
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
            if (std::chrono::steady_clock::now() < release)
                continue;
            const int fd = open(m_path.constData(), O_WRONLY | O_NONBLOCK);
            if (fd >= 0)
                close(fd);
        }
    }

    QByteArray m_path;
    bool m_made = false;
    std::atomic<bool> m_stop = false;
    std::thread m_releaser;
};

CLumarestDoc* StartQueue(CMultiDocTemplate* player, const QStringList& paths) {
    auto* doc = dynamic_cast<CLumarestDoc*>(player->OpenDocumentFile(QString(), true));
    if (!doc)
        return nullptr;
    doc->m_arrPaths = paths;
    for (int i = 0; i < paths.size(); ++i)
        doc->m_arrLines.push_back(static_cast<uint32_t>(i));
    doc->SetTitle(paths.front());
    doc->StartPlayQueue();
    return doc;
}

CListView_Table* PlayListOf(CMainFrame& frame) {
    for (CMDIChildWnd* child : frame.ChildFrames())
        if (auto* table = dynamic_cast<CListView_Table*>(child->GetActiveView()))
            return table;
    return nullptr;
}

// Runs a gst-launch description whose last element is "filesink name=out".
bool MakeWithPipeline(const QString& launch, const QString& path) {
    GstElement* pipeline = gst_parse_launch(launch.toUtf8().constData(), nullptr);
    if (!pipeline)
        return false;
    GstElement* sink = gst_bin_get_by_name(GST_BIN(pipeline), "out");
    g_object_set(sink, "location", QFile::encodeName(path).constData(), nullptr);
    gst_object_unref(sink);
    gst_element_set_state(pipeline, GST_STATE_PLAYING);
    GstBus* bus = gst_element_get_bus(pipeline);
    GstMessage* end = gst_bus_timed_pop_filtered(
        bus, 20 * GST_SECOND, static_cast<GstMessageType>(GST_MESSAGE_EOS | GST_MESSAGE_ERROR));
    const bool done = end && GST_MESSAGE_TYPE(end) == GST_MESSAGE_EOS;
    if (end)
        gst_message_unref(end);
    gst_object_unref(bus);
    gst_element_set_state(pipeline, GST_STATE_NULL);
    gst_object_unref(pipeline);
    return done;
}

QByteArray BigEndian32(quint32 v) {
    const char bytes[4] = {char(v >> 24), char(v >> 16), char(v >> 8), char(v)};
    return QByteArray(bytes, 4);
}

void AppendChunk(QByteArray& png, const char* type, const QByteArray& data) {
    QByteArray chunk(type, 4);
    chunk += data;
    png += BigEndian32(static_cast<quint32>(data.size()));
    png += chunk;
    png += BigEndian32(static_cast<quint32>(
        crc32(0, reinterpret_cast<const Bytef*>(chunk.constData()), uInt(chunk.size()))));
}

// A black RGB picture of side x side pixels whose file stays small: every row is
// compressed alone (a full flush), so one compressed row serves for all.
QString MakeHugePng(const QString& dir, int side) {
    const uLong rowSize = 1 + 3 * uLong(side); // filter byte, then the pixels
    const QByteArray row(int(rowSize), '\0');
    z_stream z{};
    deflateInit(&z, Z_BEST_COMPRESSION);
    QByteArray out(int(deflateBound(&z, rowSize) + 64), '\0');
    auto deflateRow = [&](int flush) {
        z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(row.constData()));
        z.avail_in = flush == Z_FINISH ? 0 : uInt(rowSize);
        z.next_out = reinterpret_cast<Bytef*>(out.data());
        z.avail_out = uInt(out.size());
        deflate(&z, flush);
        return out.left(out.size() - int(z.avail_out));
    };
    QByteArray data = deflateRow(Z_FULL_FLUSH); // with the zlib header
    const QByteArray sameRow = deflateRow(Z_FULL_FLUSH);
    data.reserve(data.size() + sameRow.size() * side);
    for (int i = 1; i < side; ++i)
        data += sameRow;
    QByteArray end = deflateRow(Z_FINISH);
    deflateEnd(&z);
    end.chop(4); // the checksum covers every row, not the two compressed here
    data += end;
    uLong adler = adler32(0, nullptr, 0);
    const uLong rowAdler =
        adler32(1, reinterpret_cast<const Bytef*>(row.constData()), uInt(rowSize));
    for (int i = 0; i < side; ++i)
        adler = adler32_combine(adler, rowAdler, z_off_t(rowSize));
    data += BigEndian32(static_cast<quint32>(adler));

    QByteArray png("\x89PNG\r\n\x1a\n", 8);
    QByteArray header = BigEndian32(quint32(side)) + BigEndian32(quint32(side));
    header.resize(13, '\0');
    header[8] = 8; // bits per sample
    header[9] = 2; // RGB
    AppendChunk(png, "IHDR", header);
    AppendChunk(png, "IDAT", data);
    AppendChunk(png, "IEND", QByteArray());
    return fixtures::writeFile(dir, QStringLiteral("huge.png"), png);
}

long PeakMemoryKiB() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

} // namespace

TEST(HostileInput, APathThatIsNoRegularFileIsRefusedAtOnceOnEveryRoute) {
    QTemporaryDir dir;
    const QString fifo = dir.path() + "/x.wav";
    Fifo pipe(fifo);
    ASSERT_TRUE(pipe.made());
    const QString cannotOpen = QStringLiteral("Cannot open the file \"%1\".").arg(fifo);
    const QString notFound = QStringLiteral("File not found: \"%1\"").arg(fifo);
    QElapsedTimer timer;
    timer.start();
    {
        AppHarness h({fifo}); // the command line
        EXPECT_FALSE(h.started());
        EXPECT_EQ(h.messageTexts(), QStringList{cannotOpen});
    }
    AppHarness h;
    h.app().SetFileDialogHandler([&](const QString&) { return fifo; });
    h.frame().SendCommand(ID_FILE_OPEN);
    h.app().m_pRecentFileList->Add(fifo);
    h.frame().SendCommand(ID_FILE_MRU_FILE1);
    EXPECT_EQ(h.messageTexts(), QStringList({cannotOpen, cannotOpen}));
    EXPECT_TRUE(h.frame().ChildFrames().empty());
    EXPECT_EQ(h.app().OpenDocumentFile("/dev/zero"), nullptr); // a device
    EXPECT_EQ(h.messageTexts().last(), QStringLiteral("Cannot open the file \"/dev/zero\"."));

    // A line of the play list, and an entry of a queue.
    ASSERT_TRUE(h.frame().m_PlayList.AddFile(dir.path(), "x.wav"));
    h.frame().SendCommand(ID_VIEW_PLAYLIST);
    CListView_Table* table = PlayListOf(h.frame());
    ASSERT_NE(table, nullptr);
    EXPECT_EQ(table->OpenLine(0), nullptr);
    EXPECT_EQ(h.messageTexts().last(), notFound);
    h.messages.clear();
    CLumarestDoc* queue = StartQueue(h.app().m_pPlayerTemplate, {fifo});
    ASSERT_NE(queue, nullptr);
    EXPECT_EQ(h.messageTexts(), QStringList{notFound});
    EXPECT_LT(timer.elapsed(), 4000) << "an open waited for the pipe";
}

class HostileMedia : public PlayerTest {};

TEST_F(HostileMedia, AVideoCutShortBeforeItsFirstFrameIsRefusedAndAQueueMovesOn) {
    const QString dir = MediaFolder::instance().dir();
    const QString whole = dir + "/picture-only.avi";
    ASSERT_TRUE(MakeWithPipeline(
        "videotestsrc num-buffers=50 ! video/x-raw,width=320,height=240,framerate=25/1 ! "
        "jpegenc ! avimux ! filesink name=out",
        whole));
    QFile in(whole);
    ASSERT_TRUE(in.open(QIODevice::ReadOnly));
    const QString cut = fixtures::writeFile(dir, "cut.avi", in.read(10 * 1024));
    // A failure here would end this test program with the player's.
    open(cut);
    EXPECT_EQ(harness->messageTexts(), QStringList{"Unsupported file format."});

    const QString before = MediaFolder::instance().copy(Media::Wav, "before.wav", 1);
    const QString after = MediaFolder::instance().copy(Media::Wav, "after.wav", 1);
    CLumarestDoc* doc = StartQueue(harness->app().m_pPlayerTemplate, {before, cut, after});
    ASSERT_NE(doc, nullptr);
    CLumarestView* view = playertest::ViewOf(doc);
    ASSERT_NE(view, nullptr);
    for (int i = 0; i < 6 && Probe(view).m_nQueueIndex != 2; ++i)
        playertest::TickAtTheEnd(view);
    EXPECT_EQ(Probe(view).m_nQueueIndex, 2);
    EXPECT_EQ(Probe(view).m_strFile, after);
    EXPECT_TRUE(Probe(view).m_bPlaying);
    EXPECT_EQ(Probe(view).m_nDuration, 1);
    EXPECT_EQ(harness->messageTexts(),
              QStringList({"Unsupported file format.", "Unsupported file format."}));

    // First in its queue, it is passed over all the same.
    doc = StartQueue(harness->app().m_pPlayerTemplate, {cut, after});
    ASSERT_NE(doc, nullptr);
    view = playertest::ViewOf(doc);
    ASSERT_NE(view, nullptr);
    view->OnTimer(CLumarestView::kTickTimer);
    EXPECT_EQ(Probe(view).m_nQueueIndex, 1);
    EXPECT_EQ(Probe(view).m_strFile, after);
    EXPECT_EQ(Probe(view).m_nDuration, 1);
}

TEST_F(HostileMedia, APictureTooLargeToDecodeIsRefusedBeforeItIsDecoded) {
    // 20000 x 20000 RGB: a megabyte or so on disk, 1.2 GB decoded.
    const QString png = MakeHugePng(MediaFolder::instance().dir(), 20000);
    ASSERT_FALSE(png.isEmpty());
    ASSERT_LT(QFileInfo(png).size(), 4 * 1024 * 1024);
    const long before = PeakMemoryKiB();
    open(png);
    EXPECT_EQ(harness->messageTexts(), QStringList{"Unsupported file format."});
    EXPECT_LT(PeakMemoryKiB() - before, 256 * 1024) << "KiB more at the peak";
}

TEST(HostileInput, TwoDashesEndTheSwitchesSoANameMayBeginWithADash) {
    QTemporaryDir dir;
    const QString wav = fixtures::makeMedia(Media::Wav, dir.path(), "-name.wav", 1);
    ASSERT_FALSE(wav.isEmpty());
    AppHarness h({"--", "-name.wav"}, dir.path());
    ASSERT_TRUE(h.started());
    const auto frames = h.frame().ChildFrames();
    ASSERT_EQ(frames.size(), 1u);
    EXPECT_EQ(frames.front()->GetActiveDocument()->GetPathName(), wav);
}

TEST(HostileInput, AControlCharacterInAPathCannotForgeALogLine) {
    const QString forged = "/m/a.avi\"\nFAILED: hr = 0x0\t\tLINE: 1\t\tFILE: \"b\rc\x01\u2028.avi";
    const std::string line = FormatFailureLine(E_FAIL, 14, forged);
    EXPECT_EQ(line, "FAILED: hr = 0x80004005\t\tLINE: 14\t\tFILE: \"/m/a.avi\"\\nFAILED: hr = "
                    "0x0\\t\\tLINE: 1\\t\\tFILE: \"b\\rc\\x01\\u2028.avi\"\n");
}
