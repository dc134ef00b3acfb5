// SPDX-License-Identifier: GPL-3.0-or-later
// Publishes a large show as a web show and imports a large bookmark file,
// and sets the times against what merely writing or reading the same bytes
// takes on this machine. Each measured phase runs in a child process of
// its own, so its peak memory can be read from the kernel and no phase
// warms the heap for the next.
#include "platform/ScriptedPrompts.h"
#include "bench/PhaseRunner.h"
#include "show/colURLs.h"
#include "show/modInpExp.h"
#include "startup/modMain.h"
#include "webshow/modTemplate.h"

#include <QByteArray>
#include <QElapsedTimer>
#include <QFile>
#include <QSaveFile>
#include <QTemporaryDir>

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <random>
#include <vector>

namespace {

constexpr int DefaultCount = 100000;
constexpr int Runs = PhaseRuns;

/// A plausible slide address of about 60 characters.
QString makeAddress(std::mt19937& random, int index)
{
    static const char* const sites[] = {"www.northwind-travel.com", "intranet.example.org",
                                        "photos.lakeside-club.net", "www.city-museum.org.uk"};
    static const char* const folders[] = {"exhibitions/2023", "news/archive", "gallery/summer",
                                          "products/catalogue"};
    const int kind = int(random() % 10);
    if (kind < 6)
        return QStringLiteral("http://%1/%2/page%3.html")
            .arg(QLatin1String(sites[random() % 4]), QLatin1String(folders[random() % 4]))
            .arg(index);
    if (kind < 8)
        return QStringLiteral("https://%1/search?q=slide+%2,tour&lang=en")
            .arg(QLatin1String(sites[random() % 4]))
            .arg(index);
    if (kind < 9)
        return QStringLiteral("C:\\Shows\\Holiday pictures\\Caf\u00e9 terrace %1.jpg").arg(index);
    return QStringLiteral("www.example.com/shows/quarterly review/slide-%1.htm").arg(index);
}

void fillShow(colURLs& show, int slides)
{
    std::mt19937 random(20240611);
    for (int i = 0; i < slides; ++i) {
        const QString sound = random() % 10 == 0
                                  ? QStringLiteral("C:\\Sounds\\chime%1.wav").arg(random() % 40)
                                  : QString();
        show.Add(makeAddress(random, i), sound, qint16(random() % 120), random() % 20 == 0);
    }
}

/// A bookmark file as a current browser exports it: folders of 50 links,
/// four-space indents, and an ICON of about 1.5 KB on every fifth link
/// when icons are asked for.
bool generateBookmarks(const QString& path, int bookmarks, bool icons)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    std::mt19937 random(6);
    const QByteArray alphabet = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    QByteArray buffer = "<!DOCTYPE NETSCAPE-Bookmark-file-1>\n<!-- This is an automatically "
                        "generated file.\n     It will be read and overwritten.\n     DO NOT "
                        "EDIT! -->\n<META HTTP-EQUIV=\"Content-Type\" CONTENT=\"text/html; "
                        "charset=UTF-8\">\n<TITLE>Bookmarks</TITLE>\n<H1>Bookmarks</H1>\n<DL><p>\n";
    for (int i = 0; i < bookmarks; ++i) {
        if (i % 50 == 0) {
            if (i > 0)
                buffer += "    </DL><p>\n";
            buffer += "    <DT><H3 ADD_DATE=\"1714000000\" LAST_MODIFIED=\"1719000000\">Folder " +
                      QByteArray::number(i / 50) + "</H3>\n    <DL><p>\n";
        }
        buffer += "        <DT><A HREF=\"" + makeAddress(random, i).toUtf8() + "\" ADD_DATE=\"" +
                  QByteArray::number(1714000000 + i) + "\"";
        if (icons && i % 5 == 0) {
            buffer += " ICON=\"data:image/png;base64,";
            for (int k = 0; k < 1500; ++k)
                buffer += alphabet[int(random() % 64)];
            buffer += '"';
        }
        buffer += ">Bookmark " + QByteArray::number(i) + "</A>\n";
        if (buffer.size() > (1 << 20)) {
            file.write(buffer);
            buffer.resize(0);
        }
    }
    buffer += "    </DL><p>\n</DL><p>\n";
    file.write(buffer);
    return file.error() == QFile::NoError;
}

double fileMb(const QString& path)
{
    return double(QFile(path).size()) / (1024.0 * 1024.0);
}

/// The floor of writing: bytes already in memory written the way the
/// pages are (a temporary file that replaces the target).
Result writeBytes(const QByteArray& bytes, const QString& path)
{
    QElapsedTimer timer;
    timer.start();
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return {};
    file.write(bytes);
    const bool written = file.commit();
    return {msSince(timer), 0, written ? bytes.size() : -1};
}

