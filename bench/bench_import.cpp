// Speed of the media import, against the floor measured in the same run,
// alternately: folders of 10,000 and 1,000 files imported into a catalogue of
// 100,000 records, once (all new) and again (all present), in the running
// program with its progress bar. The floor is what the work cannot go below on this machine:
// listing the folder, and inserting the records with a duplicate check each
// inside one transaction with the (Directory, Name) index, each new file opened
// for its status as the import must (a file it cannot open still gets a record);
// for a folder catalogued already, listing it and finding every file.
// Prints figures; asserts nothing about time.
#include "BenchSupport.h"

#include "app/CLumarestApp.h"
#include "app/CMainFrame.h"
#include "catalogue/CDao_PlayList.h"
#include "platform/dao/DaoDatabase.h"
#include "platform/framework/MessageBox.h"
#include "player/CLumarestDoc.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <dirent.h>
#include <fcntl.h>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace {

constexpr int kFolderFiles = 10000;
constexpr int kCatalogueRecords = 100000;
constexpr int kRounds = 5;

double ElapsedMs(const QElapsedTimer& timer) {
    return timer.nsecsElapsed() / 1e6;
}

void Exec(sqlite3* db, const char* sql) {
    char* error = nullptr;
    ASSERT_EQ(sqlite3_exec(db, sql, nullptr, nullptr, &error), SQLITE_OK) << (error ? error : "");
}

qint64 CountRows(sqlite3* db) {
    sqlite3_stmt* stmt = nullptr;
    sqlite3_prepare_v2(db, "SELECT count(*) FROM FILES", -1, &stmt, nullptr);
    const qint64 n = sqlite3_step(stmt) == SQLITE_ROW ? sqlite3_column_int64(stmt, 0) : -1;
    sqlite3_finalize(stmt);
    return n;
}

struct Listed {
    QByteArray name;
    qint64 size = 0;
    qint64 created = 0;
};

bool Stat(int dirFd, const char* name, Listed& file, int flags = 0) {
    struct statx stx {};
    if (statx(dirFd, name, flags, STATX_SIZE | STATX_BTIME | STATX_CTIME, &stx) != 0 ||
        !S_ISREG(stx.stx_mode))
        return false;
    file.size = static_cast<qint64>(stx.stx_size);
    file.created = static_cast<qint64>((stx.stx_mask & STATX_BTIME) ? stx.stx_btime.tv_sec
                                                                    : stx.stx_ctime.tv_sec);
    return true;
}

// The status of a file to be added, read as the import must read it: through
// the file opened for reading, by its name in the folder already open.
bool OpenAndStat(int dirFd, const char* name, Listed& file) {
    const int fd = openat(dirFd, name, O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0)
        return false;
    const bool statted = Stat(fd, "", file, AT_EMPTY_PATH);
    close(fd);
    return statted;
}

// The floor's first half: readdir alone, the entry's type telling a plain file;
// a file's status is read only when it has to be added.
std::vector<Listed> ListPlain(const QString& folder) {
    std::vector<Listed> files;
    DIR* dir = opendir(QFile::encodeName(folder).constData());
    if (!dir)
        return files;
    const int fd = dirfd(dir);
    while (const dirent* entry = readdir(dir)) {
        Listed file{QByteArray(entry->d_name)};
        if (entry->d_name[0] == '.')
            continue;
        if (entry->d_type == DT_REG || Stat(fd, entry->d_name, file))
            files.push_back(std::move(file));
    }
    closedir(dir);
    return files;
}

// The floor's second half: a duplicate check and an insert per file, prepared
// once, in one transaction. Returns the milliseconds taken.
double InsertWithChecks(const QString& catalogue, const QByteArray& folder,
                        const std::vector<Listed>& files) {
    sqlite3* db = nullptr;
    sqlite3_open_v2(QFile::encodeName(catalogue).constData(), &db, SQLITE_OPEN_READWRITE, nullptr);
    QElapsedTimer timer;
    timer.start();
    const int dirFd = open(folder.constData(), O_PATH | O_DIRECTORY | O_CLOEXEC);
    Exec(db, "BEGIN IMMEDIATE");
    sqlite3_stmt* find = nullptr;
    sqlite3_stmt* insert = nullptr;
    sqlite3_prepare_v2(db, "SELECT rowid FROM FILES WHERE Directory = ?1 AND Name = ?2", -1, &find,
                       nullptr);
    sqlite3_prepare_v2(db,
                       "INSERT INTO FILES (Name, Extention, Size, DateCreated, Directory) "
                       "VALUES (?1, ?2, ?3, ?4, ?5)",
                       -1, &insert, nullptr);
    for (const Listed& file : files) {
        sqlite3_bind_text(find, 1, folder.constData(), folder.size(), SQLITE_STATIC);
        sqlite3_bind_text(find, 2, file.name.constData(), file.name.size(), SQLITE_STATIC);
        const bool found = sqlite3_step(find) == SQLITE_ROW;
        sqlite3_reset(find);
        if (found)
            continue;
        Listed added = file;
        if (OpenAndStat(dirFd, file.name.constData(), added)) {
            const time_t t = static_cast<time_t>(added.created);
            struct tm local {};
            localtime_r(&t, &local);
            char date[80];
            std::snprintf(date, sizeof date, "%04d-%02d-%02d %02d:%02d:%02d", local.tm_year + 1900,
                          local.tm_mon + 1, local.tm_mday, local.tm_hour, local.tm_min,
                          local.tm_sec);
            sqlite3_bind_int64(insert, 3, added.size);
            sqlite3_bind_text(insert, 4, date, -1, SQLITE_TRANSIENT);
        } else {
            sqlite3_bind_null(insert, 3);
            sqlite3_bind_null(insert, 4);
        }
        sqlite3_bind_text(insert, 1, file.name.constData(), file.name.size(), SQLITE_STATIC);
        sqlite3_bind_text(insert, 2, file.name.constData() + file.name.size() - 3, 3,
                          SQLITE_STATIC);
        sqlite3_bind_text(insert, 5, folder.constData(), folder.size(), SQLITE_STATIC);
        sqlite3_step(insert);
        sqlite3_reset(insert);
    }
    sqlite3_finalize(find);
    sqlite3_finalize(insert);
    Exec(db, "COMMIT");
    close(dirFd);
    const double ms = ElapsedMs(timer);
    sqlite3_close(db);
    return ms;
}

void FillCatalogue(sqlite3* db) {
    Exec(db, "BEGIN");
    sqlite3_stmt* insert = nullptr;
    sqlite3_prepare_v2(db,
                       "INSERT INTO FILES (Name, Extention, Size, DateCreated, Directory) "
                       "VALUES (printf('song%06d.mp3', ?1), 'mp3', ?1 * 1000, "
                       "'2020-05-17 12:34:56', printf('/srv/music/album%03d', ?1 % 100))",
                       -1, &insert, nullptr);
    for (int i = 0; i < kCatalogueRecords; ++i) {
        sqlite3_bind_int(insert, 1, i);
        sqlite3_step(insert);
        sqlite3_reset(insert);
    }
    sqlite3_finalize(insert);
    Exec(db, "COMMIT");
}

bool Replace(const QString& from, const QString& to) {
    QFile::remove(to);
    return QFile::copy(from, to);
}