Result readBytes(const QString& path)
{
    QElapsedTimer timer;
    timer.start();
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    const QByteArray bytes = file.readAll();
    return {msSince(timer), 0, bytes.size()};
}

/// Builds the page and writes it as the web show dialog does.
Result publish(const QString& path, bool write)
{
    colURLs show;
    fillShow(show, DefaultCount);
    ScriptedPrompts prompts;
    QElapsedTimer timer;
    timer.start();
    qint16 longest = 0;
    const QString page = modTemplate::BuildShowPage(QStringLiteral("Benchmark show"), 10, true,
                                                    show, QStringLiteral("C:\\Shows\\"),
                                                    QStringLiteral("pictures/"), false, longest);
    VbError error;
    if (write && !modTemplate::WritePage(path, page, &error))
        return {};
    return {msSince(timer), 0, page.size()};
}

void reportImport(const char* label, const QString& path)
{
    readBytes(path);
    const Result floorRead = median([&] { return readBytes(path); });
    const Result idle = median([] {
        colURLs show;
        return Result{0, 0, show.Count()};
    });
    const Result importing = median([&] {
        colURLs show;
        QElapsedTimer timer;
        timer.start();
        modInpExp::ReadInBookmarks(path, show);
        return Result{msSince(timer), 0, show.Count()};
    });
    // What the result alone costs: a new show of as many slides.
    const Result building = median([] {
        colURLs show;
        QElapsedTimer timer;
        timer.start();
        for (int i = 0; i < DefaultCount; ++i)
            show.Add(QStringLiteral("http://www.example.com/page.html"), QString(), 0, false);
        return Result{msSince(timer), 0, show.Count()};
    });
    std::printf("\nImporting %s: %.1f MB\n", label, fileMb(path));
    std::printf("  floor (QFile::readAll)   %8.1f ms   peak %6.1f MB\n", floorRead.ms,
                floorRead.maxRssMb);
    std::printf("  ReadInBookmarks          %8.1f ms   peak %6.1f MB   (%lld bookmarks)\n",
                importing.ms, importing.maxRssMb, static_cast<long long>(importing.check));
    std::printf("  time ratio               %8.2fx\n", importing.ms / floorRead.ms);
    std::printf(
        "  the show alone           %8.1f ms   (%d slides added, no file: %.2fx the floor)\n",
        building.ms, DefaultCount, building.ms / floorRead.ms);
    std::printf("  peak over idle / file    %8.2fx   (idle process %.1f MB)\n",
                (importing.maxRssMb - idle.maxRssMb) / fileMb(path), idle.maxRssMb);
}

} // namespace

int main()
{
    QTemporaryDir folder;
    if (!folder.isValid())
        return 1;
    modMain::SetProgramFolder(QStringLiteral(PW_APP_FOLDER));
    const QString pagePath = folder.filePath(QStringLiteral("WebShow.htm"));
    const QString copyPath = folder.filePath(QStringLiteral("copy.htm"));
    std::printf("Web show of %d slides; median of %d runs, each in a fresh process\n", DefaultCount,
                Runs);

    const Result idle = median([] {
        colURLs show;
        fillShow(show, DefaultCount);
        return Result{0, 0, show.Count()};
    });
    const Result building = median([&] { return publish(pagePath, false); });
    const Result publishing = median([&] { return publish(pagePath, true); });
    QFile page(pagePath);
    if (!page.open(QIODevice::ReadOnly))
        return 1;
    const QByteArray pageBytes = page.readAll();
    page.close();
    const Result floorWrite = median([&] { return writeBytes(pageBytes, copyPath); });
    const double pageMb = double(pageBytes.size()) / (1024.0 * 1024.0);
    std::printf("\nPublishing: page of %.1f MB\n", pageMb);
    std::printf("  floor (write via QSaveFile) %5.1f ms\n", floorWrite.ms);
    std::printf("  BuildShowPage            %8.1f ms\n", building.ms);
    std::printf("  BuildShowPage + WritePage %7.1f ms   peak %6.1f MB\n", publishing.ms,
                publishing.maxRssMb);
    std::printf("  time ratio               %8.2fx\n", publishing.ms / floorWrite.ms);
    std::printf("  peak over the show alone %8.1f MB   (%.2fx the page; show alone %.1f MB)\n",
                publishing.maxRssMb - idle.maxRssMb, (publishing.maxRssMb - idle.maxRssMb) / pageMb,
                idle.maxRssMb);

    const QString plain = folder.filePath(QStringLiteral("plain.htm"));
    const QString withIcons = folder.filePath(QStringLiteral("icons.htm"));
    if (!generateBookmarks(plain, DefaultCount, false) ||
        !generateBookmarks(withIcons, DefaultCount, true))
        return 1;
    reportImport("100,000 bookmarks without icons", plain);
    reportImport("100,000 bookmarks, every fifth with an icon", withIcons);
    return 0;
}