// One folder size: floor and program alternately, a first import (all new)
// and a second (all present) each round, on fresh copies of the catalogue.
void RunImports(CDao_PlayList& catalogue, const QString& full, const QString& path,
                const QString& floorCopy, int files, int rounds) {
    QTemporaryDir media;
    ASSERT_TRUE(media.isValid());
    for (int i = 0; i < files; ++i) {
        QFile file(media.path() + QStringLiteral("/track%1.mp3").arg(i, 5, 10, QLatin1Char('0')));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(QByteArray::number(i));
    }
    CLumarestDoc doc;
    const QByteArray folder = QFile::encodeName(media.path());
    bench::Samples first, second, firstMs, secondMs, floorMs, againFloorMs;
    for (int round = 0; round < rounds; ++round) {
        ASSERT_TRUE(Replace(full, floorCopy));
        bench::Stopwatch t;
        std::vector<Listed> listed = ListPlain(media.path());
        const double listing = t.Ms();
        ASSERT_EQ(listed.size(), static_cast<size_t>(files));
        const double floor = listing + InsertWithChecks(floorCopy, folder, listed);

        ASSERT_TRUE(Replace(full, path));
        ASSERT_TRUE(catalogue.OpenDatabase(path, false));
        t.Restart();
        doc.ImportMediaFiles(media.path(), QStringLiteral("mp3"));
        const double program = t.Ms();

        // Again: the floor lists and finds every file present; it opens none.
        t.Restart();
        listed = ListPlain(media.path());
        const double againFloor = t.Ms() + InsertWithChecks(floorCopy, folder, listed);
        t.Restart();
        doc.ImportMediaFiles(media.path(), QStringLiteral("mp3"));
        const double again = t.Ms();
        EXPECT_EQ(CountRows(catalogue.m_pCDaoDatabase->GetHandle()), kCatalogueRecords + files);
        catalogue.m_pCDaoDatabase->Close();

        floorMs.Add(floor);
        againFloorMs.Add(againFloor);
        firstMs.Add(program);
        secondMs.Add(again);
        first.Add(program / floor);
        second.Add(again / againFloor);
    }
    std::printf("\nImport of %d files into %d records, %d rounds alternating with the floor\n",
                files, kCatalogueRecords, rounds);
    std::printf(
        "  first (all new):      floor %7.1f ms, program %7.1f ms, ratio %.2fx (%.2f-%.2f)\n",
        floorMs.Median(), firstMs.Median(), first.Median(), first.Min(), first.Max());
    std::printf(
        "  again (all present):  floor %7.1f ms, program %7.1f ms, ratio %.2fx (%.2f-%.2f)\n",
        againFloorMs.Median(), secondMs.Median(), second.Median(), second.Min(), second.Max());
    const QByteArray work = QStringLiteral("Import %1 files into 100k records vs floor")
                                .arg(files == 10000 ? QStringLiteral("10k") : QStringLiteral("1k"))
                                .toUtf8();
    bench::Target(work.constData(), first, "x", files >= 10000 ? 1.3 : 1.6);
    if (files >= 10000)
        bench::Target("Re-import 10k files already catalogued vs floor finding all", second, "x",
                      1.3);
}

} // namespace

TEST(BenchImport, FoldersIntoAHundredThousandRecords) {
    QTemporaryDir work;
    ASSERT_TRUE(work.isValid());
    // The program, started in its working folder as a user would start it.
    const QString oldDir = QDir::currentPath();
    QDir::setCurrent(work.path());
    const MessageBoxHandler oldHandler = SetMessageBoxHandler([](const MessageBoxRequest& r) {
        ADD_FAILURE() << "message box: " << r.text.toStdString();
        return IDOK;
    });
    auto app = std::make_unique<CLumarestApp>();
    ASSERT_TRUE(app->InitInstance());
    CDao_PlayList& catalogue = MainFrame()->m_PlayList;
    const QString path = work.path() + QStringLiteral("/Lumarest.mdb");
    const QString full = work.path() + QStringLiteral("/full.mdb");
    const QString floorCopy = work.path() + QStringLiteral("/floor.mdb");
    FillCatalogue(catalogue.m_pCDaoDatabase->GetHandle());
    catalogue.m_pCDaoDatabase->Close();
    ASSERT_TRUE(Replace(path, full));

    RunImports(catalogue, full, path, floorCopy, kFolderFiles, kRounds);
    RunImports(catalogue, full, path, floorCopy, 1000, 7);

    app.reset();
    SetMessageBoxHandler(oldHandler);
    QDir::setCurrent(oldDir);
}
